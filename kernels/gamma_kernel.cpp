// dgamma: the gamma function behind the gamma gateway, one element or an
// array.
#include "kernels.h"

#include "crmath.h"
#include "simd.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#if defined(GATEBOX_SIMD_WIDE)
#include <immintrin.h>
#endif

namespace {

// Cody's coefficients: P, Q of the rational approximation of Gamma(1 + z)
// on [0, 1]; the asymptotic series of ln Gamma takes kCodyStirling (util).
const double P[8] = {-1.716185138865495,  24.76565080557592,  -379.80425647094563, 629.3311553128184,
                     866.9662027904133,   -31451.272968848367, -36144.413418691176, 66456.14382024054};
const double Q[8] = {-30.840230011973897, 315.35062697960416, -1015.1563674902192, -3107.771671572311,
                     22538.11842098015,   4755.846277527881,  -134659.9598649693,  -115132.25967555349};

const double pi = 3.141592653589793;
const double ln_sqrt_2pi = 0.9189385332046728;
const double xminin = 2.23e-308;  // smallest argument of the reciprocal path
const double eps = 2.22e-16;      // below it Gamma(y) = 1/y to working precision
const double xbig = 171.624;      // largest y with Gamma(y) finite
const double inf = std::numeric_limits<double>::infinity();

// k! for k = 0 .. 22, each exactly representable.
const double factorial[23] = {
    1.0,          1.0,           2.0,            6.0,             24.0,             120.0,
    720.0,        5040.0,        40320.0,        362880.0,        3628800.0,        39916800.0,
    479001600.0,  6227020800.0,  87178291200.0,  1307674368000.0, 20922789888000.0, 355687428096000.0,
    6402373705728000.0,    121645100408832000.0,   2432902008176640000.0,
    51090942171709440000.0, 1124000727777607680000.0};

}  // namespace

namespace gatebox {

// dgamma: Gamma(x) for real x.
// Method: W. J. Cody's SPECFUN routine GAMMA (ACM TOMS Algorithm 715, 1993)
// with IEEE double constants.  x <= 0 is reflected, Gamma(x) =
// -pi / ((-1)^k sin(pi r) Gamma(1 - x)) with k and r the whole part and the
// fraction of -x; 1/y below eps;
// a rational approximation of Gamma(1 + z) on [0, 1] with the recurrence up
// to 12; Stirling's series with kCodyStirling.  Accuracy about 1e-15 relative on
// the positive axis; the error grows near the negative poles (the rounding
// of pi r) and with ln Gamma near overflow (about 1e-13 at 171).
double dgamma(double x) {
  bool parity = false;
  double fact = 1.0, y = x, y1, res;
  int n = 0;
  if (y <= 0.0) {
    y = -x;
    y1 = std::trunc(y);
    res = y - y1;
    if (res == 0.0) return inf;                                 // Gamma(0), Gamma(-k) = +inf
    if (y1 != std::trunc(y1 * 0.5) * 2.0) parity = true;        // odd whole part: sign flips
    fact = -pi / cr_sin(pi * res);
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
    double sum = kCodyStirling[6];
    for (int i = 0; i < 6; ++i) sum = sum / ysq + kCodyStirling[i];
    sum = sum / y - y + ln_sqrt_2pi;
    sum = sum + (y - 0.5) * cr_log(y);
    res = cr_exp(sum);
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

}  // namespace gatebox

namespace gatebox {

// The gamma gateway's value of one element: whole arguments from 1 to 23
// exactly from the table of factorials, NaN passed through, dgamma for the
// rest.
double gamma_element(double x) {
  if (x >= 1.0 && x <= 23.0 && x == std::trunc(x)) return factorial[static_cast<int>(x) - 1];
  if (std::isnan(x)) return x;
  return dgamma(x);
}

}  // namespace gatebox

namespace {

using gatebox::gamma_element;
using gatebox::simd::Isa;

// The lanes' constants: dgamma's, and the arguments the lanes take: x in
// [-170, 171], neither whole nor in (0, eps), so that y stays in [eps, 171]
// (and below xbig) and the reflection has no pole.
const double kPi = pi;
const double kLnSqrt2Pi = ln_sqrt_2pi;
const double kEps = eps;
const double kLowest = -170.0, kHighest = 171.0;
const double *const kP = P;
const double *const kQ = Q;
constexpr int kMaxSteps = 10;  // recurrence steps up from [1, 2) below 12
constexpr std::size_t kBlock = 256;

#ifdef GATEBOX_SIMD_WIDE
// The tables of cr_log's and cr_exp's first steps, for their lanes
// (crmath_lanes.inc).
#include "crexp_table.inc"
#include "crlog_table.inc"

#include "crlog_rows.inc"
constexpr LogRows kLogRows = make_log_rows();
constexpr double kL23 = -(kL2 + kL3);  // rounded once, as in crexp.cpp
#endif

#ifdef GATEBOX_SIMD_WIDE
#pragma GCC push_options
#pragma GCC target("avx2")
namespace avx2 {
typedef gatebox::simd::v4d V;
constexpr int W = 4;
typedef decltype(V{} < V{}) M;
typedef int IV __attribute__((vector_size(16)));
typedef std::uint64_t UV __attribute__((vector_size(32)));
GATEBOX_INLINE unsigned bits(M m) { return static_cast<unsigned>(_mm256_movemask_pd(reinterpret_cast<__m256d>(m))); }
#include "gamma_lanes.inc"
}  // namespace avx2
#pragma GCC pop_options

#pragma GCC push_options
#pragma GCC target("avx512f")
namespace avx512 {
typedef gatebox::simd::v8d V;
constexpr int W = 8;
typedef decltype(V{} < V{}) M;
typedef int IV __attribute__((vector_size(32)));
typedef std::uint64_t UV __attribute__((vector_size(64)));
GATEBOX_INLINE unsigned bits(M m) {
  const __m512i mi = reinterpret_cast<__m512i>(m);
  return static_cast<unsigned>(_mm512_test_epi64_mask(mi, mi));
}
#include "gamma_lanes.inc"
}  // namespace avx512
#pragma GCC pop_options
#endif

}  // namespace

namespace gatebox {

void gamma_array(simd::Isa isa, const double *x, double *y, std::size_t n) {
  switch (isa) {
#ifdef GATEBOX_SIMD_WIDE
    case Isa::avx512:
      avx512::gamma_lanes(x, y, n);
      return;
    case Isa::avx2:
      avx2::gamma_lanes(x, y, n);
      return;
#endif
    default:
      for (std::size_t i = 0; i < n; ++i) y[i] = gamma_element(x[i]);
      return;
  }
}

std::size_t gamma_log_lanes(simd::Isa isa, const double *x, double *y, std::size_t n) {
  switch (isa) {
#ifdef GATEBOX_SIMD_WIDE
    case Isa::avx512:
      return avx512::log_array(x, y, n);
    case Isa::avx2:
      return avx2::log_array(x, y, n);
#endif
    default:
      for (std::size_t i = 0; i < n; ++i) y[i] = cr_log(x[i]);
      return n;
  }
}

std::size_t gamma_exp_lanes(simd::Isa isa, const double *x, double *y, std::size_t n) {
  switch (isa) {
#ifdef GATEBOX_SIMD_WIDE
    case Isa::avx512:
      return avx512::exp_array(x, y, n);
    case Isa::avx2:
      return avx2::exp_array(x, y, n);
#endif
    default:
      for (std::size_t i = 0; i < n; ++i) y[i] = cr_exp(x[i]);
      return n;
  }
}

// The widest lanes: the per-element library calls dominate, and the
// 512-bit lanes spend fewer instructions on the rest (measured on AMD Zen 4).
void gamma_array(const double *x, double *y, std::size_t n) {
  static const Isa isa = simd::available(Isa::avx2) ? simd::widest() : Isa::plain;
  gamma_array(isa, x, y, n);
}

}  // namespace gatebox
