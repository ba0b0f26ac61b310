// y = gamma(x): the gamma function element by element, through the
// by-reference gateway interface (entry point mexfunction_).
//
// Whole arguments from 1 to 23 come exactly from a table of factorials, NaN
// passes through, and every other argument goes to dgamma.  The output is a
// real double matrix of the input's rows and columns.
#include "byref.h"
#include "gateway.h"

#include <cmath>
#include <limits>
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

// Cody's coefficients: P, Q of the rational approximation of Gamma(1 + z)
// on [0, 1], C of the asymptotic series of ln Gamma.
const double P[8] = {-1.716185138865495,  24.76565080557592,  -379.80425647094563, 629.3311553128184,
                     866.9662027904133,   -31451.272968848367, -36144.413418691176, 66456.14382024054};
const double Q[8] = {-30.840230011973897, 315.35062697960416, -1015.1563674902192, -3107.771671572311,
                     22538.11842098015,   4755.846277527881,  -134659.9598649693,  -115132.25967555349};
const double C[7] = {-0.001910444077728,     0.00084171387781295,  -0.0005952379913043012,
                     0.0007936507935003503,  -0.0027777777777776816, 0.08333333333333333,
                     0.0057083835261};

const double pi = 3.141592653589793;
const double ln_sqrt_2pi = 0.9189385332046728;
const double xminin = 2.23e-308;  // smallest argument of the reciprocal path
const double eps = 2.22e-16;      // below it Gamma(y) = 1/y to working precision
const double xbig = 171.624;      // largest y with Gamma(y) finite
const double inf = std::numeric_limits<double>::infinity();

// dgamma: Gamma(x) for real x.
// Method: W. J. Cody's SPECFUN routine GAMMA (ACM TOMS Algorithm 715, 1993)
// with IEEE double constants.  x <= 0 is reflected, Gamma(x) =
// -pi / ((-1)^k sin(pi r) Gamma(1 - x)) with k and r the whole part and the
// fraction of -x; 1/y below eps;
// a rational approximation of Gamma(1 + z) on [0, 1] with the recurrence up
// to 12; Stirling's series with C above.  Accuracy about 1e-15 relative on
// the positive axis; the error grows near the negative poles (the rounding
// of pi r) and with ln Gamma near overflow (about 1e-13 at 171).
double dgamma(const double *px) {
  const double x = *px;
  bool parity = false;
  double fact = 1.0, y = x, y1, res;
  int n = 0;
  if (y <= 0.0) {
    y = -x;
    y1 = std::trunc(y);
    res = y - y1;
    if (res == 0.0) return inf;                                 // Gamma(0), Gamma(-k) = +inf
    if (y1 != std::trunc(y1 * 0.5) * 2.0) parity = true;        // odd whole part: sign flips
    fact = -pi / std::sin(pi * res);
    y = y + 1.0;
  }
  if (y < eps) {
    if (y < xminin) return inf;                                 // 1/y overflows
    res = 1.0 / y;
  } else if (y < 12.0) {
    // Reduce to Gamma(1 + z), z in [0, 1), then step back or forward.
    y1 = y;
    double z;
    if (y < 1.0) {
      z = y;
      y = y + 1.0;
    } else {
      n = static_cast<int>(std::trunc(y)) - 1;
      y = y - n;
      z = y - 1.0;
    }
    double num = 0.0, den = 1.0;
    for (int i = 0; i < 8; ++i) {
      num = (num + P[i]) * z;
      den = den * z + Q[i];
    }
    res = num / den + 1.0;
    if (y1 < y) {
      res = res / y1;
    } else if (y1 > y) {
      for (int i = 0; i < n; ++i) {
        res = res * y;
        y = y + 1.0;
      }
    }
  } else if (y <= xbig) {
    const double ysq = y * y;
    double sum = C[6];
    for (int i = 0; i < 6; ++i) sum = sum / ysq + C[i];
    sum = sum / y - y + ln_sqrt_2pi;
    sum = sum + (y - 0.5) * std::log(y);
    res = std::exp(sum);
  } else {
    // Gamma(y) overflows: +inf for x > 0 and for x = -inf.  A reflected
    // finite argument (x < -170.624) has |Gamma(x)| below the smallest
    // normal number: fact / +-inf below gives the zero of Gamma(x)'s sign.
    if (x > 0.0 || x == -inf) return inf;
    res = inf;
  }
  if (parity) res = -res;
  if (fact != 1.0) res = fact / res;
  return res;
}

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
  if (*nrhs <= 0) mexerrmsgtxt_(kNotEnough.data(), kNotEnough.size());
  if (*nrhs > 1) mexerrmsgtxt_(kTooMany.data(), kTooMany.size());
  if (mxiscomplex_(&prhs[0]) == 1) mexerrmsgtxt_(kNotReal.data(), kNotReal.size());
  if (mxisdouble_(&prhs[0]) != 1 || mxissparse_(&prhs[0]) != 0) {
    // Every input but a full real double array (single, integer, logical,
    // sparse, char, ...) is answered by the host's built-in gamma, as if the
    // toolbox were not loaded: functions built on gamma (factorial, nchoosek,
    // beta) keep their results.  A host without a call interface refuses.
    if (delegate_to_builtin(plhs, prhs[0])) return;
    gatebox::fail("gamma", "notDouble", kNotFullDouble);
  }

  const mwSize m = mxgetm_(&prhs[0]), n = mxgetn_(&prhs[0]);
  const int real = 0;
  const mwSize one = 1;
  plhs[0] = mxcreatefull_(&m, &n, &real);
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
      y = dgamma(&x);
    }
    mxcopyreal8toptr_(&y, &py, &one);
    ++px;
    ++py;
  }
}
