// x = lowersubst(T, b): forward substitution with the lower triangle of T.
#include "subst_gateway.h"

GATEBOX_ENTRY void mexFunction(int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]) {
  subst_gateway("lowersubst", "Usage: x = lowersubst(T,b)", "L", nlhs, plhs, nrhs, prhs);
}
