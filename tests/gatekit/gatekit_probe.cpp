// a = gatekit_probe(kind, dims, classid, complexity): calls one gatekit
// constructor and returns its array untouched, so tests in every host can
// look at what the constructor made.  kind: 1 mxCreateNumericArrayE,
// 2 mxCreateNumericMatrixE, 3 mxCreateDoubleMatrixE, 4 mxCreateLogicalArrayE,
// 5 mxCreateCharArrayE.  The matrix constructors take dims(1) and dims(2).
#include "gatekit.h"
#include "gateway.h"

GATEBOX_ENTRY void mexFunction(int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]) {
  (void)nlhs;
  if (nrhs != 4) mexErrMsgTxt("Usage: a = gatekit_probe(kind, dims, classid, complexity)");
  for (int i = 0; i < 4; ++i) gatebox::require_double(prhs[i], "gatekit_probe", "Arguments must be doubles.");
  std::size_t nd = mxGetNumberOfElements(prhs[1]);
  if (nd < 2 || mxIsEmpty(prhs[0]) || mxIsEmpty(prhs[2]) || mxIsEmpty(prhs[3]))
    mexErrMsgTxt("gatekit_probe: need a kind, at least two dimensions, a class and a complexity.");
  auto *dims = static_cast<mwSize *>(mxCalloc(nd, sizeof(mwSize)));
  for (std::size_t i = 0; i < nd; ++i) dims[i] = static_cast<mwSize>(mxGetPr(prhs[1])[i]);
  auto cls = static_cast<mxClassID>(static_cast<int>(mxGetScalar(prhs[2])));
  auto cplx = mxGetScalar(prhs[3]) == 1 ? mxCOMPLEX : mxREAL;
  switch (static_cast<int>(mxGetScalar(prhs[0]))) {
    case 1: plhs[0] = mxCreateNumericArrayE(static_cast<mwSize>(nd), dims, cls, cplx); break;
    case 2: plhs[0] = mxCreateNumericMatrixE(dims[0], dims[1], cls, cplx); break;
    case 3: plhs[0] = mxCreateDoubleMatrixE(dims[0], dims[1], cplx); break;
    case 4: plhs[0] = mxCreateLogicalArrayE(static_cast<mwSize>(nd), dims); break;
    case 5: plhs[0] = mxCreateCharArrayE(static_cast<mwSize>(nd), dims); break;
    default: mexErrMsgTxt("gatekit_probe: kind must be 1 to 5.");
  }
}
