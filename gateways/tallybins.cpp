// h = tallybins(x, n): integer histogram of x over the bins 1..n.
//
// An element belongs to bin v when its value truncated toward zero is v;
// without n the bin count is the largest element of x, truncated.  Every
// element must fall into a bin, otherwise the call fails with
// "value out of bounds" and no counts are returned.
//
// Conversions follow the x86 truncating conversion: a value that does not
// fit a 32-bit signed integer, NaN included, converts to INT32_MIN.  With the
// Windows-build setting the maximum search lets NaN replace the running
// maximum (it does not compare greater than or equal to it).
#include "gateway.h"
#include "kernels.h"

#include <cstddef>
#include <cstdint>

#ifndef GATEBOX_WINDOWS_BEHAVIOUR
#define GATEBOX_WINDOWS_BEHAVIOUR 0
#endif

namespace {
const char kUsage[] = "Usage: h = tallybins(x, n)";
const char kSparse[] = "Cannot handle sparse matrices.  Sorry.";
const char kOutOfBounds[] = "value out of bounds";
const char kNotDouble[] = "X and N must be full double arrays; convert them with double().";
const char kEmptyN[] = "N is empty; expected the number of bins.";
const char kBadN[] = "N must be a number of bins from 0 to 2147483647.";

}  // namespace

GATEBOX_ENTRY void mexFunction(int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]) {
  (void)nlhs;
  if (nrhs != 1 && nrhs != 2) mexErrMsgTxt(kUsage);
  const mxArray *xa = prhs[0];
  std::size_t count = mxGetM(xa) * mxGetN(xa);
  if (mxIsSparse(xa)) mexErrMsgTxt(kSparse);
  if (!mxIsDouble(xa)) gatebox::fail("tallybins", "notDouble", kNotDouble);
  std::int32_t bins;
  if (nrhs == 2) {
    const mxArray *na = prhs[1];
    if (!mxIsDouble(na) || mxIsSparse(na)) gatebox::fail("tallybins", "notDouble", kNotDouble);
    if (mxIsEmpty(na)) gatebox::fail("tallybins", "emptyN", kEmptyN);
    bins = gatebox::to_int32(mxGetPr(na)[0]);
    if (bins < 0) gatebox::fail("tallybins", "badN", kBadN);
  } else {
    bins = count == 0 ? 0 : gatebox::largest_bin(mxGetPr(xa), count, GATEBOX_WINDOWS_BEHAVIOUR);
    // A negative count (a NaN first element, values beyond the 32-bit range,
    // or no element above zero) leaves no bin for the elements that made it.
    if (bins < 0) mexErrMsgTxt(kOutOfBounds);
  }
  plhs[0] = mxCreateDoubleMatrix(1, bins, mxREAL);
  if (count != 0 && !gatebox::count_bins(mxGetPr(xa), count, bins, mxGetPr(plhs[0]))) mexErrMsgTxt(kOutOfBounds);
}
