// B = hostfloor(A, dims): the host floor of a gateway with a large output.
// Creates an array of A's class and complexity with the given dimensions
// through the host's own constructor and returns it without writing it, so
// a call costs only what the host spends on creating and taking back an
// output of that size.  Benchmarks only; not a user gateway.
#include "gateway.h"

GATEBOX_ENTRY void mexFunction(int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]) {
  (void)nlhs;
  if (nrhs != 2 || !mxIsNumeric(prhs[0]) || !mxIsDouble(prhs[1]) || mxIsSparse(prhs[1]))
    mexErrMsgTxt("Usage: B = hostfloor(A, dims) with A numeric and dims a double vector");
  std::size_t nd = mxGetNumberOfElements(prhs[1]);
  auto *dims = static_cast<mwSize *>(mxCalloc(nd, sizeof(mwSize)));
  for (std::size_t i = 0; i < nd; ++i) dims[i] = static_cast<mwSize>(mxGetPr(prhs[1])[i]);
  plhs[0] = mxCreateNumericArray(static_cast<mwSize>(nd), dims, mxGetClassID(prhs[0]),
                                 mxIsComplex(prhs[0]) ? mxCOMPLEX : mxREAL);
}
