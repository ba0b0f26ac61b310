// B = axisfold(A, dims): sums a real double array over the dimensions listed
// in dims and removes them: on a 3-by-5-by-6-by-7 A, axisfold(A, [2 4]) is
// the 3-by-6 array with B(i, k) = sum of A(i, :, k, :).
//
// Every output element receives its input elements one by one, in increasing
// storage order, starting from 0 and rounding after each addition, so the
// result is that of the plain odometer walk over A to the bit.  The additions
// are charged to the global flop counter.  With as many dimension numbers as
// A has dimensions the result is the 1-by-1 total; when every summed
// dimension has size 1 the data are copied unchanged.
#include "flopcharge.h"
#include "gateway.h"
#include "kernels.h"

#include <cstddef>
#include <cstring>

namespace {
using std::ptrdiff_t;

const char kUsage[] = "Usage: B = axisfold(A, dims)";
const char kNotDouble[] = "A and DIMS must be full double arrays; convert them with double().";
const char kTooMany[] = "DIMS lists more dimension numbers than A has dimensions.";
const char kBadDim[] = "DIMS must hold dimension numbers from 1 to ndims(A).";
const char kRepeated[] = "DIMS lists a dimension more than once.";

}  // namespace

GATEBOX_ENTRY void mexFunction(int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]) {
  (void)nlhs;
  if (nrhs != 2) gatebox::fail("axisfold", "usage", kUsage);
  const mxArray *a = prhs[0], *sel = prhs[1];
  if (!mxIsDouble(a) || mxIsSparse(a) || !mxIsDouble(sel) || mxIsSparse(sel))
    gatebox::fail("axisfold", "notDouble", kNotDouble);
  const ptrdiff_t d = static_cast<ptrdiff_t>(mxGetNumberOfDimensions(a));
  const ptrdiff_t s = static_cast<ptrdiff_t>(mxGetNumberOfElements(sel));
  if (s > d) gatebox::fail("axisfold", "tooManyDims", kTooMany);
  const double *numbers = mxGetPr(sel);
  auto *summed = static_cast<unsigned char *>(mxCalloc(static_cast<std::size_t>(d), 1));
  for (ptrdiff_t i = 0; i < s; ++i) {
    if (!(numbers[i] >= 1.0 && numbers[i] < static_cast<double>(d) + 1.0))
      gatebox::fail("axisfold", "badDim", kBadDim);
    auto k = static_cast<ptrdiff_t>(numbers[i]) - 1;
    if (summed[k]) gatebox::fail("axisfold", "repeatedDim", kRepeated);
    summed[k] = 1;
  }
  const mwSize *size = mxGetDimensions(a);
  const double *in = mxGetPr(a);
  const double total = static_cast<double>(mxGetNumberOfElements(a));
  if (s == d) {  // every dimension summed: the 1-by-1 total, in storage order
    plhs[0] = mxCreateDoubleMatrix(1, 1, mxREAL);
    double sum = 0.0;
    for (std::size_t i = 0, t = mxGetNumberOfElements(a); i < t; ++i) sum += in[i];
    gatebox::charge_flops(total > 0 ? total - 1 : 0);  // a counter that is not a double: the sum stands
    mxGetPr(plhs[0])[0] = sum;
    mxFree(summed);
    return;
  }
  auto *work = static_cast<ptrdiff_t *>(mxCalloc(static_cast<std::size_t>(5 * d), sizeof(ptrdiff_t)));
  auto *kept = static_cast<mwSize *>(mxCalloc(static_cast<std::size_t>(d) + 1, sizeof(mwSize)));
  ptrdiff_t *dims = work + 4 * d;
  ptrdiff_t nkept = 0;
  for (ptrdiff_t i = 0; i < d; ++i) {
    dims[i] = static_cast<ptrdiff_t>(size[i]);
    if (!summed[i]) kept[nkept++] = size[i];
  }
  if (nkept == 1) kept[nkept++] = 1;  // one kept dimension of size n: an n-by-1 column
  plhs[0] = mxCreateNumericArray(static_cast<mwSize>(nkept), kept, mxDOUBLE_CLASS, mxREAL);
  const double used = static_cast<double>(mxGetNumberOfElements(plhs[0]));
  gatebox::charge_flops(total > used ? total - used : 0);
  double *out = mxGetPr(plhs[0]);
  if (used == total) {
    if (total > 0) std::memcpy(out, in, mxGetNumberOfElements(a) * sizeof(double));
  } else {
    gatebox::foldsum(out, in, d, dims, summed, work);
  }
  mxFree(kept);
  mxFree(work);
  mxFree(summed);
}
