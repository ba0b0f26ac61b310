// B = writefloor(A, dims): the floor of a gateway that creates a large
// output and writes every byte of it once.  Creates an array of A's class
// and complexity with the given dimensions as tilearray does (the
// interpreter's zeros for a large real double in Octave, else without
// zero-fill) and fills it with memset.  Benchmarks only; not a user gateway.
#include "gatekit.h"
#include "gateway.h"
#include "octave_output.h"

#include <cstring>

GATEBOX_ENTRY void mexFunction(int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]) {
  (void)nlhs;
  if (nrhs != 2 || !mxIsNumeric(prhs[0]) || !mxIsDouble(prhs[1]) || mxIsSparse(prhs[1]))
    mexErrMsgTxt("Usage: B = writefloor(A, dims) with A numeric and dims a double vector");
  std::size_t nd = mxGetNumberOfElements(prhs[1]), elements = 1;
  auto *dims = static_cast<mwSize *>(mxCalloc(nd, sizeof(mwSize)));
  for (std::size_t i = 0; i < nd; ++i) {
    dims[i] = static_cast<mwSize>(mxGetPr(prhs[1])[i]);
    elements *= static_cast<std::size_t>(dims[i]);
  }
  const std::size_t bytes = elements * mxGetElementSize(prhs[0]);
  const bool complex = mxIsComplex(prhs[0]);
#if GATEBOX_OCTAVE_HOST
  plhs[0] = gatebox::create_by_interpreter(prhs[0], nd, dims, bytes);
  if (plhs[0] == nullptr)
#endif
    plhs[0] = mxCreateNumericArrayE(static_cast<mwSize>(nd), dims, mxGetClassID(prhs[0]), complex ? mxCOMPLEX : mxREAL);
  if (bytes == 0) return;
  std::memset(mxGetData(plhs[0]), 0x5a, bytes);
  if (complex) std::memset(mxGetImagData(plhs[0]), 0x5a, bytes);
}
