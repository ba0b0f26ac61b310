// Exact fixed-point arithmetic for the accurate step of cr_log and cr_exp.
//
// A value is a 256-bit two's-complement integer N in four 64-bit limbs
// (least significant first) standing for N / 2^240, so |value| < 2^15 with
// a resolution of 2^-240.  Addition is exact; multiplication and division
// by a small integer truncate, each with an error below 2^-240.  Only
// integer operations are used, so the results are the same on every
// platform and compiler.  The final rounding to a double (round to nearest,
// ties to even, with gradual underflow and overflow to infinity) is exact
// integer work too.
#pragma once

#include <cstdint>
#include <cstring>
#include <limits>

namespace crfx {

#include "crfixed_consts.inc"

struct Fx {
  std::uint64_t w[4];
};

inline bool is_neg(const Fx& a) { return (a.w[3] >> 63) != 0; }

inline Fx add(const Fx& a, const Fx& b) {
  Fx r;
  std::uint64_t carry = 0;
  for (int i = 0; i < 4; ++i) {
    const std::uint64_t s = a.w[i] + carry;
    const std::uint64_t c1 = s < carry;
    r.w[i] = s + b.w[i];
    carry = c1 + (r.w[i] < s);
  }
  return r;
}

inline Fx neg(const Fx& a) {
  Fx r;
  std::uint64_t carry = 1;
  for (int i = 0; i < 4; ++i) {
    r.w[i] = ~a.w[i] + carry;
    carry = (carry && r.w[i] == 0) ? 1 : 0;
  }
  return r;
}

inline Fx sub(const Fx& a, const Fx& b) { return add(a, neg(b)); }
inline Fx abs(const Fx& a) { return is_neg(a) ? neg(a) : a; }

// hi * 2^64 + lo == a * b.
inline void mul64(std::uint64_t a, std::uint64_t b, std::uint64_t& hi, std::uint64_t& lo) {
#if defined(__SIZEOF_INT128__)
  __extension__ typedef unsigned __int128 u128;
  const u128 p = static_cast<u128>(a) * b;
  hi = static_cast<std::uint64_t>(p >> 64);
  lo = static_cast<std::uint64_t>(p);
#else
  const std::uint64_t m = 0xffffffffULL;
  const std::uint64_t a0 = a & m, a1 = a >> 32, b0 = b & m, b1 = b >> 32;
  const std::uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
  const std::uint64_t mid = (p00 >> 32) + (p01 & m) + (p10 & m);
  lo = (mid << 32) | (p00 & m);
  hi = p11 + (p01 >> 32) + (p10 >> 32) + (mid >> 32);
#endif
}

// p[k..8] += v, with the carry carried up.
inline void add_at(std::uint64_t* p, int k, std::uint64_t v) {
  for (; k < 9 && v != 0; ++k) {
    p[k] += v;
    v = (p[k] < v) ? 1 : 0;
  }
}

// a * b, truncated toward zero to a multiple of 2^-240 (the product of the
// magnitudes is exact in 512 bits, then shifted right by 240).
inline Fx mul(const Fx& a, const Fx& b) {
  const bool negative = is_neg(a) != is_neg(b);
  const Fx x = abs(a), y = abs(b);
  std::uint64_t p[9] = {0, 0, 0, 0, 0, 0, 0, 0, 0};
  for (int i = 0; i < 4; ++i) {
    if (x.w[i] == 0) continue;
    for (int j = 0; j < 4; ++j) {
      std::uint64_t hi, lo;
      mul64(x.w[i], y.w[j], hi, lo);
      add_at(p, i + j, lo);
      add_at(p, i + j + 1, hi);
    }
  }
  Fx r;
  for (int i = 0; i < 4; ++i) r.w[i] = (p[i + 3] >> 48) | (p[i + 4] << 16);
  return negative ? neg(r) : r;
}

// a / d for 0 < d < 2^32, truncated toward zero.
inline Fx div_small(const Fx& a, std::uint32_t d) {
  const bool negative = is_neg(a);
  const Fx x = abs(a);
  Fx q;
  std::uint64_t rem = 0;
  for (int i = 3; i >= 0; --i) {
    const std::uint64_t hi = (rem << 32) | (x.w[i] >> 32);
    const std::uint64_t qh = hi / d;
    rem = hi % d;
    const std::uint64_t lo = (rem << 32) | (x.w[i] & 0xffffffffULL);
    const std::uint64_t ql = lo / d;
    rem = lo % d;
    q.w[i] = (qh << 32) | ql;
  }
  return negative ? neg(q) : q;
}

// (-1)^negative * m * 2^e, truncated toward zero below 2^-240
// (m < 2^53, m * 2^e < 2^15).
inline Fx from_parts(bool negative, std::uint64_t m, int e) {
  Fx r = {{0, 0, 0, 0}};
  const int s = e + 240;
  if (s >= 0) {
    const int limb = s / 64, bit = s % 64;
    r.w[limb] = m << bit;
    if (bit != 0 && limb < 3) r.w[limb + 1] = m >> (64 - bit);
  } else if (s > -64) {
    r.w[0] = m >> -s;
  }
  return negative ? neg(r) : r;
}

// Significand and exponent of a finite double: |x| == m * 2^e.
inline void decompose(double x, std::uint64_t& m, int& e) {
  std::uint64_t u;
  std::memcpy(&u, &x, sizeof u);
  const int be = static_cast<int>((u >> 52) & 0x7ff);
  m = u & 0x000fffffffffffffULL;
  if (be == 0) {
    e = -1074;
  } else {
    m |= 0x0010000000000000ULL;
    e = be - 1075;
  }
}

inline Fx from_double(double x) {
  std::uint64_t m;
  int e;
  decompose(x, m, e);
  return from_parts(x < 0, m, e);
}

inline Fx ln2() { return Fx{{kLn2Fixed[0], kLn2Fixed[1], kLn2Fixed[2], kLn2Fixed[3]}}; }

inline Fx one() { return Fx{{0, 0, 0, std::uint64_t{1} << 48}}; }

// |a| / 2^s (0 < s < 64) with a's sign, truncated toward zero.
inline Fx shr(const Fx& a, int s) {
  const bool negative = is_neg(a);
  Fx x = abs(a);
  for (int i = 0; i < 4; ++i) x.w[i] = (x.w[i] >> s) | (i < 3 ? x.w[i + 1] << (64 - s) : 0);
  return negative ? neg(x) : x;
}

// exp(z) for |z| < 1: exp(z) = exp(w)^(2^12) with w = z 2^-12; exp(w) by its
// Taylor series to w^16/16! (truncation < 2^-250) in Horner's form with the
// tabulated 1/n!, then twelve squarings.  Each operation truncates by less
// than 2^-240; the squarings double the relative error each, so the result
// is within 2^-222 relative of exp(z).
inline Fx exp(const Fx& z) {
  const Fx w = shr(z, 12);
  constexpr int kTerms = sizeof kInvFact / sizeof kInvFact[0];
  auto c = [](int n) { return Fx{{kInvFact[n][0], kInvFact[n][1], kInvFact[n][2], kInvFact[n][3]}}; };
  Fx sum = c(kTerms - 1);
  for (int n = kTerms - 2; n >= 0; --n) sum = add(c(n), mul(sum, w));
  for (int i = 0; i < 12; ++i) sum = mul(sum, sum);
  return sum;
}

// 2^e as a double, for -1074 <= e <= 1023.
inline double pow2(int e) {
  std::uint64_t u = e >= -1022 ? static_cast<std::uint64_t>(e + 1023) << 52
                               : std::uint64_t{1} << (e + 1074);
  double d;
  std::memcpy(&d, &u, sizeof d);
  return d;
}

// The double nearest to v * 2^k (ties to even), with gradual underflow and
// overflow to infinity.  Requires |v| >= 2^-110 or v == 0 (the callers' values are
// far above that), so the rounding position lies inside the 256 bits.
inline double to_double(const Fx& v, int k) {
  const bool negative = is_neg(v);
  const Fx n = abs(v);
  int b = -1;  // index of the leading bit
  for (int i = 3; i >= 0 && b < 0; --i) {
    if (n.w[i] == 0) continue;
    int lz = 0;
    while (((n.w[i] << lz) >> 63) == 0) ++lz;
    b = 64 * i + 63 - lz;
  }
  if (b < 0) return negative ? -0.0 : 0.0;
  const int e = b - 240 + k;  // 2^e <= |v| 2^k < 2^(e+1)
  if (e > 1023) return negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
  int shift = b - 52;                        // position of the last kept bit
  if (e < -1022) shift = -1074 + 240 - k;    // subnormal: last bit is 2^-1074
  if (shift > b + 1) return negative ? -0.0 : 0.0;  // below half the least subnormal
  // q = n >> shift, with the round bit and the sticky bits below it.
  auto bit = [&](int i) -> std::uint64_t { return (n.w[i / 64] >> (i % 64)) & 1; };
  std::uint64_t q = 0;
  for (int i = b; i >= shift; --i) q = (q << 1) | bit(i);
  const std::uint64_t round = shift >= 1 ? bit(shift - 1) : 0;
  bool sticky = false;
  for (int i = 0; i < shift - 1 && i < 256; ++i) {
    if ((n.w[i / 64] >> (i % 64)) & 1) { sticky = true; break; }
  }
  if (round && (sticky || (q & 1))) ++q;
  const double r = static_cast<double>(q) * pow2(shift - 240 + k);
  return negative ? -r : r;
}

}  // namespace crfx

// The accurate steps, exposed for the tests: exp_accurate(x) for
// 2^-54 <= |x| <= 745.2; log_accurate(x, hi, lo) for positive finite x and
// hi + lo within 2^-60 relative of log x.
namespace crdetail {
double exp_accurate(double x);
double log_accurate(double x, double hi, double lo);

// The first steps, exposed for the tests of their error bounds: for
// positive finite x, log x lies within err of hi + lo; for
// 2^-54 <= |x| < 745.2, exp x lies within 2^m err of 2^m (hi + lo).
struct FirstStep {
  double hi, lo, err;
  int m;
};
FirstStep log_first(double x);
FirstStep exp_first(double x);
}  // namespace crdetail
