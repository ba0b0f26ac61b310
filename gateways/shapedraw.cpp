// x = shapedraw(a): one Gamma(a(i), 1) draw per element of a.
//
// The output has the rows and columns of a; a complex a is read through its
// real part.  Elements draw from the library's uniform stream in storage
// order, so successive calls continue one stream and a call on [a1 a2] gives
// what a call on a1 followed by a call on a2 gives.  Every check comes before
// the first draw: a refused call consumes nothing.
#include "gateway.h"
#include "statecall.h"
#include "util.h"

namespace {
const char kUsage[] = "Usage: x = shapedraw(a)";
const char kSparse[] = "Cannot handle sparse matrices.  Sorry.";
const char kNotDouble[] = "a must be a double array; convert it with double(a).";
}  // namespace

GATEBOX_ENTRY void mexFunction(int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]) {
  if (gatebox::state_call("shapedraw", nlhs, plhs, nrhs, prhs)) return;  // the 'state' call forms
  if (nrhs != 1) mexErrMsgTxt(kUsage);
  const mxArray *in = prhs[0];
  size_t m = mxGetM(in), n = mxGetN(in);
  if (mxIsSparse(in)) mexErrMsgTxt(kSparse);
  gatebox::require_double(in, "shapedraw", kNotDouble);
  const double *a = mxGetPr(in);
  plhs[0] = mxCreateDoubleMatrix(static_cast<mwSize>(m), static_cast<mwSize>(n), mxREAL);
  double *x = mxGetPr(plhs[0]);
  for (size_t i = 0, count = m * n; i < count; ++i) x[i] = GammaRand(a[i]);
}
