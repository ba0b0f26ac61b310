// Correctly rounded exp (round to nearest, ties to even).
//
// Fast step (P. T. P. Tang, "Table-driven implementation of the exponential
// function in IEEE floating-point arithmetic", ACM TOMS 15 (1989) 144-157):
// x = (128 m + j) ln2/128 + r, k = 128 m + j the nearest integer to
// 128 x/ln2 (|k| < 2^18).  ln2/128 = L1 + L2 + L3 with L1, L2 of 35 bits, so
// k L1 and k L2 are exact and x - k L1 is exact (Sterbenz).  r = rh + rl:
// rh is x - k L1 - k L2 rounded to the grid 2^-34 (26 bits, |rh| < 2^-8.4),
// rl = ((x - k L1 - rh) - k L2) - k L3 with |rl| < 2^-34.9 and an error
// below 2^-78 (the first subtraction, of size < 2^-25.2, rounds once).
// Then, with 2^(j/128) = th + tl (table, to 2^-107) and th = Th + Tm split
// by Veltkamp (Th of 26 bits, so Th rh is exact in one product):
//   exp(r) - 1 = rh + plo,  plo = rl + q + rl (rh + q + rl/2) + O(2^-107),
//   q = exp(rh) - 1 - rh = rh^2/2 + rh^3 (1/6 + ... + rh^4/5040)
// (Estrin's scheme; rh^2 and rh^2/2 exact; Taylor truncation < 2^-82.5;
// |q|, |plo| < 2^-17.7, three roundings of that size < 2^-69 in all), and
//   2^(j/128) exp(r) = th + Th rh + [Tm rh + th plo + tl (1 + rh + plo)],
// th + Th rh by Fast2Sum, the bracket in double (four roundings of terms
// below 2^-17.4 th, < 2^-68.4 relative).  The total error of h + l is below
// 2^-67.7 relative (measured against MPFR: at most 2^-69.3 on 3e5
// arguments); the rounding test uses 2^-67.
//
// Rounding test (A. Ziv, "Fast evaluation of elementary mathematical
// functions with correctly rounded last bit", ACM TOMS 17 (1991) 410-423):
// with (h, l) normalised, if h + (l - e) and h + (l + e) round to the same
// double, that double is the correctly rounded result (rounding is
// monotonic).  Results below 2^-1021 are tested and rounded in units of
// 2^-1074 (the subnormal spacing) by adding 2^52, so they are rounded once.
//
// Accurate step (about one argument in 8000): exact fixed-point arithmetic
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

namespace {

// Results at the edges of the range: m <= -1022 (subnormal or just above
// 2^-1022) or m >= 1024 (near overflow), with h + l the unnormalised value
// of 2^(j/128) exp(r) from cr_exp.
[[gnu::noinline]] double exp_edge(double x, double h, double l, int m) {
  if (x > 709.79) return std::numeric_limits<double>::infinity();
  const dd::DD y = dd::fast_two_sum(h, l);
  const double err = y.hi * 0x1p-67;
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

}  // namespace

double cr_exp(double x) {
  std::uint64_t u;
  std::memcpy(&u, &x, sizeof u);
  const std::uint64_t ax = u & 0x7fffffffffffffffULL;
  // Off the main path: |x| < 2^-54 (exp(x) rounds to 1), |x| >= 745.2 (to
  // +inf or +0), NaN.
  if (ax - 0x3c90000000000000ULL >= 0x408749999999999aULL - 0x3c90000000000000ULL) {
    if (ax > 0x7ff0000000000000ULL) return x + x;  // NaN
    if (ax < 0x3c90000000000000ULL) return 1.0;
    return x > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  }
  // k = round(128 x / ln2) in the low bits of kt (|k| < 2^18): j = k mod 128
  // and m = floor(k / 128) come from its bits.
  const double kt = x * kInvL + kShift;
  std::uint64_t ki;
  std::memcpy(&ki, &kt, sizeof ki);
  const double kd = kt - kShift;
  const int k = static_cast<int>(kd);
  const double* tab = kExp2[ki & 127];
  const double th = tab[0], tl = tab[1];
  // r = rh + rl: rh on the grid 2^-34 (26 bits), |rl| <= 2^-34.9.
  const double kl2 = kd * kL2;                     // exact
  const double r1 = x - kd * kL1;                  // exact
  const double rh = ((r1 - kl2) + 0x1.8p18) - 0x1.8p18;
  const double rl = ((r1 - rh) - kl2) - kd * kL3;  // error < 2^-78
  // q = exp(rh) - 1 - rh (Estrin; rh^2 and 0.5 rh^2 exact), then
  // exp(r) - 1 = rh + plo, plo = rl + q + rl (rh + q + rl/2) + O(2^-107).
  const double r2 = rh * rh;
  const double qa = 0x1.5555555555555p-3 + rh * 0x1.5555555555555p-5;
  const double qb = 0x1.1111111111111p-7 + rh * 0x1.6c16c16c16c17p-10;
  const double q = 0.5 * r2 + (r2 * rh) * (qa + r2 * qb);
  const double plo = rl + (q + rl * ((rh + q) + 0.5 * rl));
  // 2^(j/128) (1 + rh + plo) = th + Th rh (exact) + [Tm rh + th plo + tl (1 + rh + plo)].
  const dd::DD b = dd::fast_two_sum(th, tab[2] * rh);
  const double lo = b.lo + ((tab[3] * rh + th * plo) + (tl + tl * (rh + plo)));
  if (static_cast<unsigned>(k + 130688) < 261760u) {  // m in [-1021, 1023]: 2^m u1 is normal
    const double err = b.hi * 0x1p-67;
    const double u1 = b.hi + (lo - err);
    const double u2 = b.hi + (lo + err);
    if (u1 == u2) {
      const std::uint64_t sbits = ((ki >> 7) << 52) + 0x3ff0000000000000ULL;  // 2^m
      double s;
      std::memcpy(&s, &sbits, sizeof s);
      return u1 * s;
    }
    return crdetail::exp_accurate(x);
  }
  return exp_edge(x, b.hi, lo, (k - static_cast<int>(ki & 127)) / 128);
}
