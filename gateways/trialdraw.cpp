// r = trialdraw(p, n): one Binomial(n, p(i)) count per element of p.
//
// All elements share the trial count n, a 1-by-1 double truncated toward
// zero.  The output has the dimensions of p (its real part when complex);
// elements draw from the library's uniform stream in storage order.  Every
// check comes before the first draw: a refused call consumes nothing.
#include "statecall.h"
#include "util.h"
#include "vocabulary.h"

GATEBOX_ENTRY void mexFunction(int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]) {
  if (gatebox::state_call("trialdraw", nlhs, plhs, nrhs, prhs)) return;  // the 'state' call forms
  gatebox::require_nargs(nrhs, 2, "trialdraw", "Usage: r = bino_sample(p, n)");
  const int trials = gatebox::trial_count(prhs[1], "trialdraw");
  auto e = gatebox::elementwise("trialdraw", prhs[0], "p must be a double array; convert it with double(p).", plhs);
  BinoRandArray(e.in, trials, e.out, e.count);
}
