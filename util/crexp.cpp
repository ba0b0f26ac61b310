// Correctly rounded exp (round to nearest, ties to even).
//
// Fast step (P. T. P. Tang, "Table-driven implementation of the exponential
// function in IEEE floating-point arithmetic", ACM TOMS 15 (1989) 144-157):
// x = (128 m + j) ln2/128 + r with |r| <= ln2/256 + 2^-40, k = 128 m + j the
// nearest integer to 128 x/ln2.  ln2/128 = L1 + L2 + L3 with L1, L2 of 35
// bits, so k L1 and k L2 are exact (|k| < 2^18), x - k L1 is exact (Sterbenz)
// and r = rh + rl is formed exactly but for k L3 (error < 2^-112).  Then
//   exp(x) = 2^m (T + Tl)(1 + p),  T + Tl = 2^(j/128) to 2^-107 (table),
//   p = rh + [rl + rh rl + rh^2/2 + rh^3 (1/6 + ... + rh^4/5040)],
// the bracket in double arithmetic (Taylor truncation < 2^-83, roundings
// < 2^-69.5) and 2^m T (1 + p) in double-double (Dekker's exact product of
// T and rh, then the small terms; roundings < 2^-69).  The total error of
// h + l is below 2^-67.5 relative; the rounding test uses 2^-66.
//
// Rounding test (A. Ziv, "Fast evaluation of elementary mathematical
// functions with correctly rounded last bit", ACM TOMS 17 (1991) 410-423):
// with (h, l) normalised, if h + (l - e) and h + (l + e) round to the same
// double, that double is the correctly rounded result (rounding is
// monotonic).  Results below 2^-1021 are tested and rounded in units of
// 2^-1074 (the subnormal spacing) by adding 2^52, so they are rounded once.
//
// Accurate step (about one argument in 4000): exact fixed-point arithmetic
// with 240 fraction bits (crfixed.h): z = x - m ln2 (ln2 to 2^-240),
// exp(z) by argument halving, Taylor series and squaring, relative error below 2^-220, rounded once to
// the double (normal or subnormal) nearest to 2^m exp(z).  The hardest
// doubles for exp need about 2^-(53+60) relative accuracy (V. Lefevre and
// J.-M. Muller, "Worst cases for correct rounding of the elementary
// functions in double precision", ARITH 15, 2001), so this step always
// decides.
#include <cstdint>
#include <cstring>
#include <limits>

#include "crfixed.h"
#include "crmath.h"
#include "ddouble.h"

namespace {
#include "crexp_table.inc"
constexpr double kShift = 0x1.8p52;  // adding it rounds to an integer
}  // namespace

namespace crdetail {

double exp_accurate(double x) {
  const double kd = (x * 0x1.71547652b82fep0 + kShift) - kShift;  // x / ln2 rounded
  const int m = static_cast<int>(kd);
  const crfx::Fx z = crfx::sub(crfx::from_double(x), crfx::mul(crfx::ln2(), crfx::from_double(kd)));
  return crfx::to_double(crfx::exp(z), m);
}

}  // namespace crdetail

double cr_exp(double x) {
  std::uint64_t u;
  std::memcpy(&u, &x, sizeof u);
  const std::uint64_t ax = u & 0x7fffffffffffffffULL;
  if (ax >= 0x40862e42fefa39efULL) {     // |x| >= 709.78271289338397 (or NaN)
    if (ax > 0x7ff0000000000000ULL) return x + x;  // NaN
    if (x > 709.79) return std::numeric_limits<double>::infinity();
    if (x < -745.2) return 0.0;
  } else if (ax < 0x3c90000000000000ULL) {  // |x| < 2^-54: exp(x) rounds to 1
    return 1.0;
  }
  const double kd = (x * kInvL + kShift) - kShift;
  const int k = static_cast<int>(kd);
  const int j = k & 127;
  const int m = (k - j) / 128;

  const double r1 = x - kd * kL1;  // exact
  const dd::DD s = dd::two_sum(r1, -(kd * kL2));
  const double rh = s.hi;
  const double rl = s.lo - kd * kL3;
  const double r2 = rh * rh;
  // Estrin's scheme (shorter dependency chain than Horner, same bound).
  const double qa = 0x1.5555555555555p-3 + rh * 0x1.5555555555555p-5;
  const double qb = 0x1.1111111111111p-7 + rh * 0x1.6c16c16c16c17p-10;
  const double q = 0.5 * r2 + (r2 * rh) * (qa + r2 * (qb + r2 * 0x1.a01a01a01a01ap-13));
  const double plo = rl + (rh * rl + q);

  const double th = kExp2[j][0], tl = kExp2[j][1];
  const dd::DD a = dd::two_prod(th, rh);
  const dd::DD b = dd::fast_two_sum(th, a.hi);
  const double lo = b.lo + (a.lo + (th * plo + (tl + tl * (rh + plo))));
  const dd::DD y = dd::fast_two_sum(b.hi, lo);
  const double err = y.hi * 0x1p-66;

  if (m > -1022 || (m == -1022 && y.hi > 1.0)) {
    const double u1 = y.hi + (y.lo - err);
    const double u2 = y.hi + (y.lo + err);
    if (u1 == u2) {
      if (m > 1023) return (u1 * 2.0) * crfx::pow2(m - 1);
      return u1 * crfx::pow2(m);
    }
  } else {
    // Below 2^-1021: round in units of 2^-1074.  s = 2^(m+1074) with
    // m + 1074 in [-3, 52]; h s < 2^52, so 2^52 + h s has spacing 1.
    const double sc = crfx::pow2(m + 1074);
    const dd::DD c = dd::fast_two_sum(0x1p52, y.hi * sc);
    const double w = c.lo + y.lo * sc;
    const double e = err * sc + 0x1p-50;  // also covers the rounding of w
    const double u1 = c.hi + (w - e);
    const double u2 = c.hi + (w + e);
    if (u1 == u2) return (u1 - 0x1p52) * 0x1p-1074;
  }
  return crdetail::exp_accurate(x);
}
