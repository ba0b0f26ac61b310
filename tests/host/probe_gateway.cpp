// A gateway for testing the host itself.  Its first input selects what it
// does; its static counter shows whether two loads share state.
//   0: return the call count of this library (static state)
//   1: leave blocks and arrays unfreed, then return 1
//   2: allocate, then end the call with an error
//   3: grow a block with mxRealloc and return its leading contents
//   4: add the second input to global "flopcount" through the workspace
//   5: return nothing although an output is asked for
//   6: make temporaries, then call the function named by the second input
//      through mexCallMATLAB with the remaining inputs; hand back its outputs
//   7: as 6, but drop what the function returned and hand back nothing
#include "gateway.h"

#include <cstring>
#include <vector>

static int calls = 0;

GATEBOX_ENTRY void mexFunction(int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]) {
  (void)nlhs;
  ++calls;
  int mode = nrhs > 0 ? static_cast<int>(mxGetScalar(prhs[0])) : 0;
  switch (mode) {
    case 0:
      plhs[0] = mxCreateDoubleScalar(calls);
      return;
    case 1: {
      mxMalloc(100);
      mxCalloc(10, 8);
      mxCreateDoubleMatrix(10, 10, mxREAL);
      mxArray *c = mxCreateCellMatrix(1, 2);
      mxSetCell(c, 0, mxCreateString("held by a cell"));
      plhs[0] = mxCreateDoubleScalar(1);
      return;
    }
    case 2:
      mxMalloc(1000);
      mxCreateDoubleMatrix(5, 5, mxREAL);
      mexErrMsgIdAndTxt("probe:failed", "failed after %d allocations", 2);
    case 3: {
      double *p = static_cast<double *>(mxMalloc(sizeof(double)));
      p[0] = 42;
      p = static_cast<double *>(mxRealloc(p, 1000 * sizeof(double)));
      mxArray *out = mxCreateDoubleMatrix(1, 1, mxREAL);
      double *old = mxGetPr(out);
      mxSetPr(out, p);  // the replaced block goes back to the call and is reclaimed
      (void)old;
      mxSetN(out, 1);
      plhs[0] = out;
      return;
    }
    case 4: {
      mxArray *v = mexGetVariable("global", "flopcount");
      if (!v || mxIsEmpty(v)) return;
      mxGetPr(v)[0] += mxGetScalar(prhs[1]);
      mexPutVariable("global", "flopcount", v);
      return;
    }
    case 6:
    case 7: {
      mxMalloc(64);
      mxCreateDoubleMatrix(2, 2, mxREAL);
      char *name = mxArrayToString(prhs[1]);
      std::vector<mxArray *> in;
      for (int i = 2; i < nrhs; ++i) in.push_back(const_cast<mxArray *>(prhs[i]));
      int n = nlhs > 1 ? nlhs : 1;
      std::vector<mxArray *> out(static_cast<std::size_t>(n), nullptr);
      mexCallMATLAB(mode == 6 ? nlhs : n, out.data(), static_cast<int>(in.size()), in.data(), name);
      if (mode == 6)
        for (int i = 0; i < nlhs; ++i) plhs[i] = out[static_cast<std::size_t>(i)];
      return;
    }
    default:
      return;
  }
}
