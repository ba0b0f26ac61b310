// Correctly rounded natural logarithm (round to nearest, ties to even), in
// three steps, each behind a rounding test; the later ones run only where
// the earlier ones cannot decide.
//
// First step (plain double; the reduction of glibc's and ARM's optimized
// log, after P. T. P. Tang, "Table-driven implementation of the logarithm
// function in IEEE floating-point arithmetic", ACM TOMS 16 (1990) 378-400):
// tmp = bits(x) - bits(0.70703125) gives x = 2^k z, z in [0.70703125,
// 1.4140625), and a row i of 512 by the top 9 mantissa bits of x.  The row
// holds c of 10 significant bits near 1/z (c = 1 on both sides of 1) with
// |z c - 1| < 2^-9, and -log c = lh + ll with lh on the grid 2^-42.  Then
//   r = (z - z0) c + (z0 c - 1)        (z0: the smallest z of the row)
// is exactly z c - 1: z - z0 (43 bits, read from x's low mantissa bits as
// an integer) and (z - z0) c (53 bits) are exact, z0 c - 1 (tabulated) is
// exact, and z c - 1 is a multiple of 2^-62 below 2^-9, so a double (the
// argument is at LogRow).  w = k Hi + lh (ln2 = Hi + Lo, Hi of 42 bits) is
// exact too (two multiples of 2^-42 below 2^10), and Fast2Sum gives
// w + r = hi + lo exactly (w = 0 or |w| >= |r|, checked by the table
// generator).  With m = ll + k Lo and
//   log1p(r) = r - r^2/2 + r^3 g(r),
// P of degree 3 fitted to g on the rows' r range (Chebyshev interpolation),
// the result is hi + t, t = ((lo + m) - r2/2) + r3 P(r) with r2 = r^2 and
// r3 = r2 r rounded (r2/2 exact): the quadratic term is added before the
// polynomial is ready, which shortens the longest dependency chain by two
// roundings.  Error of hi + t, u = 2^-53:
//   r2 rounds (u), so -r2/2 is off by 0.5 u r^2; r3 P: r2, r3, P's own
//      rounding (4u) and the product, 7u relative on |r^3 P| < 2^-10.6 r^2,
//      below 0.005 u r^2; approximation |g - P| |r| r^2 below 1.25 2^-52
//      r^2 (the generator's maximum on 8193 points, with margin);
//   the two additions into t: u (|lo + m| + r^2/2) and u |t| <= u (|lo + m|
//      + 0.501 r^2), together 0.501 2^-52 r^2 plus 2u |lo + m|;
//   the rounding test's own roundings of t -+ err: u (|t| + err), another
//      0.252 2^-52 r^2 plus terms in m and lo;
//   in all 2.256 2^-52 r^2 (2.875 leaves margin) plus terms in m and lo:
//   m: |k Lo| < 2^-33.9 and |ll| <= 2^-43, roundings below 2^-85.8 when
//      k != 0 (where |log x| > 0.34) and below 2^-95 when k = 0 (where
//      |log x| >= 2^-10 unless c = 1, and there m = 0 and lo = 0 exactly);
//      2u |lo + m|, below 2^-84.9 when k != 0 and 2^-95 + 2u^2 |hi| when
//      k = 0; the tails of -log c and of ln2 (2^-96 and |k| 2^-98), and
//      u |lo| <= u^2 |hi|: all below 2^-82 |hi| (for k = 0 their sum is
//      below 2^-93.4 against 2^-92).
// So |hi + t - log x| <= 2.875 2^-52 r^2 + 2^-82 |hi|.  The rounding test
// uses err = 2.875 2^-52 r^2 + 2^-72 instead, which is larger everywhere:
// |hi| <= |k| Hi + |lh| + |r| < 1075 ln2 < 745.2 (k >= -1074 with the
// subnormals scaled), so 2^-82 |hi| < 2^-72.46, and where c = 1 and k = 0
// the |hi| term is not needed at all.  The constant saves the |hi| and its
// product from the common path.  It costs more failed tests where |log x|
// is small: always where the ulp of hi is near 2^-72 or below (|log x|
// below about 2^-20, x within 1e-6 of 1), and more often for k = 0; on
// 2^20 arguments of the benchmark's mix 1 in 965 fails (1 in 2490 with
// 2^-82 |hi|), about 0.4 instructions a call on average against the two
// saved.  The tight bound is checked against MPFR by crmath_test on the
// rows' ends, next to 1, subnormals and the whole range.  On x86-64 Linux
// the first step runs from a copy compiled with AVX's three-operand
// encoding where the processor has it (chosen once; see log_body): the
// same operations in the same order, so the same bits, with about eight
// register copies and constant loads fewer a call.
//
// Second step (log_dd: double-double; the reduction above with a 256-row
// table and c of 9 bits, r = y c - 1 exact as above):
//   log x = e ln2 + (-log c) + log1p(r),
// -log c from the table as a double-double (error < 2^-106), ln2 = Hi + Lo
// with Hi of 42 bits (e Hi exact), and
//   log1p(r) = r - r^2/2 + r^3 (1/3 - r/4 + ... + r^6/9)
// with r^2/2 as a double-double and the rest in double: Taylor truncation
// < 2^-75 relative, roundings < 2^-69 relative to log x (for x near 1,
// where c = 1 and e = 0, relative to r; elsewhere |log x| >= 2^-9).  The
// total error of hi + lo is below 2^-67.5 relative (measured against MPFR:
// at most 2^-69.1 on 3e5 arguments); the rounding test uses 2^-67.  The
// polynomial is evaluated by Estrin's scheme (shorter dependency chain).
//
// Rounding test (A. Ziv, "Fast evaluation of elementary mathematical
// functions with correctly rounded last bit", ACM TOMS 17 (1991) 410-423):
// if hi + (lo - err) and hi + (lo + err) round alike, that is the result
// (rounding is monotonic).  hi + lo need not be normalised: err covers the
// roundings of lo -+ err, u (|lo| + err).
//
// Accurate step (where the second step cannot decide): one Newton step on
// the value y0 in exact fixed-point arithmetic with 240 fraction bits
// (crfixed.h): d = x exp(-y0) - 1 (|d| < 2^-66 |log x|), then
//   log x = y0 + log1p(d) = y0 + d - d^2/2 + d^3/3 + O(d^4),
// absolute error below 2^-225, so relative error below 2^-170 since
// |log x| >= 2^-53 for every double x != 1.  The hardest doubles for log
// need about 2^-(53+65) relative accuracy (V. Lefevre and J.-M. Muller,
// "Worst cases for correct rounding of the elementary functions in double
// precision", ARITH 15, 2001), so this step always decides.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>

#include "crfixed.h"
#include "crmath.h"
#include "ddouble.h"

namespace {
#include "crlog_table.inc"

#include "crlog_rows.inc"
constexpr LogRows kLogRows = make_log_rows();
}  // namespace

namespace crdetail {
double log_sse2(double x);  // declared here and in crmath_test only

double log_accurate(double x, double hi, double lo) {
  using namespace crfx;
  const Fx y0 = add(from_double(hi), from_double(lo));
  const double kd = (hi * 0x1.71547652b82fep0 + 0x1.8p52) - 0x1.8p52;  // y0 / ln2 rounded
  const int k = static_cast<int>(kd);
  const Fx z = sub(y0, mul(ln2(), from_double(kd)));
  std::uint64_t mx;
  int ex;
  decompose(x, mx, ex);
  const Fx xs = from_parts(false, mx, ex - k);  // x 2^-k, exact (near 1)
  const Fx d = sub(mul(xs, crfx::exp(neg(z))), one());
  const Fx d2 = mul(d, d);
  const Fx d3 = mul(d2, d);
  const Fx v = add(y0, add(sub(d, div_small(d2, 2)), div_small(d3, 3)));
  return to_double(v, 0);
}

}  // namespace crdetail

namespace {

// The double-double step: the whole computation again from x, behind the
// first step (about one argument in 700), then the accurate step.
[[gnu::noinline]] double log_dd(double x) {
  std::uint64_t u;
  std::memcpy(&u, &x, sizeof u);
  int e = 0;
  if (u - 0x0010000000000000ULL >= 0x7fe0000000000000ULL) {  // not a positive normal
    if (u > 0x7ff0000000000000ULL) {             // NaN or negative (sign bit set)
      if ((u & 0x7fffffffffffffffULL) == 0) return -std::numeric_limits<double>::infinity();
      if ((u & 0x7fffffffffffffffULL) > 0x7ff0000000000000ULL) return x + x;  // NaN
      return std::numeric_limits<double>::quiet_NaN();
    }
    if (u == 0x7ff0000000000000ULL) return x;      // +inf
    if (u == 0) return -std::numeric_limits<double>::infinity();
    const double xs = x * 0x1p54;  // subnormal: scale up exactly
    std::memcpy(&u, &xs, sizeof u);
    e = -54;
  }
  const int t = static_cast<int>((u >> 44) & 0xff);
  e += static_cast<int>(u >> 52) - 1023;
  // y: the mantissa in [1, 2), halved from the wrap point on.
  std::uint64_t uy = (u & 0x000fffffffffffffULL) | 0x3ff0000000000000ULL;
  const int wrap = t >= kLogWrap ? 1 : 0;  // branch-free: t is random for random x
  uy -= static_cast<std::uint64_t>(wrap) << 52;
  e += wrap;
  double y;
  std::memcpy(&y, &uy, sizeof y);

  // r = y c - 1 exactly: y = y1 + y2 with y1 of 44 bits, so y1 c (53 bits)
  // and y2 c (18 bits) are exact, y1 c - 1 is exact (Sterbenz) and so is
  // the sum, which has at most 53 bits (from 2^-9 down to 2^-61).
  const double c = kLogTab[t][0];
  const std::uint64_t uy1 = uy & ~std::uint64_t{0x1ff};
  double y1;
  std::memcpy(&y1, &uy1, sizeof y1);
  const double r = (y1 * c - 1.0) + (y - y1) * c;
  // -r^2/2 = ph + pl: r = rh + rl with rh of 26 bits, so rh^2 is exact and
  // the rest, rl (r + rh), has a relative error of 2^-53 of a term 2^-26
  // times smaller than r^2.
  std::uint64_t ur;
  std::memcpy(&ur, &r, sizeof ur);
  ur &= ~std::uint64_t{0x7ffffff};
  double rh;
  std::memcpy(&rh, &ur, sizeof rh);
  const double rl = r - rh;
  const double r2 = rh * rh;
  const double ph = -0.5 * r2, pl = -0.5 * (rl * (r + rh));
  // Estrin's scheme (shorter dependency chain than Horner; same rounding
  // bound: each partial sum is within a few ulps of a term of q ~ 1/3).
  const double rr = r * r;
  const double qa = 0x1.5555555555555p-2 + r * -0x1p-2;
  const double qb = 0x1.999999999999ap-3 + r * -0x1.5555555555555p-3;
  const double qc = (0x1.2492492492492p-3 + r * -0x1p-3) + rr * 0x1.c71c71c71c71cp-4;
  const double qr = (r * rr) * (qa + rr * (qb + rr * qc));
  const double ed = static_cast<double>(e);
  const dd::DD a = dd::fast_two_sum(r, ph);
  const dd::DD b = dd::fast_two_sum(ed * kLn2Hi, kLogTab[t][1]);  // e = 0 or |e ln2| > |-log c|
  const dd::DD s = dd::two_sum(b.hi, a.hi);
  const double lo = s.lo + (b.lo + (a.lo + (pl + (qr + (kLogTab[t][2] + ed * kLn2Lo)))));
  const dd::DD w = dd::fast_two_sum(s.hi, lo);
  const double err = (w.hi < 0 ? -w.hi : w.hi) * 0x1p-67;
  const double u1 = w.hi + (w.lo - err);
  const double u2 = w.hi + (w.lo + err);
  if (u1 == u2) return u1;
  return crdetail::log_accurate(x, w.hi, w.lo);
}

// The first step for ix, the bits of a positive normal x (or of a subnormal
// x scaled by 2^54, with 54 taken off the exponent field): log x is within
// err of hi + lo (with the margin of the rounding test; see the header).
// err is the bound 2.875 2^-52 r^2 + 2^-82 |hi| if kTight (for the tests),
// else the wider 2.875 2^-52 r^2 + 2^-72 that the rounding test uses.
template <bool kTight>
inline crdetail::FirstStep first_step(std::uint64_t ix) {
  // x = 2^k z with z in [0.70703125, 1.4140625): tmp's top 12 bits are k;
  // the row is that of t, the top 9 mantissa bits of x (the next 9 bits of
  // tmp are t - 2 kLogWrap mod 512); z has x's mantissa bits.
  const std::uint64_t tmp = ix - kLogOff;
  const std::size_t o = static_cast<std::size_t>((ix >> 40) & (0x1ff << 3));  // 8 t
  const int k = static_cast<int>(static_cast<std::int64_t>(tmp) >> 52);  // arithmetic shift
  const LogRow& row = *reinterpret_cast<const LogRow*>(reinterpret_cast<const char*>(kLogRows.row) + 4 * o);
  // z - z0 = (x's low 43 mantissa bits) ulp(z), read with the row's
  // lowest bit on top as zd 2^20 - b 2^63: its conversion and the product
  // with cs (10 bits) are exact, and a takes the b 2^63 back (see LogRow).
  const auto zd = static_cast<std::int64_t>(ix << 20);
  const double r = static_cast<double>(zd) * row.cs + row.a;  // exact: see LogRow
  const double ed = static_cast<double>(k);
  const double w = ed * kLn2Hi + row.lh;  // exact: both terms on the grid 2^-42, |w| < 2^10
  const double hi = w + r;
  const double lo = (w - hi) + r;  // Fast2Sum: w == 0 or |w| >= |r|
  const double r2 = r * r;
  const double q = (kLogP[0] + r * kLogP[1]) + r2 * (kLogP[2] + r * kLogP[3]);
  // t = ((lo + m) - r2/2) + r^3 q: the quadratic term joins the small
  // terms early, so only r^3 q waits for the polynomial (two roundings
  // fewer on the longest dependency chain; the bound: see the header).
  const double r3 = r2 * r;
  const double t = ((lo + (row.ll + ed * kLn2Lo)) + r2 * -0.5) + r3 * q;
  const double err = r2 * 0x1.7p-51 + (kTight ? std::fabs(hi) * 0x1p-82 : 0x1p-72);  // 2^-72 > 2^-82 |hi|
  return {hi, t, err, 0};
}

}  // namespace

crdetail::FirstStep crdetail::log_first(double x) {
  std::uint64_t ix;
  std::memcpy(&ix, &x, sizeof ix);
  if ((ix >> 52) == 0) {
    const double xs = x * 0x1p54;
    std::memcpy(&ix, &xs, sizeof ix);
    ix -= std::uint64_t{54} << 52;
  }
  return first_step<true>(ix);
}

namespace {

// The first step and its rounding test for ix, the bits of x (or of a
// subnormal x scaled as in log_special); the double-double step where the
// test fails.
[[gnu::always_inline]] inline double log_from_bits(double x, std::uint64_t ix) {
  const crdetail::FirstStep f = first_step<false>(ix);
  const double u1 = f.hi + (f.lo - f.err);
  const double u2 = f.hi + (f.lo + f.err);
  // u1 <= u2 always (err >= 0 and rounding is monotonic), so u1 == u2 is
  // !(u2 > u1): one branch, where == needs a second one for unordered.
  if (!(u2 > u1)) return u1;
  return log_dd(x);
}

// The arguments that log_body sends here: every x that is not a positive
// normal, and the positive normals at the ends of the exponent range that
// share their k with those (x < 1.4140625 2^-1022, x >= 1.4140625 2^1023).
[[gnu::noinline]] double log_special(double x) {
  std::uint64_t ix;
  std::memcpy(&ix, &x, sizeof ix);
  if (!(x >= 0x1p-1022) || x > std::numeric_limits<double>::max()) {  // not a positive normal
    if (ix > 0x7ff0000000000000ULL) {             // NaN or negative (sign bit set)
      if ((ix & 0x7fffffffffffffffULL) == 0) return -std::numeric_limits<double>::infinity();
      if ((ix & 0x7fffffffffffffffULL) > 0x7ff0000000000000ULL) return x + x;  // NaN
      return std::numeric_limits<double>::quiet_NaN();
    }
    if (ix == 0x7ff0000000000000ULL) return x;      // +inf
    if (ix == 0) return -std::numeric_limits<double>::infinity();
    const double xs = x * 0x1p54;  // subnormal: scale up exactly, take 54 off the exponent field
    std::memcpy(&ix, &xs, sizeof ix);
    ix -= std::uint64_t{54} << 52;  // wraps; the reduction reads it as a signed exponent
  }
  return log_from_bits(x, ix);
}

// cr_log's body, compiled twice: plain (SSE2) and, where the processor has
// it, with the VEX encoding of AVX, whose three-operand forms save the
// register copies and constant loads that the two-operand SSE2 forms need
// (about eight instructions a call).  The operations and their order are
// the same, and neither form contracts to fused multiply-adds, so both give
// the same bits.
[[gnu::always_inline]] inline double log_body(double x) {
  std::uint64_t ix;
  std::memcpy(&ix, &x, sizeof ix);
  // The special arguments by k, the exponent of the reduction, which the
  // first step computes anyway: an addition, a comparison and a branch
  // where two floating comparisons with two constants from memory and two
  // branches were needed.  A positive normal x has k in [-1022, 1024]
  // (tmp = ix - kLogOff read as signed); every other x has k outside
  // [-1021, 1023]: tmp is below -1021.4 2^52 for zeros, subnormals and
  // the bit patterns from that of -0.70703125 up (sign bit set), and at
  // least 1024.5 2^52 for +inf, the NaNs without the sign bit and the
  // patterns from -0 to -0.70703125.  So only k = -1022 and k = 1024 hold
  // both kinds, and log_special sorts those out.
  const int k = static_cast<int>(static_cast<std::int64_t>(ix - kLogOff) >> 52);
  if (static_cast<unsigned>(k + 1021) > 2044u) return log_special(x);
  return log_from_bits(x, ix);
}

double log_plain(double x) { return log_body(x); }

#if defined(__x86_64__) && defined(__GNUC__) && !defined(_WIN32)
// Not on Windows, as in random.cpp (its GCC does not align the stack for
// AVX spills); the plain form gives the same bits there.
#define GATEBOX_CRLOG_AVX 1
[[gnu::target("avx")]] double log_avx(double x) { return log_body(x); }
#endif

double log_choose(double x);
// Chosen on the first call (constant-initialised, so safe from static
// initialisers of other files), then one indirect jump a call.
double (*g_log)(double) = log_choose;
double log_choose(double x) {
#if defined(GATEBOX_CRLOG_AVX)
  g_log = __builtin_cpu_supports("avx") ? log_avx : log_plain;
#else
  g_log = log_plain;
#endif
  return g_log(x);
}

}  // namespace

// The plain form on every processor, for the tests.
double crdetail::log_sse2(double x) { return log_plain(x); }

double cr_log(double x) { return g_log(x); }
