// x = backapply(T, b): inv(T)*b for a square triangular T whose triangle is
// chosen from the data: T(2,1) non-zero and not NaN selects the lower
// triangle, otherwise (either zero or NaN) the upper.  Each component is a dot
// product of the components already solved (rowsubst); there is no zero skip,
// so a zero diagonal element gives an infinity or a NaN.  The arithmetic
// differs from uppersubst and lowersubst, so results may differ in the last
// bits.  An array of more than two dimensions is taken as the matrix of its
// first dimension by the product of the others.  Only real parts are used.
#include "rowsubst.h"
#include "vocabulary.h"

#include <cstring>

namespace {
const char kUsage[] = "Usage: x = backapply(T,b)";
const char kBSparse[] = "b must be a full matrix; convert it with full(b).";
}  // namespace

// Checks in this order: argument counts, T square, T sparse; then the checks
// that keep the data access in bounds: b sparse, the class of T and of b, the
// row count of b.
GATEBOX_ENTRY void mexFunction(int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]) {
  if (nrhs != 2 || nlhs > 1) gatebox::fail("backapply", "usage", kUsage);
  const mxArray *T = prhs[0], *B = prhs[1];
  const size_t m = mxGetM(T);
  if (mxGetN(T) != m) gatebox::fail("backapply", "notSquare", gatebox::kNotSquare);
  const size_t k = mxGetN(B);
  if (mxIsSparse(T)) gatebox::fail("backapply", "sparse", gatebox::kSparseSorry);
  if (mxIsSparse(B)) gatebox::fail("backapply", "sparse", kBSparse);
  gatebox::require_double(T, "backapply", gatebox::kTNotDouble);
  gatebox::require_double(B, "backapply", gatebox::kBNotDouble);
  if (mxGetM(B) != m) gatebox::fail("backapply", "sizeMismatch", gatebox::kSizeMismatch);

  const mwSize dims[2] = {static_cast<mwSize>(m), static_cast<mwSize>(k)};
  plhs[0] = gatebox::create_double_output(2, dims);
  if (m == 0 || k == 0) return;  // an empty T: the empty m-by-k result, nothing read
  double *x = mxGetPr(plhs[0]);
  std::memcpy(x, mxGetPr(B), m * k * sizeof(double));
  const double *t = mxGetPr(T);
  const bool lower = m > 1 && t[1] != 0 && t[1] == t[1];
  double *work = static_cast<double *>(mxMalloc(gatebox::rowsubst_workspace(m, k) * sizeof(double)));
  gatebox::rowsubst(lower, t, m, x, k, work);
  mxFree(work);
}
