// r = trialdraw(p, n): one Binomial(n, p(i)) count per element of p.
//
// All elements share the trial count n, a 1-by-1 double truncated toward
// zero.  The output has the rows and columns of p (its real part when
// complex); elements draw from the library's uniform stream in storage order.
// Every check comes before the first draw: a refused call consumes nothing.
#include "gateway.h"
#include "statecall.h"
#include "trialcount.h"
#include "util.h"

namespace {
const char kUsage[] = "Usage: r = bino_sample(p, n)";
const char kNotScalar[] = "n must be scalar";
const char kSparse[] = "Cannot handle sparse matrices.  Sorry.";
const char kNotDouble[] = "p must be a double array; convert it with double(p).";
}  // namespace

GATEBOX_ENTRY void mexFunction(int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]) {
  if (gatebox::state_call("trialdraw", nlhs, plhs, nrhs, prhs)) return;  // the 'state' call forms
  if (nrhs != 2) mexErrMsgTxt(kUsage);
  const mxArray *in = prhs[0];
  size_t m = mxGetM(in), cols = mxGetN(in);
  const int trials = gatebox::trial_count(prhs[1], "trialdraw", kNotScalar);
  if (mxIsSparse(in)) mexErrMsgTxt(kSparse);
  gatebox::require_double(in, "trialdraw", kNotDouble);
  const double *p = mxGetPr(in);
  plhs[0] = mxCreateDoubleMatrix(static_cast<mwSize>(m), static_cast<mwSize>(cols), mxREAL);
  double *r = mxGetPr(plhs[0]);
  for (size_t i = 0, count = m * cols; i < count; ++i) r[i] = BinoRand(p[i], trials);
}
