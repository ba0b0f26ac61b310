// aliascheck(a, b): 1 when the data of a and b start at the same address,
// 0 otherwise.
//
// Only the addresses the host reports through mxGetData are compared: not
// the contents, class, size or names.  Two arrays that the host gives one
// storage (Octave's b = a before either is changed) answer 1.  A function
// handle or an object has no data storage, and GNU Octave 7.3 ends the
// session when a gateway asks for one, so such inputs are refused first.
#include "gateway.h"

namespace {
const char kUsage[] = "usage: aliascheck(a,b)";
const char kNoStorage[] =
    "A and B must be arrays with data storage (numeric, logical, char, cell or struct); "
    "function handles and objects have none to compare.";

bool has_storage(const mxArray *a) {
  return mxIsNumeric(a) || mxIsLogical(a) || mxIsChar(a) || mxIsCell(a) || mxIsStruct(a);
}
}  // namespace

GATEBOX_ENTRY void mexFunction(int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]) {
  (void)nlhs;
  if (nrhs != 2) gatebox::fail("aliascheck", "usage", kUsage);
  if (!has_storage(prhs[0]) || !has_storage(prhs[1])) gatebox::fail("aliascheck", "noStorage", kNoStorage);
  plhs[0] = mxCreateDoubleMatrix(1, 1, mxREAL);
  mxGetPr(plhs[0])[0] = mxGetData(prhs[0]) == mxGetData(prhs[1]) ? 1.0 : 0.0;
}
