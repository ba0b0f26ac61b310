// Correctly rounded sin and tan (round to nearest, ties to even).
//
// Method.  Both functions reduce x to r = x - k pi/2, |r| <= pi/4 (+ a few
// ulps), and evaluate sin r / cos r, then take the quadrant k mod 4.  Three
// steps, each more precise and slower than the one before, the first two
// ending with a rounding test that hands the rare undecided arguments on.
//
// 1. First step, in plain double arithmetic (about 1 argument in 2^10.3
//    for sin, 1 in 2^9.5 for tan, goes on from here).
//    Reduction: |x| <= 0.78 is not reduced; below 2^20 the Cody-Waite
//    reduction of step 2; above, Payne and Hanek with seven 32-bit limbs of
//    2/pi, which gives the fraction of x 2/pi to 2^-138; it is read from the
//    product as three 64-bit words, the first signed (a fraction of 1/2 or
//    more becomes f - 1), and r = f pi/2 in double-double.  Since |r| >=
//    2^-62 (see step 2), r has a relative error below 2^-75.
//    Evaluation: |r| = a + hh + rl with a = i/128, |hh| <= 1/256 exact
//    (Sterbenz) and hh = h1 + h2, h1 of 26 bits (Veltkamp).  The tables hold
//    sin a, cos a, tan a and W = 1 + tan^2 a as a head of 26 bits and a
//    double tail, so that head * h1 is exact and the main term (a head plus
//    a head times h1) is an exact FastTwoSum; all else is a correction of at
//    most 2^-14 of the result, summed in double, the smallest terms first.
//      sin(a+h) = S + C h + S (cos h - 1) + C (sin h - h) + rl (C - S hh)
//      (cos likewise with {C, -S} for {S, C}), the Taylor polynomials of
//      sin h - h to h^7 and cos h - 1 to h^6 (truncation below 2^-75);
//      tan(a+h) = T + W t + W T t^2 / (1 - T t), t = tan h to h^7 (below
//      2^-69 t); for odd k, -cot r from the reciprocal of tan |r|: q = 1/hi
//      and q (1 - d + d^2 - d^3 + d^4), d = q (hi + lo) - 1, |d| < 2^-14.
//    Error bound, relative.  sin: the two largest corrections, S (cos h - 1)
//    up to 2^-16 of the result (for i = 1) and C (sin h - h) up to 2^-18.6,
//    carry at most five roundings each (2^-66.7 and 2^-69.3), the two last
//    additions 2^-68.5, the other terms, the table tails and the reduction
//    together below 2^-72: below 2^-65.5 in all.  tan: the terms of order t
//    as for sin (2^-67), W T t^2 / (1 - T t), up to 2^-15 of the result with
//    six roundings (2^-65.4), the reciprocal 2^-66.4 (roundings of q lo, d
//    and q times its correction, 2^-68 each, and d^5): below 2^-64.5.  The
//    rounding tests assume 2^-64 (sin) and 2^-63 (tan).  Checked with MPFR
//    (tests/unit/crtrig_test.cpp) on random arguments and on arguments whose
//    value lies within 2^-9 ulp of a midpoint: the largest errors seen are
//    2^-67.8 (sin) and 2^-65.8 (tan).
//
// 2. Fast step, in double-double (for what the first step hands over).
//    Reduction: |x| < pi/4 is not reduced.  |x| < 2^20 uses Cody and Waite's
//    reduction with pi/2 split in four doubles cw1 + cw2 + cw3 + cw4 (cw1 and
//    cw2 of 33 bits, so k cw1 and k cw2 are exact for k < 2^20, and x - k cw1
//    is exact by Sterbenz's lemma); its error is below 2^-100 |r| + 2^-140.
//    Larger |x| uses Payne and Hanek's reduction ("Radian reduction for
//    trigonometric functions", SIGNUM Newsletter 18, 1983) in integer
//    arithmetic: the 53-bit integer significand of x times the 256 bits of
//    2/pi that matter for its exponent, giving the fraction of x 2/pi to
//    2^-169; r = fraction * pi/2 in double-double.  A reduced argument below
//    2^-70 (Cody-Waite) or a fraction below 2^-90 (Payne-Hanek) would go to
//    the last step, but no double comes that close to a nonzero multiple
//    of pi/2: the closest lies about 2^-61 from it (Ng, "Argument reduction
//    for huge arguments: good to the last bit", 1992; Muller, "Elementary
//    Functions", ch. 11).
//    Evaluation: r = a + h with a = i/128 and |h| <= 1/256, the table of
//    sin a, cos a in double-double, and sin(a+h) = sin a cos h + cos a sin h,
//    cos(a+h) = cos a cos h - sin a sin h, with the Taylor polynomials of
//    sin h - h and cos h - 1 (|h|^2 <= 2^-16, truncation below 2^-79) in
//    double and the leading products exact (Dekker's TwoProduct).
//    Relative error of sin r and cos r: below 2^-68 (dominated by the
//    rounding of sin h - h, 2^-51 |h|^3/6 against a result of at least |h|,
//    then the roundings of the terms of order 2^-17 and the table's 2^-106);
//    tan r as a double-double quotient of the two: below 2^-67.  The
//    rounding test assumes 2^-67 and 2^-66.  The checks in
//    tests/unit/crtrig_test.cpp measure the error on random arguments and
//    find it below these bounds by a wide margin.
//    Rounding test (Ziv, "Fast evaluation of elementary mathematical
//    functions with correctly rounded last bit", ACM TOMS 17, 1991): with
//    y = yh + yl and the bound u, if yh + (yl + u) and yh + (yl - u) round to
//    the same double, that double is the correctly rounded result (rounding
//    is monotonic).  It fails for about 1 argument in 2^13.
//
// 3. Last step, in 288-bit fixed point (32-bit limbs, 64-bit products):
//    Payne-Hanek with 384 bits of 2/pi for every |x| >= pi/4 (the fraction is
//    exact to 2^-300, so r, at least 2^-62, has at least 230 correct bits),
//    the Taylor series of sin r and cos r to 2^-285, tan as their quotient
//    (64 bits and a sticky bit, which round as the exact quotient would).
//    The relative error of the value rounded is below 2^-180.  The
//    hardest cases known for sin and tan in double precision (Lefevre and
//    Muller, "Worst cases for correct rounding of the elementary functions in
//    double precision", ARITH 15, 2001) lie about 2^-120 relative from a
//    midpoint between doubles, so this step decides every one of them; it is
//    rounded from its bits with a sticky bit.  Neither sin nor tan of a
//    nonzero double is a midpoint (Lindemann), so there are no exact ties.
//
// Tiny arguments: for |x| < 2^-26, x^3/6 < ulp(x)/3 (and below half the
// lower ulp when x is a power of two), so sin x rounds to x; for |x| < 2^-27
// tan x = x + x^3/3 + ... rounds to x.  Signed zeros and subnormals follow.
// sin/tan(+-inf) and NaN give NaN.
//
// The constants are in crtrig_tables.h, generated by
// tests/tools/crtrig_tables.py with mpmath; the test checks the digits of
// 2/pi and pi/2 against MPFR.
#include "crmath.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "crtrig_tables.h"
#include "ddouble.h"

namespace {

using dd::DD;
using std::uint32_t;
using std::uint64_t;
namespace T = crtrig_tables;

inline uint64_t bits_of(double x) {
  uint64_t u;
  std::memcpy(&u, &x, sizeof u);
  return u;
}

inline double from_bits(uint64_t u) {
  double x;
  std::memcpy(&x, &u, sizeof x);
  return x;
}

// 2^e for -1022 <= e <= 1023.
inline double pow2(int e) { return from_bits(static_cast<uint64_t>(e + 1023) << 52); }

// ---- Payne-Hanek reduction in integer arithmetic ----------------------------

// The fraction of |x| 2/pi, |x| >= 2^-60: returns k = round(|x| 2/pi) mod 4 and
// writes |x| 2/pi - k (in [-1/2, 1/2]) as sign and magnitude, the magnitude
// in nf 32-bit limbs (f = sum frac[i] 2^(-32 (i+1))).  nlimbs limbs of 2/pi
// are used past those that only add multiples of 4; the fraction is exact to
// 2^(53 - 32 nlimbs - 2).
int payne_hanek(double ax, int nlimbs, uint32_t* frac, int nf, bool* negative) {
  const uint64_t u = bits_of(ax);
  const int be = static_cast<int>(u >> 52);
  uint64_t m = u & ((uint64_t{1} << 52) - 1);
  int e;
  if (be == 0) {
    e = -1074;
  } else {
    m |= uint64_t{1} << 52;
    e = be - 1075;
  }
  // |x| = m 2^e.  Limbs of 2/pi before index s give m 2^e 2^(-32 s) multiples
  // of 4 when e - 32 s >= 2.
  int s = e >= 2 ? (e - 2) / 32 : 0;
  // P = m * W, W = two_over_pi[s .. s+nlimbs-1]; x 2/pi = P 2^(e - 32 (s + nlimbs)) (mod 4).
  uint32_t P[24] = {0};  // P[0] least significant
  const int np = nlimbs + 2;
  const uint32_t m0 = static_cast<uint32_t>(m), m1 = static_cast<uint32_t>(m >> 32);
  for (int j = 0; j < nlimbs; ++j) {
    const uint64_t w = T::two_over_pi[s + nlimbs - 1 - j];  // j-th least significant
    uint64_t c = 0;
    uint64_t t = static_cast<uint64_t>(P[j]) + w * m0;
    P[j] = static_cast<uint32_t>(t);
    c = t >> 32;
    t = static_cast<uint64_t>(P[j + 1]) + w * m1 + c;
    P[j + 1] = static_cast<uint32_t>(t);
    c = t >> 32;
    for (int q = j + 2; c && q < np; ++q) {
      t = static_cast<uint64_t>(P[q]) + c;
      P[q] = static_cast<uint32_t>(t);
      c = t >> 32;
    }
  }
  // Fraction bits: sh = 32 (s + nlimbs) - e bits below the binary point of P.
  const int sh = 32 * (s + nlimbs) - e;
  auto bit_at = [&](int pos) -> uint32_t {  // bit of weight 2^pos of P (pos >= 0)
    if (pos < 0 || pos >= 32 * np) return 0;
    return (P[pos >> 5] >> (pos & 31)) & 1u;
  };
  const int k = static_cast<int>(bit_at(sh) | (bit_at(sh + 1) << 1));
  const bool half = bit_at(sh - 1) != 0;
  // Extract nf limbs of fraction starting at bit sh-1 downward.
  auto get32 = [&](int top) -> uint32_t {  // bits top .. top-31 of P
    const int low = top - 31;
    auto limb = [&](int q) -> uint64_t { return q >= 0 && q < np ? P[q] : 0; };
    const int q = low >= 0 ? low >> 5 : -((31 - low) >> 5);  // floor(low / 32)
    const int off = low - 32 * q;
    const uint64_t two = limb(q) | (limb(q + 1) << 32);
    return static_cast<uint32_t>(two >> off);
  };
  for (int i = 0; i < nf; ++i) frac[i] = get32(sh - 1 - 32 * i);
  *negative = half;
  if (half) {  // f - 1: magnitude 2^0 - f (two's complement of the limbs)
    uint64_t c = 1;
    for (int i = nf - 1; i >= 0; --i) {
      const uint64_t t = static_cast<uint64_t>(static_cast<uint32_t>(~frac[i])) + c;
      frac[i] = static_cast<uint32_t>(t);
      c = t >> 32;
    }
    return (k + 1) & 3;
  }
  return k;
}

// Cody-Waite reduction for |x| < 2^20: r = x - k pi/2 as a double-double,
// with pi/2 in four parts (cw1..cw4) and k the nearest integer to x 2/pi;
// *k receives k mod 4.
inline DD cody_waite(double x, int* k) {
  const double shifter = 0x1.8p52;
  const double kd = (x * T::two_over_pi_d + shifter) - shifter;
  const double r1 = x - kd * T::cw1;  // exact
  const DD s = dd::two_sum(r1, -(kd * T::cw2));
  // kd * cw3 exactly: kd has at most 20 bits, so with cw3 split in halves
  // of 26 bits (Veltkamp) both partial products are exact.
  const DD c3 = dd::split(T::cw3);
  const double ph = kd * T::cw3;
  const DD p = {ph, (kd * c3.hi - ph) + kd * c3.lo};
  const DD t = dd::two_sum(s.hi, -p.hi);
  const double lo = ((s.lo - p.lo) + t.lo) - kd * T::cw4;
  *k = static_cast<int>(static_cast<int64_t>(kd) & 3);
  return dd::fast_two_sum(t.hi, lo);
}

// ---- Fast step ---------------------------------------------------------------

struct Reduced {
  int k;     // quadrant, mod 4
  DD r;      // x - k pi/2
  bool ok;   // false: hand over to the last step
};

Reduced reduce_fast_large(double x);

inline Reduced reduce_fast(double x) {
  const double ax = x < 0 ? -x : x;
  if (ax <= 0.78) return {0, {x, 0.0}, true};
  if (ax < 0x1p20) {
    int k;
    const DD r = cody_waite(x, &k);
    const double ar = r.hi < 0 ? -r.hi : r.hi;
    return {k, r, ar >= 0x1p-70};
  }
  return reduce_fast_large(x);
}

// |x| >= 2^20.
Reduced reduce_fast_large(double x) {
  const double ax = x < 0 ? -x : x;
  uint32_t f[8];
  bool neg;
  int k = payne_hanek(ax, 8, f, 8, &neg);
  // Normalise: the first nonzero bit of f (no double has a fraction below
  // 2^-63, so lead <= 90 always holds; the test is a safeguard).
  int w = 0;
  while (w < 3 && f[w] == 0) ++w;
  if (f[w] == 0) return {0, {0, 0}, false};
  int lead = 32 * w;
  for (uint32_t t = f[w]; !(t & 0x80000000u); t <<= 1) ++lead;
  if (lead > 90) return {0, {0, 0}, false};
  auto take = [&](int from, int n) -> uint64_t {  // bits [from, from + n) of f, n <= 53
    const int q = from >> 5, off = from & 31;
    const uint64_t top = (static_cast<uint64_t>(f[q]) << 32) | f[q + 1];
    const uint64_t v = (top << off) | (off ? static_cast<uint64_t>(f[q + 2]) >> (32 - off) : 0);
    return v >> (64 - n);
  };
  const double fh = static_cast<double>(take(lead, 53)) * pow2(-lead - 53);
  const double fl = static_cast<double>(take(lead + 53, 53)) * pow2(-lead - 106);
  DD r = dd::mul(dd::fast_two_sum(fh, fl), DD{T::pio2_hi, T::pio2_lo});
  if (neg) r = {-r.hi, -r.lo};
  if (x < 0) {
    r = {-r.hi, -r.lo};
    k = (4 - k) & 3;
  }
  return {k, r, true};
}

// ---- Reduction of the first step -------------------------------------------

inline int leading_zeros64(uint64_t v) {  // v != 0
#if defined(__GNUC__)
  return __builtin_clzll(v);
#else
  int n = 0;
  while (!(v >> 63)) v <<= 1, ++n;
  return n;
#endif
}

// Payne-Hanek for |x| >= 2^20 with seven 32-bit limbs of 2/pi: m 2^e 2/pi
// mod 4 is P 2^-sh, P = m W (W the limbs from index s), with an error below
// m 2^(e - 32 (s + 7)) < 2^(86 - 224) = 2^-138.  The fraction is read from
// P as three 64-bit words, the first signed, so that a fraction of 1/2 or
// more becomes f - 1 with k + 1.  |f| below 2^-64 (which no double reaches,
// see the header) hands over.  r = f pi/2 in double-double, relative error
// below 2^-100 plus 2^-138 / |f| < 2^-75.
bool reduce_large(double x, Reduced* out) {
  const uint64_t u = bits_of(x) & ~(uint64_t{1} << 63);
  const uint64_t m = (u & ((uint64_t{1} << 52) - 1)) | (uint64_t{1} << 52);
  const int e = static_cast<int>(u >> 52) - 1075;  // |x| = m 2^e, e >= -32
  const int s = e >= 2 ? (e - 2) / 32 : 0;
  const uint32_t* w = T::two_over_pi + s;  // w[6] least significant
  const uint64_t m0 = static_cast<uint32_t>(m), m1 = m >> 32;
  // Q[1 .. 9] = P (Q[1] least significant), Q[0] = Q[10] = Q[11] = 0; the
  // rows m0 W and m1 W 2^32 are summed as they are formed.
  uint32_t Q[12];
  Q[0] = Q[10] = Q[11] = 0;
  uint64_t ca = 0, cb = 0, c = 0;
  uint32_t prev_b = 0;
#if defined(__GNUC__)
#pragma GCC unroll 7
#endif
  for (int j = 0; j < 7; ++j) {
    const uint64_t wj = w[6 - j];
    const uint64_t ta = wj * m0 + ca;
    const uint64_t tb = wj * m1 + cb;
    ca = ta >> 32;
    cb = tb >> 32;
    const uint64_t t = static_cast<uint64_t>(static_cast<uint32_t>(ta)) + prev_b + c;
    Q[1 + j] = static_cast<uint32_t>(t);
    c = t >> 32;
    prev_b = static_cast<uint32_t>(tb);
  }
  const uint64_t t = ca + prev_b + c;
  Q[8] = static_cast<uint32_t>(t);
  Q[9] = static_cast<uint32_t>(cb + (t >> 32));
  // 2^0 is bit sh = 32 (s + 7) - e + 32 of Q, in [223, 288].  The words of
  // bits [2^-192, 2^-129], [2^-128, 2^-65], [2^-64, 2^-1] and the two bits
  // of 2^0, 2^1 share one offset within their pairs of limbs.
  const int base = 32 * (s + 7) - e + 32 - 192;
  const int q = base >> 5, o = base & 31;
  auto pair = [&](int i) { return Q[q + i] | (static_cast<uint64_t>(Q[q + i + 1]) << 32); };
  const uint64_t l0 = pair(0), l1 = pair(2), l2 = pair(4), l3 = pair(6);
  // (v << (64 - o)) without the undefined shift by 64 when o = 0
  auto up = [&](uint64_t v) { return (v << (63 - o)) << 1; };
  uint64_t cw = (l0 >> o) | up(l1), b = (l1 >> o) | up(l2), a = (l2 >> o) | up(l3);
  int k = static_cast<int>((l3 >> o) & 3);
  const bool neg = (a >> 63) != 0;
  if (neg) {  // |f| = 1 - F: two's complement of the 192 bits
    cw = ~cw + 1;
    const uint64_t c1 = cw == 0;
    b = ~b + c1;
    a = ~a + (c1 & (b == 0));
    k = (k + 1) & 3;
  }
  if (a == 0) return false;
  const int lead = leading_zeros64(a);
  const uint64_t n2 = lead ? (a << lead) | (b >> (64 - lead)) : a;
  const uint64_t n1 = lead ? (b << lead) | (cw >> (64 - lead)) : b;
  const double fh = static_cast<double>(static_cast<int64_t>(n2 >> 11)) * pow2(-53 - lead);
  const double fl = static_cast<double>(static_cast<int64_t>(((n2 & 0x7ff) << 42) | (n1 >> 22))) * pow2(-106 - lead);
  DD r = dd::mul(dd::fast_two_sum(fh, fl), DD{T::pio2_hi, T::pio2_lo});
  if (neg != (x < 0)) r = {-r.hi, -r.lo};
  if (x < 0) k = (4 - k) & 3;
  *out = {k, r, true};
  return true;
}

// The reduction of the first step: x itself up to 0.78, below 2^20 the
// Cody-Waite reduction of the double-double step (the same operations, kept
// in registers), above the seven-limb Payne-Hanek.  False: hand over.
inline bool reduce_first(double x, double ax, int* k, DD* r) {
  if (ax <= 0.78) {
    *k = 0;
    *r = {x, 0.0};
    return true;
  }
  if (ax < 0x1p20) {
    *r = cody_waite(x, k);
    return std::fabs(r->hi) >= 0x1p-70;
  }
  Reduced rd;
  if (!reduce_large(x, &rd)) return false;
  *k = rd.k;
  *r = rd.r;
  return true;
}

// Dekker's product a * b with the Veltkamp splits of a and b given.
inline DD two_prod_split(double a, DD sa, double b, DD sb) {
  const double p = a * b;
  return {p, ((sa.hi * sb.hi - p) + sa.hi * sb.lo + sa.lo * sb.hi) + sa.lo * sb.lo};
}

// sin r and cos r for |r| <= 0.8, r = rh + rl; results in double-double.
template <bool want_s, bool want_c>
inline void sincos_dd(DD r, DD* s, DD* c) {
  const bool neg = r.hi < 0;
  const double rh = neg ? -r.hi : r.hi, rl = neg ? -r.lo : r.lo;
  // i = round(128 rh) by the 1.5 2^52 shifter (ties either way are fine).
  const double t = rh * 128.0 + 0x1.8p52;
  const double ai = (t - 0x1.8p52) * 0.0078125;  // i / 128
  const double* tb = T::sincos_table[static_cast<uint32_t>(bits_of(t))];
  const double hh = rh - ai;  // exact (Sterbenz)
  const double hl = rl;
  const DD shh = dd::split(hh);
  const DD h2 = two_prod_split(hh, shh, hh, shh);
  const double z = h2.hi;
  // sin h - h - hl (for h = hh + hl; the terms left out are below 2^-82 |h|)
  const double sin_t = hh * z * (-0x1.5555555555555p-3 + z * (0x1.1111111111111p-7 + z * -0x1.a01a01a01a01ap-13));
  // cos h - 1 + z/2, z = hh^2 rounded (terms left out below 2^-79)
  const double cos_t = (-0.5 * h2.lo - hh * hl) +
                       z * z * (0x1.5555555555555p-5 + z * -0x1.6c16c16c16c17p-10);
  const double cos_m = -0.5 * z;  // exact
  const double sah = tb[0], sal = tb[1], cah = tb[2], cal = tb[3];
  const DD ssa = dd::split(sah), sca = dd::split(cah), scm = dd::split(cos_m);
  if constexpr (want_s) {
    // sin a + sin a (cos h - 1) + cos a sin h
    const DD p = two_prod_split(cah, sca, hh, shh);
    const DD q = two_prod_split(sah, ssa, cos_m, scm);
    const DD u = dd::two_sum(sah, p.hi);
    const DD v = dd::two_sum(u.hi, q.hi);
    const double lo = u.lo + v.lo + p.lo + q.lo + sal + sah * cos_t + cal * hh + cah * (hl + sin_t);
    DD y = dd::fast_two_sum(v.hi, lo);
    if (neg) y = {-y.hi, -y.lo};
    *s = y;
  }
  if constexpr (want_c) {
    // cos a + cos a (cos h - 1) - sin a sin h
    const DD p = two_prod_split(sah, ssa, -hh, {-shh.hi, -shh.lo});
    const DD q = two_prod_split(cah, sca, cos_m, scm);
    const DD u = dd::two_sum(cah, p.hi);
    const DD v = dd::two_sum(u.hi, q.hi);
    const double lo = u.lo + v.lo + p.lo + q.lo + cal + cah * cos_t - sal * hh - sah * (hl + sin_t);
    *c = dd::fast_two_sum(v.hi, lo);
  }
}

// Ziv's test: the rounding of y is decided if y +- eps |y| round alike.
inline bool rounds_to(DD y, double eps, double* out) {
  const double ay = y.hi < 0 ? -y.hi : y.hi;
  const double e = eps * ay;
  const double a = y.hi + (y.lo + e), b = y.hi + (y.lo - e);
  if (a != b) return false;
  *out = a;
  return true;
}

// ---- Last step: fixed point -------------------------------------------------

constexpr int L = 10;  // limbs: a[0] integer part, a[1..9] fraction (288 bits)

struct Fix {
  uint32_t a[L];
};

Fix fix_zero() {
  Fix z;
  for (auto& v : z.a) v = 0;
  return z;
}

Fix fix_add(const Fix& x, const Fix& y) {
  Fix z;
  uint64_t c = 0;
  for (int i = L - 1; i >= 0; --i) {
    const uint64_t t = static_cast<uint64_t>(x.a[i]) + y.a[i] + c;
    z.a[i] = static_cast<uint32_t>(t);
    c = t >> 32;
  }
  return z;
}

Fix fix_sub(const Fix& x, const Fix& y) {  // x >= y
  Fix z;
  int64_t b = 0;
  for (int i = L - 1; i >= 0; --i) {
    int64_t t = static_cast<int64_t>(x.a[i]) - y.a[i] - b;
    b = t < 0;
    if (t < 0) t += int64_t{1} << 32;
    z.a[i] = static_cast<uint32_t>(t);
  }
  return z;
}

bool fix_less(const Fix& x, const Fix& y) {
  for (int i = 0; i < L; ++i)
    if (x.a[i] != y.a[i]) return x.a[i] < y.a[i];
  return false;
}

bool fix_is_zero(const Fix& x) {
  for (int i = 0; i < L; ++i)
    if (x.a[i]) return false;
  return true;
}

// Product truncated to 2^-288 (error below 2^-284 for operands below 2).
Fix fix_mul(const Fix& x, const Fix& y) {
  uint32_t acc[2 * L] = {0};  // acc[n]: weight 2^(-32 n)
  for (int i = 0; i < L; ++i) {
    if (!x.a[i]) continue;
    uint64_t c = 0;
    for (int j = L - 1; j >= 0; --j) {
      const int n = i + j;
      const uint64_t t = static_cast<uint64_t>(x.a[i]) * y.a[j] + acc[n] + c;
      acc[n] = static_cast<uint32_t>(t);
      c = t >> 32;
    }
    for (int n = i - 1; c && n >= 0; --n) {
      const uint64_t t = static_cast<uint64_t>(acc[n]) + c;
      acc[n] = static_cast<uint32_t>(t);
      c = t >> 32;
    }
  }
  Fix z;
  for (int i = 0; i < L; ++i) z.a[i] = acc[i];
  return z;
}

Fix fix_div_small(const Fix& x, uint32_t d) {
  Fix z;
  uint64_t r = 0;
  for (int i = 0; i < L; ++i) {
    const uint64_t t = (r << 32) | x.a[i];
    z.a[i] = static_cast<uint32_t>(t / d);
    r = t % d;
  }
  return z;
}

// The double nearest to (sign) v 2^scale, v > 0, from its bits with a sticky
// bit (v has error far below the rounding distance, see the header).
double fix_round(const Fix& v, int scale, bool negative) {
  int lead = 0;
  while (lead < 32 * L && !((v.a[lead >> 5] >> (31 - (lead & 31))) & 1u)) ++lead;
  auto bit = [&](int b) -> uint64_t { return b < 32 * L ? (v.a[b >> 5] >> (31 - (b & 31))) & 1u : 0; };
  uint64_t m = 0;
  for (int b = lead; b < lead + 53; ++b) m = (m << 1) | bit(b);
  const uint64_t rb = bit(lead + 53);
  bool sticky = false;
  for (int b = lead + 54; b < 32 * L; ++b)
    if (bit(b)) {
      sticky = true;
      break;
    }
  if (rb && (sticky || (m & 1))) ++m;  // m may become 2^53: still exact below
  // value = m 2^(31 - lead - 52 + scale) (bit 31 of limb 0 has weight 2^31)
  const int e = 31 - lead - 52 + scale;
  double y = static_cast<double>(m);
  // e stays within [-200, 200] here; apply in two exact steps.
  const int e1 = e / 2, e2 = e - e1;
  y = y * pow2(e1) * pow2(e2);
  return negative ? -y : y;
}

// sin and cos of r in [0, 0.8] (fixed point), Taylor series.
void fix_sincos(const Fix& r, Fix* s, Fix* c) {
  const Fix r2 = fix_mul(r, r);
  Fix term = r, sum_s = r;
  bool sub = true;
  for (uint32_t n = 2; n < 80; n += 2) {  // term = r^(n+1)/(n+1)!
    term = fix_div_small(fix_mul(term, r2), n * (n + 1));
    if (fix_is_zero(term)) break;
    sum_s = sub ? fix_sub(sum_s, term) : fix_add(sum_s, term);
    sub = !sub;
  }
  Fix one = fix_zero();
  one.a[0] = 1;
  term = one;
  Fix sum_c = one;
  sub = true;
  for (uint32_t n = 1; n < 80; n += 2) {  // term = r^(n+1)/(n+1)!
    term = fix_div_small(fix_mul(term, r2), n * (n + 1));
    if (fix_is_zero(term)) break;
    sum_c = sub ? fix_sub(sum_c, term) : fix_add(sum_c, term);
    sub = !sub;
  }
  *s = sum_s;
  *c = sum_c;
}

// Shift left so that the leading bit is bit 31 of limb 1 (value in [1/2, 1)
// as a fraction); returns the shift (value = shifted 2^-shift).
int fix_normalise(Fix* v) {
  int lead = 0;
  while (lead < 32 * L && !((v->a[lead >> 5] >> (31 - (lead & 31))) & 1u)) ++lead;
  const int shift = lead - 32;  // bring to bit index 32
  // Bit b of the result is bit b + shift of v (bit 0 the top of limb 0),
  // zero outside v; a limb at a time.
  auto limb = [&](int j) -> uint64_t { return j >= 0 && j < L ? v->a[j] : 0; };
  Fix z;
  for (int i = 0; i < L; ++i) {
    const int from = 32 * i + shift;
    const int j = from >= 0 ? from >> 5 : -((31 - from) >> 5);  // floor(from / 32)
    const int off = from - 32 * j;
    z.a[i] = static_cast<uint32_t>(((limb(j) << 32 | limb(j + 1)) << off) >> 32);
  }
  *v = z;
  return shift;
}

// a / b correctly rounded (sign given), a, b > 0.
double fix_quotient(Fix a, Fix b, bool negative) {
  const int sa = fix_normalise(&a), sb = fix_normalise(&b);
  // a/b in (1/2, 2): restoring division, placed from bit 31 of limb 0 (the
  // bit of weight 2^0) downward.  Rounding reads only the 53 bits from the
  // leading one (bit 0 or 1), the next bit and whether anything below is
  // nonzero, so 64 quotient bits and the remainder's sticky bit round
  // exactly as the whole quotient of a and b would.
  Fix q = fix_zero();
  Fix rem = a;
  for (int i = 0; i < 64; ++i) {
    if (!fix_less(rem, b)) {
      rem = fix_sub(rem, b);
      q.a[i >> 5] |= 1u << (31 - (i & 31));
    }
    rem = fix_add(rem, rem);
  }
  if (!fix_is_zero(rem)) q.a[L - 1] |= 1u;  // sticky
  // a_orig / b_orig = (a/b) 2^(sb - sa); bit 31 of limb 0 stands for 2^0.
  return fix_round(q, -31 + sb - sa, negative);
}

// Bits [from, from + n) of the big-endian limbs f (nf of them), n <= 64.
inline uint64_t take_bits(const uint32_t* f, int nf, int from, int n) {
  uint64_t v = 0;
  for (int b = from; b < from + n; ++b) {
    const uint64_t bit = (b >> 5) < nf ? (f[b >> 5] >> (31 - (b & 31))) & 1u : 0;
    v = (v << 1) | bit;
  }
  return v;
}

double slow_path(double x, bool tangent) {
  const double ax = x < 0 ? -x : x;
  Fix r = fix_zero();
  int k = 0;
  bool rneg = x < 0;
  if (ax < 0.78) {  // r = |x| exactly; |x| >= 2^-27 here
    const uint64_t u = bits_of(ax);
    const uint64_t m = (u & ((uint64_t{1} << 52) - 1)) | (uint64_t{1} << 52);
    const int e = static_cast<int>(u >> 52) - 1075;  // ax = m 2^e
    for (int j = 0; j < 53; ++j) {
      if (!((m >> j) & 1u)) continue;
      const int b = 31 - (e + j);  // bit index from the top (b = 31: 2^0)
      r.a[b >> 5] |= 1u << (31 - (b & 31));
    }
  } else {
    uint32_t f[L - 1];
    bool neg;
    k = payne_hanek(ax, 12, f, L - 1, &neg);
    Fix F = fix_zero(), pio2 = fix_zero();
    pio2.a[0] = 1;
    for (int i = 1; i < L; ++i) {
      F.a[i] = f[i - 1];
      pio2.a[i] = T::pio2_frac[i - 1];
    }
    r = fix_mul(F, pio2);
    rneg = neg;
    if (x < 0) {
      rneg = !rneg;
      k = (4 - k) & 3;
    }
  }
  Fix s, c;
  fix_sincos(r, &s, &c);
  if (tangent) {
    if (k & 1) return fix_quotient(c, s, !rneg);  // -cos r / sin r
    return fix_quotient(s, c, rneg);
  }
  if (k & 1) return fix_round(c, 0, (k & 2) != 0);  // +-cos r
  return fix_round(s, 0, ((k & 2) != 0) != rneg);      // +-sin r
}

// tan r (k even) or -1/tan r (k odd) as the double-double quotient of the
// fast step's sin r and cos r.
DD tan_dd(const Reduced& rd) {
  DD s, c;
  sincos_dd<true, true>(rd.r, &s, &c);
  DD n = s, d = c;
  if (rd.k & 1) {
    n = {-c.hi, -c.lo};
    d = s;
  }
  const double qh = n.hi / d.hi;
  const DD p = dd::two_prod(qh, d.hi);
  const double ql = (((n.hi - p.hi) - p.lo) + (n.lo - qh * d.lo)) / d.hi;
  return {qh, ql};
}

// ---- First step: plain double ------------------------------------------------

// The reduced argument r = rh + rl as |r| = a + hh + rl, a = i/128 (i =
// round(128 |rh|)), |hh| <= 1/256 exact (Sterbenz), and the parts of hh.
struct Split {
  const double* row;  // table row i
  double hh, rl;      // hh = |rh| - a, rl with the sign of |r|
  double h1, h2;      // hh = h1 + h2, h1 of 26 bits (Veltkamp)
  double z;           // hh^2 rounded
  bool neg;           // r < 0
};

inline Split split_reduced(DD r, const double (*table)[6]) {
  Split s;
  const uint64_t sign = bits_of(r.hi) & (uint64_t{1} << 63);
  s.neg = sign != 0;
  const double rh = std::fabs(r.hi);
  s.rl = from_bits(bits_of(r.lo) ^ sign);
  const double t = rh * 128.0 + 0x1.8p52;
  s.row = table[static_cast<uint32_t>(bits_of(t))];
  s.hh = rh - (t - 0x1.8p52) * 0.0078125;
  const double c = 134217729.0 * s.hh;  // 2^27 + 1
  s.h1 = c - (c - s.hh);
  s.h2 = s.hh - s.h1;
  s.z = s.hh * s.hh;
  return s;
}

// sin r (k even) or cos r (k odd) of |r| as hi + lo, hi > 0.  With the row
// {A, Al, B, Bl} = {S, Sl, C, Cl} or {C, Cl, -S, -Sl} (S, C = sin a, cos a),
//   sin or cos (a + h) = A + B h + A (cos h - 1) + B (sin h - h)
//                        + rl (B - A hh) + O(hh rl^2 ... )
// where h = hh + rl; B h1 is exact and A + B h1 a FastTwoSum (|B h1| <= |A|
// or A = 0).  The small terms are summed first, the two largest (of order
// 2^-17 and 2^-19 of the result) last.
inline DD sin_first(const Split& s, int k) {
  const double* tb = s.row + 2 * (k & 1);
  const double z = s.z, hh = s.hh;
  const double ps = z * (-0x1.5555555555555p-3 + z * (0x1.1111111111111p-7 + z * -0x1.a01a01a01a01ap-13));
  const double pc = z * (-0.5 + z * (0x1.5555555555555p-5 + z * -0x1.6c16c16c16c17p-10));
  const double a = tb[0] + tb[1], b = tb[2] + tb[3];  // A and B to 2^-53
  const double p = tb[2] * s.h1;  // exact
  const double hi = tb[0] + p;
  const double small = ((((tb[0] - hi) + p) + tb[1]) + (tb[2] * s.h2 + tb[3] * hh)) + s.rl * (b - a * hh);
  const double lo = (small + b * hh * ps) + a * pc;
  return {hi, lo};
}

// tan |r| as hi + lo, hi > 0, from the addition formula with t = tan h:
//   tan(a + h) = T + W t + W T t^2 / (1 - T t),  W = 1 + T^2,
//   t = hh + rl + hh z (1/3 + z (2/15 + z 17/315)) (terms left out below
//   2^-69 t).  W h1 is exact; the last term, at most 2^-15 of the result,
// is needed only to about 2^-50 of itself.
inline DD tan_first(const Split& s) {
  const double* tb = s.row;
  const double z = s.z, hh = s.hh;
  const double dt = s.rl + hh * z * (0x1.5555555555555p-2 + z * (0x1.1111111111111p-3 + z * 0x1.ba1ba1ba1ba1cp-5));
  const double td = hh + dt;
  const double p = tb[2] * s.h1;  // exact
  const double hi = tb[0] + p;
  const double small = ((((tb[0] - hi) + p) + tb[1]) + (tb[2] * s.h2 + tb[3] * hh)) + (tb[2] + tb[3]) * dt;
  const double lo = small + tb[5] * td * td / (1.0 - tb[4] * td);
  return {hi, lo};
}

// 1 / (hi + lo) as a double-double (hi > 0, |lo| < 2^-14 hi).  q = 1/hi
// is formed from hi alone, so the division overlaps the work on lo; with
// e0 = q hi - 1 exact (Dekker's TwoProduct, q hi - 1 by Sterbenz's lemma)
// and d = e0 + q lo (= (q (hi + lo) - 1) up to 2^-68),
//   1 / (hi + lo) = q / (1 + d) = q (1 - d + d^2 - d^3 + d^4),
// |d| < 2^-14, so d^5 < 2^-70 is left out; the roundings of q lo, of d and
// of q times the correction add up to 2^-66.4 relative.
inline DD recip(DD y) {
  const double q = 1.0 / y.hi;
  const DD p = dd::two_prod(q, y.hi);
  const double e0 = (p.hi - 1.0) + p.lo;
  const double d = e0 + q * y.lo;
  const double d2 = d * d;
  return {q, q * (d2 * ((1.0 - d) + d2) - d)};
}

// Ziv's test for y > 0 with the absolute bound e (see rounds_to).
inline bool decided(DD y, double e, double* out) {
  const double a = y.hi + (y.lo + e), b = y.hi + (y.lo - e);
  *out = a;
  return a == b;
}

inline double with_sign(double y, bool negative) {
  return from_bits(bits_of(y) ^ (static_cast<uint64_t>(negative) << 63));
}

constexpr double eps_sin1 = 0x1p-64;  // the first step's bounds, with margin
constexpr double eps_tan1 = 0x1p-63;

constexpr double eps_sin = 0x1p-67;  // relative bounds of the fast step, with margin
constexpr double eps_tan = 0x1p-66;

}  // namespace

double cr_sin(double x) {
  const double ax = std::fabs(x);
  if (!(ax <= 0x1.fffffffffffffp1023)) return x - x;  // NaN, +-inf
  if (ax < 0x1p-26) return x;                          // sin x rounds to x (zeros, subnormals)
  int k1;
  DD r1;
  if (reduce_first(x, ax, &k1, &r1)) {
    const Split sp = split_reduced(r1, T::sc26_table);
    const DD y1 = sin_first(sp, k1);
    double out;
    if (decided(y1, eps_sin1 * y1.hi, &out)) return with_sign(out, ((k1 >> 1) ^ (sp.neg & ~k1)) & 1);
  }
  const Reduced rd = reduce_fast(x);
  if (rd.ok) {
    double out;
    DD s, c;
    const bool odd = (rd.k & 1) != 0;
    DD y;
    if (odd) {
      sincos_dd<false, true>(rd.r, &s, &c);
      y = c;
    } else {
      sincos_dd<true, false>(rd.r, &s, &c);
      y = s;
    }
    if (rd.k & 2) y = {-y.hi, -y.lo};
    if (rounds_to(y, eps_sin, &out)) return out;
  }
  return slow_path(x, false);
}

double cr_tan(double x) {
  const double ax = std::fabs(x);
  if (!(ax <= 0x1.fffffffffffffp1023)) return x - x;  // NaN, +-inf
  if (ax < 0x1p-27) return x;                          // tan x rounds to x
  int k1;
  DD r1;
  if (reduce_first(x, ax, &k1, &r1)) {
    const Split sp = split_reduced(r1, T::tan26_table);
    DD y1 = tan_first(sp);
    if (k1 & 1) y1 = recip(y1);  // -cot r
    double out;
    if (decided(y1, eps_tan1 * y1.hi, &out)) return with_sign(out, sp.neg != ((k1 & 1) != 0));
  }
  const Reduced rd = reduce_fast(x);
  if (rd.ok) {
    double out;
    if (rounds_to(tan_dd(rd), eps_tan, &out)) return out;
  }
  return slow_path(x, true);
}

// Test hooks: the last step alone, and the fast step's double-double value
// (false when it hands over), so the tests can check each on its own.
namespace crtrig_detail {

double slow_sin(double x) { return slow_path(x, false); }
double slow_tan(double x) { return slow_path(x, true); }

bool fast_sin(double x, double* hi, double* lo) {
  const Reduced rd = reduce_fast(x);
  if (!rd.ok) return false;
  DD s, c;
  sincos_dd<true, true>(rd.r, &s, &c);
  DD y = (rd.k & 1) ? c : s;
  if (rd.k & 2) y = {-y.hi, -y.lo};
  *hi = y.hi;
  *lo = y.lo;
  return true;
}

bool fast_tan(double x, double* hi, double* lo) {
  const Reduced rd = reduce_fast(x);
  if (!rd.ok) return false;
  const DD y = tan_dd(rd);
  *hi = y.hi;
  *lo = y.lo;
  return true;
}

// The first step's value with its sign (false when the reduction hands over).
bool first_sin(double x, double* hi, double* lo) {
  Reduced rd;
  if (!reduce_first(x, std::fabs(x), &rd.k, &rd.r)) return false;
  const Split sp = split_reduced(rd.r, T::sc26_table);
  const DD y = sin_first(sp, rd.k);
  const bool negative = ((rd.k >> 1) ^ (sp.neg & ~rd.k)) & 1;
  *hi = negative ? -y.hi : y.hi;
  *lo = negative ? -y.lo : y.lo;
  return true;
}

bool first_tan(double x, double* hi, double* lo) {
  Reduced rd;
  if (!reduce_first(x, std::fabs(x), &rd.k, &rd.r)) return false;
  const Split sp = split_reduced(rd.r, T::tan26_table);
  DD y = tan_first(sp);
  if (rd.k & 1) y = recip(y);
  const bool negative = sp.neg != ((rd.k & 1) != 0);
  *hi = negative ? -y.hi : y.hi;
  *lo = negative ? -y.lo : y.lo;
  return true;
}

}  // namespace crtrig_detail
