// y = gamma(x): the gamma function element by element, through the
// by-reference gateway interface (entry point mexfunction_).
//
// Whole arguments from 1 to 23 come exactly from a table of factorials, NaN
// passes through, and every other argument goes to dgamma.  The output is a
// real double array of the input's dimensions.
#include "byref.h"
#include "gateway.h"
#include "kernels.h"

#include <cmath>
#include <string_view>

namespace {

// Messages, passed with their lengths.
constexpr std::string_view kNotEnough = "Not enough input arguments.";
constexpr std::string_view kTooMany = "Too many input arguments.";
constexpr std::string_view kNotReal = "Argument must be real.";
static_assert(kNotEnough.size() == 27 && kTooMany.size() == 25 && kNotReal.size() == 22);
const char kNotFullDouble[] = "Argument must be a full double array; convert it with full(double(x)).";

// k! for k = 0 .. 22, each exactly representable.
const double factorial[23] = {
    1.0,          1.0,           2.0,            6.0,             24.0,             120.0,
    720.0,        5040.0,        40320.0,        362880.0,        3628800.0,        39916800.0,
    479001600.0,  6227020800.0,  87178291200.0,  1307674368000.0, 20922789888000.0, 355687428096000.0,
    6402373705728000.0,    121645100408832000.0,   2432902008176640000.0,
    51090942171709440000.0, 1124000727777607680000.0};

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
  const int real = 0;
  const mwSize one = 1;
  plhs[0] = mxcreatefullnd_(&ndim, mxgetdimensions_(&prhs[0]), &real);
  const double *px = mxgetpr_(&prhs[0]);
  double *py = mxgetpr_(&plhs[0]);
  for (mwSize i = 0, count = m * n; i < count; ++i) {
    double x, y;
    mxcopyptrtoreal8_(&px, &x, &one);
    if (x >= 1.0 && x <= 23.0 && x == std::trunc(x)) {
      y = factorial[static_cast<int>(x) - 1];
    } else if (std::isnan(x)) {
      y = x;
    } else {
      y = gatebox::dgamma(x);
    }
    mxcopyreal8toptr_(&y, &py, &one);
    ++px;
    ++py;
  }
}
