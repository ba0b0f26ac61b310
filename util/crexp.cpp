// Correctly rounded exp (round to nearest, ties to even), in three steps,
// each behind a rounding test; the later ones run only where the earlier
// ones cannot decide.
//
// First step (plain double, Tang's reduction as below): k = round(128 x /
// ln2) from the bits of 128 x / ln2 + 1.5 2^52 (j = k mod 128 and
// m = floor(k / 128) from its low bits), r1 = x - k L1 exact as below,
// dl = k L23 with L23 = -(L2 + L3) rounded once, rh + rl = r1 + dl by
// Fast2Sum (exact when |r1| >= |dl|; otherwise |rh| < 2^-25 and the pair is
// within 2^-78 of r1 + dl), and
//   2^(j/128) exp(r) = th + th rh + [th (q + rl) + tl (1 + rh)],
//   q = rh^2 P(rh) ~ exp(rh) - 1 - rh,
// P of degree 3 fitted on |r| <= ln2/256 (1 + 2^-20) (Chebyshev
// interpolation), th + tl = 2^(j/128) from the table, s = th rh rounded
// once, th + s = hi + lo0 by Fast2Sum, lo = lo0 + [...].  Error of hi + lo
// (absolute; th < 2, |rh| <= 2^-8.53), u = 2^-53:
//   s: u |th rh| <= 2^-60.54, the dominant term;
//   approximation |rh^2 (P - h)| <= 2^-63.66 (the generator's maximum on
//     8193 points), times th: 2^-62.66;
//   q's roundings (4u |q|, |q| <= 2^-18.05), times th: 2^-68.05; the
//     roundings in [...] and of lo (each u of a term below 2^-17): 2^-67.4;
//     the neglected th rh rl and tl q terms: below 2^-69; the reduction
//     (2^-77.2 in r, times 2): 2^-76.2; the table: 2^-106;
//   the rounding test's own roundings of lo -+ err: u (|lo| + err) < 2^-69.
// In all below 2^-60.1 (checked against MPFR by crmath_test: at most 0.66
// of 2^-60 at the midpoints between multiples of ln2/128 and over the
// range), so the test uses 2^-60 (absolute: hi is in [0.99, 2]).  For
// 2^-54 <= |x| < 708.39, m is in [-1021, 1023] and u1 2^m is the normal
// double 2^m RN(value), so the scale is built from k's bits.  For
// 708.39 <= |x| < 745.2: normal results as above; m <= -1023 (subnormal
// results) rounds (hi + lo) 2^(m+1074) in units of 1 by adding 2^52 (test
// bound 2^-60 2^(m+1074) + 2^-50), and the result's bits are those of the
// sum less those of 2^52; m = -1022 and m >= 1024 go by exp_edge.  About
// one argument in 200 of the benchmark's mix fails the test.
//
// Second step (exp_dd, double-double; P. T. P. Tang, "Table-driven
// implementation of the exponential
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
//   q = exp(rh) - 1 - rh = rh^2/2 + rh^3 (1/6 + ... + rh^3/720)
// (Estrin's scheme; rh^2 and rh^2/2 exact; Taylor truncation < 2^-72.0;
// |q|, |plo| < 2^-17.7, three roundings of that size < 2^-69 in all), and
//   2^(j/128) exp(r) = th + Th rh + [Tm rh + th plo + tl (1 + rh + plo)],
// th + Th rh by Fast2Sum, the bracket in double (four roundings of terms
// below 2^-17.4 th, < 2^-68.4 relative).  The total error of h + l is below
// 2^-67.6 relative, and with the test's own roundings of an unnormalised
// l (u (|l| + e) < 2^-69.7) below 2^-67.3; the rounding test uses 2^-67.
//
// Rounding test (A. Ziv, "Fast evaluation of elementary mathematical
// functions with correctly rounded last bit", ACM TOMS 17 (1991) 410-423):
// if h + (l - e) and h + (l + e) round to the same double, that double is
// the correctly rounded result (rounding is monotonic), provided e also
// covers the roundings of l -+ e, u (|l| + e) with u = 2^-53.  Results below 2^-1021 are tested and rounded in units of
// 2^-1074 (the subnormal spacing) by adding 2^52, so they are rounded once.
//
// Accurate step (where the second step cannot decide): exact fixed-point
// arithmetic with 240 fraction bits (crfixed.h): z = x - m ln2 (ln2 to
// 2^-240), exp(z) by argument halving, Taylor series and squaring, relative
// error below 2^-220, rounded once to
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
constexpr double kL23 = -(kL2 + kL3);  // rounded once
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

double exp_dd(double x);

// Results at the edges of the range: m <= -1022 (subnormal or just above
// 2^-1022) or m >= 1024 (near overflow), with h + l the unnormalised value
// of 2^(j/128) exp(r) and rel its relative error bound (with the margin of
// the rounding test).  When the test fails: the double-double step after
// the first step, the accurate step after the double-double step.
[[gnu::noinline]] double exp_edge(double x, double h, double l, int m, double rel, bool last) {
  if (x > 709.79) return std::numeric_limits<double>::infinity();
  const dd::DD y = dd::fast_two_sum(h, l);
  const double err = y.hi * rel;
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
    const double sc = crfx::pow2(m + 1074);  // normal: m + 1074 >= -3
    const dd::DD c = dd::fast_two_sum(0x1p52, y.hi * sc);
    const double w = c.lo + y.lo * sc;
    const double e = err * sc + 0x1p-50;  // also covers the rounding of w
    const double u1 = c.hi + (w - e);
    const double u2 = c.hi + (w + e);
    if (u1 == u2) return (u1 - 0x1p52) * 0x1p-1074;
  }
  return last ? crdetail::exp_accurate(x) : exp_dd(x);
}

// 2^m for -1022 <= m <= 1023 from the bits of kt = 128 x / ln2 + 1.5 2^52
// (its low bits hold k, and (ki >> 7) << 52 wraps to m << 52).
inline double scale_of(std::uint64_t ki) {
  const std::uint64_t sbits = ((ki >> 7) << 52) + 0x3ff0000000000000ULL;
  double s;
  std::memcpy(&s, &sbits, sizeof s);
  return s;
}

// The double-double step, for 2^-54 <= |x| < 745.2 (where the first
// step's test fails).
[[gnu::noinline]] double exp_dd(double x) {
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
    if (u1 == u2) return u1 * scale_of(ki);
    return crdetail::exp_accurate(x);
  }
  return exp_edge(x, b.hi, lo, (k - static_cast<int>(ki & 127)) / 128, 0x1p-67, true);
}

// The first step: 2^(j/128) exp(r) ~ hi + lo (unnormalised) for |x| < 745.2.
struct ExpFirst {
  double hi, lo;
  std::uint64_t ki;  // the bits of 128 x / ln2 + 1.5 2^52
  int k;
};

inline ExpFirst first_step(double x) {
  const double kt = x * kInvL + kShift;
  std::uint64_t ki;
  std::memcpy(&ki, &kt, sizeof ki);
  const double kd = kt - kShift;
  const double* tab = kExp2[ki & 127];
  const double th = tab[0];
  // r = rh + rl with rl the rounding error of rh (exact when |r1| >= |dl|;
  // otherwise |rh| < 2^-25 and both roundings are below 2^-77).
  const double r1 = x - kd * kL1;  // exact
  const double dl = kd * kL23;     // -k (L2 + L3)
  const double rh = r1 + dl;
  const double rl = (r1 - rh) + dl;
  // exp(rh) - 1 - rh = rh^2 P(rh) (Estrin).
  const double r2 = rh * rh;
  const double q = r2 * ((kExpP[0] + rh * kExpP[1]) + r2 * (kExpP[2] + rh * kExpP[3]));
  // 2^(j/128) exp(r) = th + th rh + [th (q + rl) + tl (1 + rh)]; th rh rounded once.
  const double s = th * rh;
  const double hi = th + s;
  const double lo = ((th - hi) + s) + (th * (q + rl) + (tab[1] + tab[1] * rh));
  return {hi, lo, ki, static_cast<int>(kd)};
}

// 708.39 <= |x| < 745.2 and the special values.
[[gnu::noinline]] double exp_rare(double x, std::uint64_t ax) {
  if (ax > 0x7ff0000000000000ULL) return x + x;  // NaN
  if (ax < 0x3c90000000000000ULL) return 1.0;    // |x| < 2^-54: exp(x) rounds to 1
  if (ax >= 0x408749999999999aULL) return x > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  const ExpFirst f = first_step(x);
  if (static_cast<unsigned>(f.k + 130688) < 261760u) {  // m in [-1021, 1023]
    const double u1 = f.hi + (f.lo - 0x1p-60);
    const double u2 = f.hi + (f.lo + 0x1p-60);
    if (u1 == u2) return u1 * scale_of(f.ki);
    return exp_dd(x);
  }
  if (f.k < -130816) {
    // m <= -1023, a subnormal result: rounded in units of 2^-1074 by adding
    // 2^52 to (hi + lo) 2^(m+1074), with sc = 2^(m+1074) in [2^-3, 2^51]
    // built from the bits like scale_of.  hi sc is exact, so is its Fast2Sum
    // with 2^52; the error bound 2^-60 scales with sc, and 2^-50 covers the
    // roundings of w and of w -+ e.
    const std::uint64_t sbits = ((f.ki >> 7) << 52) + (std::uint64_t{2097} << 52);
    double sc;
    std::memcpy(&sc, &sbits, sizeof sc);
    const double hs = f.hi * sc;
    const double ch = 0x1p52 + hs;
    const double w = (hs - (ch - 0x1p52)) + f.lo * sc;
    const double e = sc * 0x1p-60 + 0x1p-50;
    const double u1 = ch + (w - e);
    const double u2 = ch + (w + e);
    if (u1 == u2) {
      // u1 = 2^52 + n with n <= 2^52 the result in units of 2^-1074, so the
      // result's bits are u1's less those of 2^52 (no subnormal arithmetic,
      // which is slow on some processors).
      std::uint64_t b;
      std::memcpy(&b, &u1, sizeof b);
      b -= 0x4330000000000000ULL;
      double y;
      std::memcpy(&y, &b, sizeof y);
      return y;
    }
    return exp_dd(x);
  }
  return exp_edge(x, f.hi, f.lo, (f.k - static_cast<int>(f.ki & 127)) / 128, 0x1p-59, false);
}

}  // namespace

crdetail::FirstStep crdetail::exp_first(double x) {
  const ExpFirst f = first_step(x);
  return {f.hi, f.lo, 0x1p-60, (f.k - static_cast<int>(f.ki & 127)) / 128};
}

double cr_exp(double x) {
  std::uint64_t u;
  std::memcpy(&u, &x, sizeof u);
  const std::uint64_t ax = u & 0x7fffffffffffffffULL;
  // The main path: 2^-54 <= |x| < 708.39, so m is in [-1021, 1023] and the
  // result 2^m u1 is a normal double.
  if (ax - 0x3c90000000000000ULL >= 0x4086231eb851eb85ULL - 0x3c90000000000000ULL) return exp_rare(x, ax);
  const ExpFirst f = first_step(x);
  const double u1 = f.hi + (f.lo - 0x1p-60);
  const double u2 = f.hi + (f.lo + 0x1p-60);
  if (u1 == u2) return u1 * scale_of(f.ki);
  return exp_dd(x);
}
