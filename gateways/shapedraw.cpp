// x = shapedraw(a): one Gamma(a(i), 1) draw per element of a.
//
// The output has the dimensions of a; a complex a is read through its real
// part.  Elements draw from the library's uniform stream in storage order, so
// successive calls continue one stream and a call on [a1 a2] gives what a
// call on a1 followed by a call on a2 gives.  Every check comes before the
// first draw: a refused call consumes nothing.
#include "statecall.h"
#include "util.h"
#include "vocabulary.h"

GATEBOX_ENTRY void mexFunction(int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]) {
  if (gatebox::state_call("shapedraw", nlhs, plhs, nrhs, prhs)) return;  // the 'state' call forms
  gatebox::require_nargs(nrhs, 1, "shapedraw", "Usage: x = shapedraw(a)");
  auto e = gatebox::elementwise("shapedraw", prhs[0], "a must be a double array; convert it with double(a).", plhs);
  GammaRandArray(e.in, e.out, e.count);
}
