// h = tallybins(x, n): integer histogram of x over the bins 1..n.
//
// An element belongs to bin v when its value truncated toward zero is v;
// without n the bin count is the largest element of x, truncated.  Every
// element must fall into a bin, otherwise the call fails with
// "value out of bounds" and no counts are returned.
//
// x and n may be of any numeric class or logical (the real part when
// complex) and are read by value: int32([1 2 2]) tallies as [1 2 2] does.
// Conversions follow the x86 truncating conversion: a value that does not
// fit a 32-bit signed integer, NaN included, converts to INT32_MIN.  With the
// Windows-build setting the maximum search lets NaN replace the running
// maximum (it does not compare greater than or equal to it).
#include "kernels.h"
#include "vocabulary.h"

#include <cstddef>
#include <cstdint>

namespace {
const char kUsage[] = "Usage: h = tallybins(x, n)";
const char kNotNumeric[] = "X and N must be full numeric or logical arrays; convert them with double().";
const char kEmptyN[] = "N is empty; expected the number of bins.";
const char kBadN[] = "N must be a number of bins from 0 to 2147483647.";

// The values of x as doubles: its own data when it is a double array, else a
// converted copy from the host allocator (freed by the host if the call ends).
const double *values(const mxArray *x, std::size_t count) {
  if (mxIsDouble(x)) return mxGetPr(x);
  auto *v = static_cast<double *>(mxMalloc(count * sizeof(double)));
  for (std::size_t i = 0; i < count; ++i) v[i] = gatebox::value_at(x, i);
  return v;
}

// The tally into h.  Up to 65536 bins, and at least as many elements as
// bins, the blocked tally with four sub-histograms (256 KiB of counters at
// most, from the host allocator, so they are reclaimed when the call ends on
// an error); otherwise the plain loop.
bool tally(const double *x, std::size_t count, std::int32_t bins, double *h) {
  if (bins == 0 || bins > 65536 || count < static_cast<std::size_t>(bins)) return gatebox::count_bins(x, count, bins, h);
  auto *sub = static_cast<std::uint32_t *>(mxCalloc(4 * static_cast<std::size_t>(bins), sizeof(std::uint32_t)));
  bool ok = gatebox::count_bins_blocked(x, count, bins, h, sub);
  mxFree(sub);
  return ok;
}
}  // namespace

GATEBOX_ENTRY void mexFunction(int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]) {
  (void)nlhs;
  if (nrhs != 1 && nrhs != 2) gatebox::fail("tallybins", "usage", kUsage);
  const mxArray *xa = prhs[0];
  std::size_t count = mxGetM(xa) * mxGetN(xa);
  if (mxIsSparse(xa)) gatebox::fail("tallybins", "sparse", gatebox::kSparseSorry);
  if (!gatebox::full_numeric(xa)) gatebox::fail("tallybins", "notNumeric", kNotNumeric);
  std::int32_t bins = 0;
  if (nrhs == 2) {
    const mxArray *na = prhs[1];
    if (!gatebox::full_numeric(na)) gatebox::fail("tallybins", "notNumeric", kNotNumeric);
    if (mxIsEmpty(na)) gatebox::fail("tallybins", "emptyN", kEmptyN);
    bins = gatebox::to_int32(gatebox::value_at(na, 0));
    if (bins < 0) gatebox::fail("tallybins", "badN", kBadN);
  }
  const double *x = count == 0 ? nullptr : values(xa, count);
  if (nrhs == 1) {
    bins = count == 0 ? 0 : gatebox::largest_bin(x, count, GATEBOX_WINDOWS_BEHAVIOUR);
    // A negative count (a NaN first element, values beyond the 32-bit range,
    // or no element above zero) leaves no bin for the elements that made it.
    if (bins < 0) gatebox::fail("tallybins", "outOfBounds", gatebox::kOutOfBounds);
  }
  plhs[0] = mxCreateDoubleMatrix(1, bins, mxREAL);
  if (count != 0 && !tally(x, count, bins, mxGetPr(plhs[0])))
    gatebox::fail("tallybins", "outOfBounds", gatebox::kOutOfBounds);
  if (x != nullptr && !mxIsDouble(xa)) mxFree(const_cast<double *>(x));
}
