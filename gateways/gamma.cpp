// y = gamma(x): the gamma function element by element, through the
// by-reference gateway interface (entry point mexfunction_).
//
// Whole arguments from 1 to 23 come exactly from a table of factorials, NaN
// passes through, and every other argument goes to dgamma (the array kernel
// gamma_array, several elements per vector instruction).  The output is a
// real double array of the input's dimensions.
#include "byref.h"
#include "gateway.h"
#include "kernels.h"
#include "octave_output.h"

#include <string_view>

namespace {

// Messages, passed with their lengths.
constexpr std::string_view kNotEnough = "Not enough input arguments.";
constexpr std::string_view kTooMany = "Too many input arguments.";
constexpr std::string_view kNotReal = "Argument must be real.";
static_assert(kNotEnough.size() == 27 && kTooMany.size() == 25 && kNotReal.size() == 22);
const char kNotFullDouble[] = "Argument must be a full double array; convert it with full(double(x)).";

// y = builtin('gamma', x) in the host; false when the host cannot call.
bool delegate_to_builtin(mxArray **plhs, const mxArray *x) {
  constexpr std::string_view kBuiltin = "builtin", kGamma = "gamma";
  mxArray *args[2] = {mxcreatestring_(kGamma.data(), kGamma.size()), const_cast<mxArray *>(x)};
  const int one = 1, two = 2;
  const int status = mexcallmatlab_(&one, plhs, &two, args, kBuiltin.data(), kBuiltin.size());
  mxdestroyarray_(&args[0]);
  return status == 0;
}

}  // namespace

// The entry point has the type hosts call it through (int counts by address,
// as in GNU Octave's mex.cc); it never writes through them.
GATEBOX_ENTRY void mexfunction_(int *nlhs, mxArray **plhs, int *nrhs, const mxArray **prhs) {
  (void)nlhs;
  if (*nrhs <= 0) mexerrmsgidandtxt_("gatebox:gamma:notEnoughInputs", kNotEnough.data(), kNotEnough.size());
  if (*nrhs > 1) mexerrmsgidandtxt_("gatebox:gamma:tooManyInputs", kTooMany.data(), kTooMany.size());
  if (mxiscomplex_(&prhs[0]) == 1) mexerrmsgidandtxt_("gatebox:gamma:notReal", kNotReal.data(), kNotReal.size());
  if (mxisdouble_(&prhs[0]) != 1 || mxissparse_(&prhs[0]) != 0) {
    // Every input but a full real double array (single, integer, logical,
    // sparse, char, ...) is answered by the host's built-in gamma, as if the
    // toolbox were not loaded: functions built on gamma (factorial, nchoosek,
    // beta) keep their results.  A host without a call interface refuses.
    if (delegate_to_builtin(plhs, prhs[0])) return;
    gatebox::fail("gamma", "notDouble", kNotFullDouble);
  }

  const mwSize m = mxgetm_(&prhs[0]), n = mxgetn_(&prhs[0]), ndim = mxgetnumberofdimensions_(&prhs[0]);
#if GATEBOX_OCTAVE_HOST
  // A large output made by the interpreter, which Octave takes back without
  // copying it.
  plhs[0] = gatebox::create_double_output(static_cast<std::size_t>(ndim), mxgetdimensions_(&prhs[0]));
#else
  const int real = 0;
  plhs[0] = mxcreatefullnd_(&ndim, mxgetdimensions_(&prhs[0]), &real);
#endif
  // The by-reference copies are plain copies of the data, so the kernel
  // reads and writes the arrays' data directly.
  const double *px = mxgetpr_(&prhs[0]);
  double *py = mxgetpr_(&plhs[0]);
  gatebox::gamma_array(px, py, static_cast<std::size_t>(m * n));
}
