// x = trigamma(n): the trigamma function psi'(n) element by element.
//
// The output has the rows and columns of the input; a complex input is read
// through its real part.  Every value comes from the support library's
// trigamma, so the gateway's results are those of the plain loop.
#include "gateway.h"
#include "util.h"

namespace {
const char kUsage[] = "Usage: x = trigamma(n)";
const char kSparse[] = "Cannot handle sparse matrices.  Sorry.";
const char kNotDouble[] = "N must be a double array; convert it with double(N).";
}  // namespace

GATEBOX_ENTRY void mexFunction(int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]) {
  (void)nlhs;
  if (nrhs != 1) mexErrMsgTxt(kUsage);
  const mxArray *in = prhs[0];
  size_t m = mxGetM(in), n = mxGetN(in);
  if (mxIsSparse(in)) mexErrMsgTxt(kSparse);
  gatebox::require_double(in, "trigamma", kNotDouble);
  const double *x = mxGetPr(in);
  plhs[0] = mxCreateDoubleMatrix(static_cast<mwSize>(m), static_cast<mwSize>(n), mxREAL);
  double *y = mxGetPr(plhs[0]);
  for (size_t i = 0, count = m * n; i < count; ++i) y[i] = trigamma(x[i]);
}
