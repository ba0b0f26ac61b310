// x = uppersubst(T, b): back substitution with the upper triangle of T.
#include "subst_gateway.h"

GATEBOX_ENTRY void mexFunction(int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]) {
  subst_gateway("uppersubst", "Usage: x = uppersubst(T,b)", "U", nlhs, plhs, nrhs, prhs);
}
