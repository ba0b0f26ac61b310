// Random variates: the Wichmann-Hill uniform generator and the gamma, beta
// and binomial samplers built on it.
//
// Every sampler takes the generator state by reference; the overloads
// without a state draw from the library's own stream, one static WHState
// that starts from kWHInitialState when the library is loaded.  The order in
// which a sampler consumes uniforms is fixed (see each routine): a given
// state yields one fixed sequence of variates on every build.
#include "util.h"
#include "crmath.h"

#include <cmath>
#include <cstring>
#include <limits>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__) && !defined(_WIN32)
#include <immintrin.h>
#endif

namespace {

// 2^-52: shapes and probabilities below it are treated as zero.
const double kTiny = 2.220446049250313e-16;
// 1 - 2^-52: probabilities from here on are treated as certain success.
const double kAlmostOne = 0.9999999999999998;

WHState g_state = kWHInitialState;

// Test hook: every comparison that a fast value would decide is made the
// exact way instead (the paths otherwise taken only near a boundary).
bool g_exact_decisions = false;

// The reduction table of cr_log (c near 1/y and -log c), shared here by the
// fast logarithm that decides comparisons.
#include "crlog_table.inc"

// ---- Uniforms -------------------------------------------------------------

// The exact sum of the three component fractions, each a correctly rounded
// IEEE quotient, added left to right.
inline double exact_sum(const WHState &s) {
  return (static_cast<double>(s.ix) / 30269.0 + static_cast<double>(s.iy) / 30307.0) +
         static_cast<double>(s.iz) / 30323.0;
}

// The reciprocals 1/m rounded to double.
const double kInvX = 1.0 / 30269.0, kInvY = 1.0 / 30307.0, kInvZ = 1.0 / 30323.0;
// Bound on |fast sum - exact sum|.  Each product x * fl(1/m) is within 2^-52
// relative of x/m and so within 1.5 * 2^-52 of the rounded quotient (all
// below 1); the two additions of each sum (partial sums below 2 and 3) add
// at most 2^-52 + 2^-51 each.  The total is below 2^-48; kSlack is 16 times
// that, and also covers the roundings of sum +- kSlack themselves (an ulp of
// a sum below 3 is at most 2^-51).
const double kSlack = 0x1p-44;

// One step of the generator and the rounded sum.  The quotients are formed
// as products with the reciprocals; when the fast sum lies within kSlack of
// a single-precision rounding boundary (about one draw in 10^6) the sum is
// recomputed with the exact divisions.  Rounding to single precision is
// monotone, so when sum - kSlack and sum + kSlack round to the same float,
// so does the exact sum, which lies between them.
inline double rand_step(WHState &s) {
  s.ix = (171 * s.ix) % 30269;
  s.iy = (172 * s.iy) % 30307;
  s.iz = (170 * s.iz) % 30323;
  const double sum = (static_cast<double>(s.ix) * kInvX + static_cast<double>(s.iy) * kInvY) +
                     static_cast<double>(s.iz) * kInvZ;
  float f = static_cast<float>(sum - kSlack);
  if (f != static_cast<float>(sum + kSlack) || g_exact_decisions) f = static_cast<float>(exact_sum(s));
  return static_cast<double>(f - static_cast<float>(static_cast<int>(f)));
}

// ---- Uniforms in blocks -----------------------------------------------------

// Each component is a linear recurrence, so the state j steps on is
// (a^j mod m) x mod m: the next kBlock uniforms follow from one state with
// no chain of dependent steps (the products stay below 30323^2 < 2^31).
// The array samplers look further ahead, kWideBlock uniforms at a time.
constexpr int kBlock = 16;
constexpr int kWideBlock = 128;

constexpr std::int32_t pow_mod(std::int32_t a, int j, std::int32_t m) {
  std::int32_t r = 1;
  for (int i = 0; i < j; ++i) r = (r * a) % m;
  return r;
}

struct JumpTable {
  double x[kWideBlock], y[kWideBlock], z[kWideBlock];
};

constexpr JumpTable make_jumps() {
  JumpTable t{};
  for (int j = 0; j < kWideBlock; ++j) {
    t.x[j] = pow_mod(171, j + 1, 30269);
    t.y[j] = pow_mod(172, j + 1, 30307);
    t.z[j] = pow_mod(170, j + 1, 30323);
  }
  return t;
}
alignas(32) constexpr JumpTable kJump = make_jumps();

// The next uniforms from one state (kBlock of them, or kWideBlock for the
// array samplers) and the state after each (its components as doubles, whole
// numbers).  The block is a pure function of
// its starting state, so it stays valid for any stream whose state equals
// the state reached at the next unused position; one block serves every
// stream (no threads).
struct Block {
  alignas(32) double x[kWideBlock];
  alignas(32) double y[kWideBlock];
  alignas(32) double z[kWideBlock];
  alignas(32) double u[kWideBlock];
  WHState from;
};
Block g_block;
int g_len = kBlock;  // uniforms in the block
int g_pos = kBlock;  // next unused position; g_len: nothing cached

// The uniform of position j, with the exact sum where the fast one is too
// close to a rounding boundary (as rand_step).
inline double block_uniform(double sum, int j) {
  const Block &b = g_block;
  float f = static_cast<float>(sum - kSlack);
  if (f != static_cast<float>(sum + kSlack) || g_exact_decisions)
    f = static_cast<float>((b.x[j] / 30269.0 + b.y[j] / 30307.0) + b.z[j] / 30323.0);
  return static_cast<double>(f - static_cast<float>(static_cast<int>(f)));
}

// The reductions (a^j mod m) x mod m are done in double: the product p is
// below 2^30 and exact, and trunc(p fl(1/m)) is the exact quotient, since
// p fl(1/m) is within 2^-37 of p/m while the fraction of p/m lies in
// [1/m, 1 - 1/m] (m is prime and does not divide p).  So p - q m is the
// exact remainder, the same integer as the int32 recurrence gives.  The
// sums and roundings are those of rand_step, lane by lane: every path
// (AVX, SSE2, scalar) gives the same bits.
template <int n>
void fill_scalar(const WHState &s) {
  Block &b = g_block;
  for (int j = 0; j < n; ++j) {
    b.x[j] = static_cast<double>((static_cast<std::int32_t>(kJump.x[j]) * s.ix) % 30269);
    b.y[j] = static_cast<double>((static_cast<std::int32_t>(kJump.y[j]) * s.iy) % 30307);
    b.z[j] = static_cast<double>((static_cast<std::int32_t>(kJump.z[j]) * s.iz) % 30323);
    const double sum = (b.x[j] * kInvX + b.y[j] * kInvY) + b.z[j] * kInvZ;
    b.u[j] = block_uniform(sum, j);
  }
}

#if defined(__SSE2__)
template <int n>
void fill_sse2(const WHState &s) {
  Block &b = g_block;
  const __m128d x0 = _mm_set1_pd(s.ix), y0 = _mm_set1_pd(s.iy), z0 = _mm_set1_pd(s.iz);
  const __m128d mx = _mm_set1_pd(30269.0), my = _mm_set1_pd(30307.0), mz = _mm_set1_pd(30323.0);
  const __m128d ix = _mm_set1_pd(kInvX), iy = _mm_set1_pd(kInvY), iz = _mm_set1_pd(kInvZ);
  const __m128d slack = _mm_set1_pd(kSlack);
  for (int j = 0; j < n; j += 2) {
    const __m128d px = _mm_mul_pd(_mm_load_pd(kJump.x + j), x0);
    const __m128d py = _mm_mul_pd(_mm_load_pd(kJump.y + j), y0);
    const __m128d pz = _mm_mul_pd(_mm_load_pd(kJump.z + j), z0);
    const __m128d rx = _mm_sub_pd(px, _mm_mul_pd(_mm_cvtepi32_pd(_mm_cvttpd_epi32(_mm_mul_pd(px, ix))), mx));
    const __m128d ry = _mm_sub_pd(py, _mm_mul_pd(_mm_cvtepi32_pd(_mm_cvttpd_epi32(_mm_mul_pd(py, iy))), my));
    const __m128d rz = _mm_sub_pd(pz, _mm_mul_pd(_mm_cvtepi32_pd(_mm_cvttpd_epi32(_mm_mul_pd(pz, iz))), mz));
    _mm_store_pd(b.x + j, rx);
    _mm_store_pd(b.y + j, ry);
    _mm_store_pd(b.z + j, rz);
    const __m128d sum = _mm_add_pd(_mm_add_pd(_mm_mul_pd(rx, ix), _mm_mul_pd(ry, iy)), _mm_mul_pd(rz, iz));
    const __m128 lo = _mm_cvtpd_ps(_mm_sub_pd(sum, slack)), hi = _mm_cvtpd_ps(_mm_add_pd(sum, slack));
    // The fractional part of the float, in float, widened.
    const __m128 frac = _mm_sub_ps(lo, _mm_cvtepi32_ps(_mm_cvttps_epi32(lo)));
    _mm_store_pd(b.u + j, _mm_cvtps_pd(frac));
    if ((_mm_movemask_ps(_mm_cmpneq_ps(lo, hi)) & 3) != 0 || g_exact_decisions) {  // near a boundary
      alignas(16) double sums[2];
      _mm_store_pd(sums, sum);
      for (int i = 0; i < 2; ++i) b.u[j + i] = block_uniform(sums[i], j + i);
    }
  }
}
#endif

#if defined(__x86_64__) && defined(__GNUC__) && !defined(_WIN32)
// Four lanes (AVX), where the processor has it.  Not on Windows, whose
// GCC does not align the stack for 32-byte spills.
#define GATEBOX_RANDOM_AVX 1
template <int n>
__attribute__((target("avx"))) void fill_avx(const WHState &s) {
  Block &b = g_block;
  const __m256d x0 = _mm256_set1_pd(s.ix), y0 = _mm256_set1_pd(s.iy), z0 = _mm256_set1_pd(s.iz);
  const __m256d mx = _mm256_set1_pd(30269.0), my = _mm256_set1_pd(30307.0), mz = _mm256_set1_pd(30323.0);
  const __m256d ix = _mm256_set1_pd(kInvX), iy = _mm256_set1_pd(kInvY), iz = _mm256_set1_pd(kInvZ);
  const __m256d slack = _mm256_set1_pd(kSlack);
  for (int j = 0; j < n; j += 4) {
    const __m256d px = _mm256_mul_pd(_mm256_load_pd(kJump.x + j), x0);
    const __m256d py = _mm256_mul_pd(_mm256_load_pd(kJump.y + j), y0);
    const __m256d pz = _mm256_mul_pd(_mm256_load_pd(kJump.z + j), z0);
    const __m256d rx = _mm256_sub_pd(px, _mm256_mul_pd(_mm256_round_pd(_mm256_mul_pd(px, ix), _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC), mx));
    const __m256d ry = _mm256_sub_pd(py, _mm256_mul_pd(_mm256_round_pd(_mm256_mul_pd(py, iy), _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC), my));
    const __m256d rz = _mm256_sub_pd(pz, _mm256_mul_pd(_mm256_round_pd(_mm256_mul_pd(pz, iz), _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC), mz));
    _mm256_store_pd(b.x + j, rx);
    _mm256_store_pd(b.y + j, ry);
    _mm256_store_pd(b.z + j, rz);
    const __m256d sum =
        _mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(rx, ix), _mm256_mul_pd(ry, iy)), _mm256_mul_pd(rz, iz));
    const __m128 lo = _mm256_cvtpd_ps(_mm256_sub_pd(sum, slack)), hi = _mm256_cvtpd_ps(_mm256_add_pd(sum, slack));
    const __m128 frac = _mm_sub_ps(lo, _mm_round_ps(lo, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC));
    _mm256_store_pd(b.u + j, _mm256_cvtps_pd(frac));
    if (_mm_movemask_ps(_mm_cmpneq_ps(lo, hi)) != 0 || g_exact_decisions) {  // near a boundary
      alignas(32) double sums[4];
      _mm256_store_pd(sums, sum);
      for (int i = 0; i < 4; ++i) b.u[j + i] = block_uniform(sums[i], j + i);
    }
  }
}
#endif

// 0: not chosen yet; 1 scalar; 2 SSE2; 3 AVX.
int g_fill_kind = 0;

int choose_fill() {
#if defined(GATEBOX_RANDOM_AVX)
  if (__builtin_cpu_supports("avx")) return 3;
#endif
#if defined(__SSE2__)
  return 2;
#else
  return 1;
#endif
}

// Makes the n uniforms (kBlock or kWideBlock) that follow s; returns the
// first position.
int fill_block(const WHState &s, int n = kBlock) {
  g_block.from = s;
  g_len = n;
  if (g_fill_kind == 0) g_fill_kind = choose_fill();
  switch (g_fill_kind) {
#if defined(GATEBOX_RANDOM_AVX)
    case 3: n == kBlock ? fill_avx<kBlock>(s) : fill_avx<kWideBlock>(s); break;
#endif
#if defined(__SSE2__)
    case 2: n == kBlock ? fill_sse2<kBlock>(s) : fill_sse2<kWideBlock>(s); break;
#endif
    default: n == kBlock ? fill_scalar<kBlock>(s) : fill_scalar<kWideBlock>(s); break;
  }
  return 0;
}

inline bool same_state(const WHState &a, const WHState &b) {
  return a.ix == b.ix && a.iy == b.iy && a.iz == b.iz;
}

inline WHState block_state(int pos) {
  if (pos == 0) return g_block.from;
  return {static_cast<std::int32_t>(g_block.x[pos - 1]), static_cast<std::int32_t>(g_block.y[pos - 1]),
          static_cast<std::int32_t>(g_block.z[pos - 1])};
}

// The uniforms of one sampler call on the state s: read from the block,
// refilled as it runs out; when the call ends, s is the state after the
// last uniform taken, as if each had been drawn by a single step.
class Draws {
 public:
  explicit Draws(WHState &s) : s_(s) {
    pos_ = (g_pos < g_len && same_state(s, block_state(g_pos))) ? g_pos : fill_block(s);
    len_ = g_len;
  }
  Draws(const Draws &) = delete;
  Draws &operator=(const Draws &) = delete;
  ~Draws() {
    s_ = block_state(pos_);
    g_pos = pos_;
  }
  double next() {
    if (pos_ == len_) {
      pos_ = fill_block(block_state(len_), refill_);
      len_ = refill_;
    }
    return g_block.u[pos_++];
  }
  // The next n uniforms (n <= kWideBlock), not yet consumed: the block is
  // made afresh from the state reached when fewer than n are left in it.
  const double *window(int n) {
    if (pos_ + n > len_) {
      pos_ = fill_block(block_state(pos_), kWideBlock);
      len_ = kWideBlock;
    }
    return g_block.u + pos_;
  }
  // Refills with kWideBlock uniforms from here on (GammaRandArray,
  // MultinomialRand): the refills then come eight times less often, and
  // each sits on the path from one attempt's outcome to the next attempt's
  // uniforms.
  void wide() { refill_ = kWideBlock; }
  // Consumes the next n uniforms, all within the last window.
  void advance(int n) { pos_ += n; }
  // The state reached so far, and a new start from another state.
  WHState state() const { return block_state(pos_); }
  void restart(const WHState &s) {
    pos_ = fill_block(s);
    len_ = kBlock;
  }

 private:
  WHState &s_;
  int pos_;
  int len_;  // uniforms in the block (g_len, kept here while the draws run)
  int refill_ = kBlock;  // uniforms in a refill
};

// ---- A fast logarithm for deciding comparisons ----------------------------

// fast_log: log x for a positive normal double, with a bound err on its
// absolute error; NaN (so that no comparison decides) for any other x.  The
// reduction is cr_log's (Tang 1990, multiplicative form): x = 2^e y,
// r = y c - 1 with |r| <= 2^-8, log x = e ln2 + (-log c) + log1p(r),
// here with log1p(r) by its Taylor series to r^4, evaluated as
// r + r^2 ((-1/2 + r/3) - r^2/4) (a short chain of dependent operations).
// The error: the truncation is below |r|^5/4.98 <= 2^-26 r^2; the
// sum A = e fl(ln2) + (-log c)hi is within 2^-50.7 |A| (ln2 and -log c
// rounded, the product and the sum rounded once each; for e != 0, |A| >=
// ln2 - 0.35 and |e ln2| + |log c| <= 3 |A|, for e = 0, A is the table's
// hi part); the series' own roundings stay below 2^-52 |r| + 2^-51 r^2, the
// final sum's below 2^-53 (|A| + 1.01 |r|).  So
// err = 2^-48 (|A| + |r|) + 2^-24 r^2 holds the error at least four times
// over.  For an x that holds a float (kSingle) r is exact; for any other x
// the rounding of y c (below 1.004) moves r by up to 2^-53 and the result by
// up to 2^-53 1.004, for which err holds 2^-50 more.  With |r| <= 2^-8,
// |A| + |r| <= |l|(1 + 2^-52) + 2.003 |r| for the value l returned, so
// err <= 2^-47 |l| + 2^-39: callers that would only add err into a bound may
// use that instead (it needs l alone).
constexpr double kLn2 = 0x1.62e42fefa39efp-1;  // ln 2 rounded
template <bool kSingle>
inline double fast_log_t(double x, double &err) {
  std::uint64_t u;
  std::memcpy(&u, &x, sizeof u);
  if (u - 0x0010000000000000ULL >= 0x7fe0000000000000ULL) {  // zero, subnormal, inf, NaN, negative
    err = 0.0;
    return std::numeric_limits<double>::quiet_NaN();
  }
  const int t = static_cast<int>((u >> 44) & 0xff);
  const int wrap = t >= kLogWrap ? 1 : 0;
  const int e = static_cast<int>(u >> 52) - 1023 + wrap;
  std::uint64_t uy = ((u & 0x000fffffffffffffULL) | 0x3ff0000000000000ULL) - (static_cast<std::uint64_t>(wrap) << 52);
  double y;
  std::memcpy(&y, &uy, sizeof y);
  const double c = kLogTab[t][0];
  // y c - 1 with y c rounded (exact for a float y: 24 bits times 9); the
  // subtraction is exact (Sterbenz).
  const double r = y * c - 1.0;
  const double a = static_cast<double>(e) * kLn2 + kLogTab[t][1];
  const double r2 = r * r;
  const double lo = r2 * ((-0.5 + r * 0x1.5555555555555p-2) - 0.25 * r2);
  err = (std::fabs(a) + std::fabs(r)) * 0x1p-48 + r2 * 0x1p-24 + (kSingle ? 0.0 : 0x1p-50);
  return a + (r + lo);
}

// fast_log for any double, and for a double that holds a float (the uniforms).
inline double fast_log(double x, double &err) { return fast_log_t<false>(x, err); }
inline double fast_log_single(double x, double &err) { return fast_log_t<true>(x, err); }

// Whether x is a positive normal double, the domain of fast_log.
inline bool positive_normal(double x) {
  std::uint64_t u;
  std::memcpy(&u, &x, sizeof u);
  return u - 0x0010000000000000ULL < 0x7fe0000000000000ULL;
}

#if defined(__SSE2__)
// fast_log of two positive normal doubles at once, x0 in the low lane and
// x1 in the high one: fast_log_t<false>'s operations lane by lane, so each
// lane holds the bits fast_log gives.  The top byte t of the mantissa is
// below 256, so t >= kLogWrap is decided in the low 32 bits of each lane
// (the high ones compare 0 with 0).
[[gnu::always_inline]] inline __m128d fast_log_pair(double x0, double x1) {
  const __m128i u = _mm_castpd_si128(_mm_set_pd(x1, x0));
  const __m128i t = _mm_and_si128(_mm_srli_epi64(u, 44), _mm_set1_epi64x(0xff));
  const __m128i wrap = _mm_and_si128(_mm_cmpgt_epi32(t, _mm_set1_epi64x(kLogWrap - 1)), _mm_set1_epi64x(1));
  // The exponent plus wrap as a double, as the lanes form it: its bits
  // below those of 2^52, less 2^52 + 1023 (both steps exact).
  const __m128d ed = _mm_sub_pd(
      _mm_castsi128_pd(_mm_or_si128(_mm_add_epi64(_mm_srli_epi64(u, 52), wrap), _mm_set1_epi64x(0x4330000000000000LL))),
      _mm_set1_pd(0x1p52 + 1023.0));
  const __m128i uy = _mm_sub_epi64(
      _mm_or_si128(_mm_and_si128(u, _mm_set1_epi64x(0x000fffffffffffffLL)), _mm_set1_epi64x(0x3ff0000000000000LL)),
      _mm_slli_epi64(wrap, 52));
  const int t0 = _mm_cvtsi128_si32(t), t1 = _mm_cvtsi128_si32(_mm_shuffle_epi32(t, _MM_SHUFFLE(3, 2, 3, 2)));
  const __m128d c = _mm_loadh_pd(_mm_load_sd(&kLogTab[t0][0]), &kLogTab[t1][0]);
  const __m128d lc = _mm_loadh_pd(_mm_load_sd(&kLogTab[t0][1]), &kLogTab[t1][1]);
  const __m128d r = _mm_sub_pd(_mm_mul_pd(_mm_castsi128_pd(uy), c), _mm_set1_pd(1.0));
  const __m128d a = _mm_add_pd(_mm_mul_pd(ed, _mm_set1_pd(kLn2)), lc);
  const __m128d r2 = _mm_mul_pd(r, r);
  const __m128d lo = _mm_mul_pd(
      r2, _mm_sub_pd(_mm_add_pd(_mm_set1_pd(-0.5), _mm_mul_pd(r, _mm_set1_pd(0x1.5555555555555p-2))),
                     _mm_mul_pd(_mm_set1_pd(0.25), r2)));
  return _mm_add_pd(a, _mm_add_pd(r, lo));
}
#endif

// ---- Gamma ----------------------------------------------------------------

// The constants of the Cheng-Feast attempts for one shape a > 1.
struct GammaConsts {
  double a, c1, c2, c3, c4, d;
};

inline void gamma_consts(GammaConsts &k, double a) {
  k.a = a;
  k.d = a - 1.0;
  k.c1 = (a - 1.0 / (6.0 * a)) / k.d;
  k.c2 = 2.0 / k.d;
  k.c3 = k.c2 + 2.0;
  k.c4 = 1.0 / std::sqrt(a);
}

// The constants of the last shape seen: a run of equal shapes computes them
// once.
GammaConsts g_last = {-1.0, 0.0, 0.0, 0.0, 0.0, 0.0};

// The constants of the whole shapes 2 .. kWholeShapes - 1, those of the beta
// splits of the binomial sampler, formed when first met (a = 0: not yet).
constexpr int kWholeShapes = 2048;
GammaConsts g_whole[kWholeShapes];

inline const GammaConsts &whole_consts(int a) {
  GammaConsts &k = g_whole[a];
  if (!(k.a == static_cast<double>(a))) gamma_consts(k, static_cast<double>(a));
  return k;
}

// The logarithmic test c2 ln u1 - ln w + w < 1, decided by fast_log when its
// value is further from 1 than the bound on its difference from the value
// with cr_log, else by cr_log itself.  Here w = p / u1 rounded (p = c1 u2),
// and ln w is taken as ln p - ln u1, so that the logarithms wait for u1
// and u2 only, not for the division (and are made together, in two lanes,
// where there are SSE2 registers).  The rounding of the quotient moves
// ln(p / u1) by at most 2^-52.9, that of the difference by 2^-53 |ln w|,
// and cr_log(w) lies within 2^-53 |ln w| of ln w, so ln w is known to
// 2^-47 (|lp| + |l1|) + 2^-38 + 2^-52 |l2| + 2^-52.9, with each
// logarithm's bound from its value alone (2^-47 |l| + 2^-39).  The rest of
// the test makes the operations of the exact one in the same order, so
// each rounding moves the two values apart by at most 2^-52 of the operand
// magnitudes.  B doubles the sum of all of these, which also covers the
// rounding of v - 1 and of B: (|t1| + |l2| + |lp| + |l1|) 2^-45 +
// |w| 2^-49 + (c2 + 4) 2^-38 does (|lp| and |l1| take 2^-45 where 2^-46
// would do, and (c2 + 4) 2^-38 covers c2 2^-38 + 2^-37 + 2^-51.9).  Since
// |t1| <= c2 |l1| (1 + 2^-52), |l2| <= (|lp| + |l1|)(1 + 2^-52) and
// c2 + 2 <= c3 (1 + 2^-52), the first sum is at most (c3 |l1| + 2 |lp|)
// (1 + 2^-51), and B takes (c3 |l1| + 2 |lp|) 2^-44 instead: it waits for
// the logarithms alone, and is ready before v.
// The test by fast_log alone: 1 passed, 0 failed, -1 too close to say.
// Always inlined: it is the body of every attempt.
[[gnu::always_inline]] inline int fast_log_test(double c2, double c3, double u1, double p, double w) {
  double l1, lp;
#if defined(__SSE2__)
  if (positive_normal(u1) && positive_normal(p)) {
    const __m128d l = fast_log_pair(u1, p);
    l1 = _mm_cvtsd_f64(l);
    lp = _mm_cvtsd_f64(_mm_unpackhi_pd(l, l));
  } else
#endif
  {
    double e1, ep;  // NaN outside the domain: no decision
    l1 = fast_log(u1, e1);
    lp = fast_log(p, ep);
  }
  const double l2 = lp - l1;
  const double t1 = c2 * l1;
  const double v = (t1 - l2) + w;
  const double bound = g_exact_decisions ? HUGE_VAL
                                         : std::fabs(l1) * (c3 * 0x1p-44) +
                                               (std::fabs(lp) * 0x1p-43 + (std::fabs(w) * 0x1p-49 + (c2 + 4.0) * 0x1p-38));
  const double dv = v - 1.0;
  if (dv < -bound) return 1;
  if (dv >= bound) return 0;
  return -1;  // too close (or NaN)
}

inline bool exact_log_test(double c2, double u1, double w) { return c2 * cr_log(u1) - cr_log(w) + w < 1.0; }

// An attempt accepts by the quick test c2 u1 + w + 1/w <= c3 or by the
// logarithmic test.  The quick test is needed only where the fast
// logarithmic test cannot decide: where that test passes, the attempt
// accepts either way, and where it fails, so does the quick test.  For,
// as ln x <= x - 1, the quick sum Q = c2 u1 + w + 1/w exceeds c2 + 2 by at
// least V - 1, V being the logarithmic test's value with exact operations:
// Q - (c2 + 2) = (V - 1) + c2 (u1 - 1 - ln u1) + (1/w - 1 - ln(1/w)).
// The fast test's bound B doubles a bound on the distance between its
// value and the value with cr_log, made of each one's distance from V, so
// the fast value lies within B/2 of V; and B >= (c2 + 1) 2^-38 >=
// c3 2^-39.  So where the fast test fails (its value at least 1 + B),
// V - 1 >= c3 2^-40.  The quick test's three roundings and that of
// c3 = fl(c2 + 2) move it by at most 2^-51 Q + 2^-53 c3: less than V - 1
// where Q <= 2 c3, and less than Q - (c2 + 2) where Q > 2 c3.  So the
// quick test, as rounded, fails there too.  Where the fast test cannot
// decide, both tests are made as written.
inline bool close_attempt_accepts(const GammaConsts &k, double u1, double w) {
  return k.c2 * u1 + w + 1.0 / w <= k.c3 || exact_log_test(k.c2, u1, w);
}

// ---- Binomial waiting time --------------------------------------------------

// The waiting-time count on n >= 1 trials with q = -ln(1 - p), as written:
// exact logarithms throughout.
int waiting_exact(WHState &s, double p, int n) {
  const double trials = static_cast<double>(n);
  const double q = -cr_log(1.0 - p);
  double sum = -cr_log(rand_step(s)) / trials;
  if (sum > q) return 0;
  for (int m = n - 1; m > 0; --m) {
    sum = sum - cr_log(rand_step(s)) / static_cast<double>(m);
    if (sum > q) return n - m;
  }
  return n;
}

// The reciprocals fl(1/m) of the trial counts below kRecips (0 at m = 0),
// so that the fast loop multiplies where the exact one divides.
constexpr int kRecips = 1024;
struct RecipTable {
  double r[kRecips];
};
constexpr RecipTable make_recips() {
  RecipTable t{};
  for (int m = 1; m < kRecips; ++m) t.r[m] = 1.0 / static_cast<double>(m);
  return t;
}
constexpr RecipTable kRecip = make_recips();

// fl(1/m) for m >= 1: from the table, else by the division.
inline double recip(int m) { return m < kRecips ? kRecip.r[m] : 1.0 / static_cast<double>(m); }

// The exact loop from the saved state, the draws going on after it.
int waiting_restart(Draws &draws, WHState start, double p, int n) {
  const int count = waiting_exact(start, p, n);
  draws.restart(start);
  return count;
}

// The logarithms of the waiting time's uniforms: fast_log_single of each
// as it is drawn (StepLogs), or of kLogWindow at a time from a window of
// the stream made by `make` in vector lanes, with the same values
// (WindowLogs); done() consumes the uniforms whose logarithms were taken.
typedef void (*LogWindow)(const double *x, double *logs);
constexpr int kLogWindow = 8;

class StepLogs {
 public:
  StepLogs(Draws &draws, LogWindow) : draws_(draws) {}
  double next() {
    double err;
    return fast_log_single(draws_.next(), err);
  }
  void done() {}

 private:
  Draws &draws_;
};

class WindowLogs {
 public:
  WindowLogs(Draws &draws, LogWindow make) : draws_(draws), make_(make) { make_(draws_.window(kLogWindow), l_); }
  double next() {
    if (i_ == kLogWindow) {
      draws_.advance(kLogWindow);
      make_(draws_.window(kLogWindow), l_);
      i_ = 0;
    }
    return l_[i_++];
  }
  void done() { draws_.advance(i_); }

 private:
  Draws &draws_;
  LogWindow make_;
  alignas(64) double l_[kLogWindow];
  int i_ = 0;  // logarithms of the window taken
};

// waiting_exact's count with fast_log.  Only the comparisons with q depend on the
// logarithms, and the count is all that is returned, so the sum is carried
// with a bound E on its distance from the exact sum.  Its terms are L fl(1/m)
// rather than L/m: a term moves by at most e_L/m plus three roundings (of 1/m,
// of the product, and of the exact quotient), each addition by its two
// roundings (2^-53 of the magnitudes each), and q by its bound plus half an
// ulp.  E takes twice each amount, which also covers the rounding of E and of
// sum - q: 2 e_L/m from the value alone, below 2^-46 |term| (1 + 2^-52) +
// 2^-38 fl(1/m), and 2^-50 (2 |term| + |sum|) for the roundings, so
// 2^-45 |term| + 2^-50 |sum| + 2^-38 fl(1/m) per term.  A comparison closer
// than E restarts from the saved state with the exact loop, which consumes
// the same uniforms.
//
// After the first term, E is not carried term by term but bounded once for
// a run of up to kFlatRun terms, so that a term costs a product and two
// differences.  The terms are at most 0 and the sums at least 0, so the
// |term| of a run add up to at most S (1 + 2^-22), S the sum at its term
// (the sum's own roundings, for fewer than 2^31 terms), and its |sum| to at
// most kFlatRun S.  So within a run, E <= F + 2^-44 (1 + 2^-23) S, with F
// the bound before the run plus 2^-38 kFlatRun fl(1/m) of the run's last m
// (1/m grows as m falls).  The run compares with the constant
// C = (F + 2^-43 |q|) (1 + 2^-40): a sum that goes on (-d >= C) is below q,
// so E <= C there; a sum that stops (d > C) has S = q + d, and
// E <= F + 2^-43.99 (|q| + d) < d.  After the run, E <= (F + 2^-43 S)
// (1 + 2^-40).
constexpr int kFlatRun = 32;

template <class Logs>
int waiting_time(Draws &draws, double p, int n, LogWindow make = nullptr) {
  const WHState start = draws.state();
  Logs logs(draws, make);
  double eq;
  const double q = -fast_log(1.0 - p, eq);
  const double rn = recip(n);
  double sum = -(logs.next() * rn);
  double bound = 2.0 * eq + std::fabs(q) * 0x1p-50 + std::fabs(sum) * 0x1p-45 + rn * 0x1p-38;
  double d = sum - q;
  if (d > bound) {
    logs.done();
    return 0;
  }
  if (!(-d >= bound)) return waiting_restart(draws, start, p, n);
  int j = 1;  // the next term, on m = n - j trials
  while (j < n) {
    // Forced exact: runs of two, then a restart at the third term, so that
    // it follows consumed uniforms.
    const int last = std::min(j + (g_exact_decisions ? 2 : kFlatRun), n) - 1;
    const double f = bound + static_cast<double>(last - j + 1) * recip(n - last) * 0x1p-38;
    const double flat = g_exact_decisions && j >= 3 ? HUGE_VAL : (f + std::fabs(q) * 0x1p-43) * (1.0 + 0x1p-40);
    for (; j <= last; ++j) {
      sum = sum - logs.next() * recip(n - j);
      d = sum - q;
      if (d > flat) {
        logs.done();
        return j;
      }
      if (!(-d >= flat)) return waiting_restart(draws, start, p, n);
    }
    bound = (f + sum * 0x1p-43) * (1.0 + 0x1p-40);
  }
  logs.done();
  return n;
}

// The lanes' log_window where the processor has AVX2 (defined with the
// lanes below), else nullptr: waiting_time one logarithm at a time.
LogWindow g_log_window = nullptr;
int g_window_kind = 0;  // 0: not chosen yet; 1 none; 2 AVX2; 3 AVX-512's four lanes
void choose_log_window(int kind);

inline int waiting(Draws &draws, double p, int n) {
  if (g_window_kind == 0) choose_log_window(0);
  return g_log_window != nullptr ? waiting_time<WindowLogs>(draws, p, n, g_log_window)
                                 : waiting_time<StepLogs>(draws, p, n);
}

}  // namespace

// Rand: Wichmann and Hill (1982), Algorithm AS 183, Applied Statistics 31,
// 188-190.  Each component advances by x <- a*x mod m (a*x < 2^23, so int32
// arithmetic is exact); the three fractions x/m are summed in double, the sum
// is rounded to the nearest single-precision value, and its fractional part
// (exact in single precision) is returned.  The result lies on a float grid in
// [0, 1) and is exactly 0 when the rounded sum is a whole number.  The
// quotients are formed by products with the reciprocals, with the divisions
// kept for sums near a rounding boundary (rand_step): the same floats.
double Rand(WHState &s) {
  Draws draws(s);
  return draws.next();
}

// The Cheng-Feast attempts for the constants k (shape above 1), the draw
// scaled by boost * (a - 1).  Inlined where the array samplers spend their
// time: the binomial's beta splits, whose two draws follow each other on
// the stream, and gamma_draw with the array's constants (the multinomial
// and the mixed-shape array measured 1 to 3% faster so); a call everywhere
// else (gamma_attempts).
[[gnu::always_inline]] inline double gamma_attempts_inline(Draws &draws, const GammaConsts &k, double boost) {
  const double scale = boost * k.d;
  const bool squeeze = k.a > 2.5;
  for (;;) {
    // Two uniforms in every attempt, u1 first.
    double u1 = draws.next();
    double u2 = draws.next();
    // GKM2: move u1 into the parallelogram around the diagonal.
    if (squeeze) u1 = u2 + k.c4 * (1.0 - 1.86 * u1);
    if (u1 <= 0.0 || u1 >= 1.0) continue;
    const double p = k.c1 * u2;
    const double w = p / u1;
    // The quick test and the logarithmic one, decided by the fast form of
    // the logarithmic test alone wherever it can (close_attempt_accepts).
    const int fast = fast_log_test(k.c2, k.c3, u1, p, w);
    if (fast == 1) return scale * w;
    if (fast == 0) continue;
    if (close_attempt_accepts(k, u1, w)) return scale * w;
  }
}

static double gamma_attempts(Draws &draws, const GammaConsts &k, double boost) {
  return gamma_attempts_inline(draws, k, boost);
}

// The constants of two shapes at once: gamma_consts on each, in the two
// lanes of SSE2 registers where there are such.
static void gamma_consts2(GammaConsts &ka, double a, GammaConsts &kb, double b) {
#if defined(__SSE2__)
  const __m128d s = _mm_set_pd(b, a);
  const __m128d d = _mm_sub_pd(s, _mm_set1_pd(1.0));
  const __m128d c1 = _mm_div_pd(_mm_sub_pd(s, _mm_div_pd(_mm_set1_pd(1.0), _mm_mul_pd(_mm_set1_pd(6.0), s))), d);
  const __m128d c2 = _mm_div_pd(_mm_set1_pd(2.0), d);
  const __m128d c3 = _mm_add_pd(c2, _mm_set1_pd(2.0));
  const __m128d c4 = _mm_div_pd(_mm_set1_pd(1.0), _mm_sqrt_pd(s));
  alignas(16) double v[5][2];
  _mm_store_pd(v[0], d);
  _mm_store_pd(v[1], c1);
  _mm_store_pd(v[2], c2);
  _mm_store_pd(v[3], c3);
  _mm_store_pd(v[4], c4);
  ka = {a, v[1][0], v[2][0], v[3][0], v[4][0], v[0][0]};
  kb = {b, v[1][1], v[2][1], v[3][1], v[4][1], v[0][1]};
#else
  gamma_consts(ka, a);
  gamma_consts(kb, b);
#endif
}

// GammaRand: Gamma(a, 1) by the ratio-of-uniforms method of Cheng and Feast
// (1979), "Some simple gamma variate generators", Applied Statistics 28,
// 290-295: algorithm GKM1 for a <= 2.5, GKM2 (the uniforms squeezed into a
// parallelogram) above.  Shapes below 1 are raised by one and the draw scaled
// by U^(1/a) (Stuart's theorem).  Acceptance takes fewer than two attempts of
// two uniforms each on average.  The logarithmic test is decided by a fast
// logarithm with an error bound, falling back to cr_log when close.
static double gamma_draw(Draws &draws, double a, const GammaConsts *given = nullptr) {
  if (std::isnan(a)) return a;           // NaN: NaN, nothing drawn
  if (a < kTiny) return 0.0;             // zero, negative, tiny, -Inf: 0, nothing drawn
  if (a == HUGE_VAL) return a;           // +Inf: +Inf, nothing drawn (no attempt accepts)
  if (std::fabs(a - 1.0) < kTiny) return -cr_log(draws.next());  // exponential, one uniform

  // Shape below 1: one uniform for the boost U^(1/a), then shape a + 1.
  double boost = 1.0;
  if (a < 1.0) {
    double u = draws.next();
    boost = cr_exp(cr_log(u) / a);
    a = a + 1.0;
  }

  if (given != nullptr) return gamma_attempts_inline(draws, *given, boost);
  if (!(g_last.a == a)) gamma_consts(g_last, a);
  return gamma_attempts(draws, g_last, boost);
}

// The shape whose constants the attempts of gamma_draw(a) use (a + 1 below
// 1), or 2 (any shape will do) where there are no attempts.
inline double attempt_shape(double a) {
  if (!(a >= kTiny) || a == HUGE_VAL || std::fabs(a - 1.0) < kTiny) return 2.0;
  return a < 1.0 ? a + 1.0 : a;
}

// BetaRand: g1/(g1 + g2) with g1 = Gamma(a) drawn first, then g2 = Gamma(b).
// Both shapes below 2^-52 give 0/0 = NaN.  When both shapes go straight to
// the attempts (finite, above 1 + 2^-52), the constants of the two are
// formed together, lane by lane (the same operations on each).
static double beta_draw(Draws &draws, double a, double b) {
  if (a < HUGE_VAL && b < HUGE_VAL && a - 1.0 >= kTiny && b - 1.0 >= kTiny) {
    GammaConsts ka, kb;
    gamma_consts2(ka, a, kb, b);
    double g1 = gamma_attempts(draws, ka, 1.0);
    double g2 = gamma_attempts(draws, kb, 1.0);
    return g1 / (g1 + g2);
  }
  double g1 = gamma_draw(draws, a);
  double g2 = gamma_draw(draws, b);
  return g1 / (g1 + g2);
}

// BinoRand: Binomial(n, p).  Small n with p > 1/2 counts n uniforms below p;
// n*p >= 10 splits the trials at the k-th smallest of n uniforms, a
// Beta(k, n + 1 - k) draw, and goes on in the side that holds p (Knuth,
// TAOCP vol. 2, section 3.4.1; Ahrens and Dieter 1974, Computing 12,
// 223-246); the rest sums exponential spacings until they pass -ln(1 - p)
// (the waiting-time method, Devroye 1986, Non-Uniform Random Variate
// Generation, ch. X), costing one uniform more than the count returned.  The
// splits are a loop: each adds (or subtracts) its k to the count of the
// side it continues in.
[[gnu::always_inline]] inline int bino_body(Draws &draws, double p, int n) {
  int base = 0, sign = 1;  // the result is base + sign * (count of this stage)
  for (;;) {
    if (n < 0) return base;                  // no trials: 0, nothing drawn
    if (std::isnan(p)) return base;          // NaN: 0, nothing drawn
    if (p < kTiny) return base;              // negative or tiny: 0, nothing drawn
    if (p >= kAlmostOne) return base + sign * n;  // certain success: n, nothing drawn

    // Direct method: n uniforms, count those below p.
    if (p > 0.5 && n <= 14) {
      int count = 0;
      for (int i = 0; i < n; ++i)
        count += draws.next() < p ? 1 : 0;  // branch-free: the outcome is random
      return base + sign * count;
    }

    // Beta split at k = floor(p (n + 1)), 10 <= k <= n.  n + 1 is formed in
    // double so that n = 2^31 - 1 does not overflow.
    const double trials = static_cast<double>(n);
    if (trials * p >= 10.0) {
      const double kd = std::floor(p * (trials + 1.0));
      const int k = static_cast<int>(kd);
      const double kb = trials + 1.0 - kd;
      double y;
      if (trials < kWholeShapes && kb >= 2.0) {  // both shapes whole, from 2 to n: constants from the table
        const double g1 = gamma_attempts_inline(draws, whole_consts(k), 1.0);
        const double g2 = gamma_attempts_inline(draws, whole_consts(static_cast<int>(kb)), 1.0);
        y = g1 / (g1 + g2);
      } else {
        y = beta_draw(draws, kd, kb);
      }
      // p >= y: k + Binomial(n - k, (p - y)/(1 - y)); else
      // (k - 1) - Binomial(k - 1, (y - p)/y).  Either side is a coin toss,
      // so the side is taken without a branch: y - p is |p - y| when p < y
      // (rounding is symmetric), and the divisor is picked by a mask.
      const int upper = p >= y ? 1 : 0;
      const std::uint64_t mask = 0 - static_cast<std::uint64_t>(upper);
      const double one_less = 1.0 - y;
      std::uint64_t bu, by;
      std::memcpy(&bu, &one_less, sizeof bu);
      std::memcpy(&by, &y, sizeof by);
      const std::uint64_t bd = (bu & mask) | (by & ~mask);
      double den;
      std::memcpy(&den, &bd, sizeof den);
      base += sign * (k - 1 + upper);
      n = upper * (n - k) + (1 - upper) * (k - 1);
      sign = sign * (2 * upper - 1);
      p = std::fabs(p - y) / den;
      continue;
    }

    // Waiting time: the first spacing decides a count of 0, then one uniform
    // per further success.
    if (n == 0) {  // no trials: the first spacing alone, count 0
      draws.next();
      return base;
    }
    return base + sign * waiting(draws, p, n);
  }
}

// bino_body compiled twice: for the build's processor and for x86-64-v3
// (AVX2's three-operand encodings, BMI), chosen on first use where the
// processor has it (measured 2 to 3% faster on the multinomial).  The
// operations are the same (nothing is contracted into fused multiply-adds),
// so are the bits.  With GCC on x86-64 Linux.
static int bino_plain(Draws &draws, double p, int n) { return bino_body(draws, p, n); }
#if defined(GATEBOX_RANDOM_AVX) && !defined(__clang__)
#define GATEBOX_BINO_V3 1
__attribute__((target("arch=x86-64-v3"))) static int bino_v3(Draws &draws, double p, int n) {
  return bino_body(draws, p, n);
}
#endif

typedef int (*BinoDraw)(Draws &draws, double p, int n);
static int bino_first(Draws &draws, double p, int n);
static BinoDraw g_bino = bino_first;

// 1 the build's processor, 2 x86-64-v3 where this build and processor have
// it; 0 the best.  False (and no change) for a kind not there.
static bool choose_bino(int kind) {
  int best = 1;
#if defined(GATEBOX_BINO_V3)
  if (__builtin_cpu_supports("x86-64-v3")) best = 2;
#endif
  if (kind == 0) kind = best;
  if (kind < 1 || kind > best) return false;
  g_bino = bino_plain;
#if defined(GATEBOX_BINO_V3)
  if (kind == 2) g_bino = bino_v3;
#endif
  return true;
}

static int bino_first(Draws &draws, double p, int n) {
  choose_bino(0);
  return g_bino(draws, p, n);
}

inline int bino_draw(Draws &draws, double p, int n) { return g_bino(draws, p, n); }

double GammaRand(WHState &s, double a) {
  Draws draws(s);
  return gamma_draw(draws, a);
}

double BetaRand(WHState &s, double a, double b) {
  Draws draws(s);
  return beta_draw(draws, a, b);
}

int BinoRand(WHState &s, double p, int n) {
  Draws draws(s);
  return bino_draw(draws, p, n);
}

// ---- Gamma attempts in vector lanes -----------------------------------------

namespace {

// GammaRandArray's shapes go through in chunks: their constants are formed
// first, then the draws made.
constexpr std::size_t kChunk = 64;

// Forms the constants of the attempts of m <= kChunk shapes into k, two at a
// time (the divisions and square roots of many shapes overlap instead of
// waiting on each other); equal neighbours share them.
void chunk_consts(const double *a, std::size_t m, GammaConsts *k) {
  for (std::size_t j = 0; j < m; j += 2) {
    const double s0 = attempt_shape(a[j]);
    const double s1 = j + 1 < m ? attempt_shape(a[j + 1]) : s0;
    if (j > 0 && s0 == k[j - 1].a && s1 == s0) {
      k[j] = k[j - 1];
      k[j + 1] = k[j - 1];
    } else {
      gamma_consts2(k[j], s0, k[j + 1], s1);  // k has room for the pair
    }
  }
}

// The shapes whose draws are the Cheng-Feast attempts alone (after the
// boost below 1): finite, at least 2^-52, and not 1.
inline bool regular_shape(double a) { return a >= kTiny && a < HUGE_VAL && !(std::fabs(a - 1.0) < kTiny); }

#if defined(GATEBOX_RANDOM_AVX)
#define GATEBOX_RANDOM_LANES 1
// The lane helpers are always inlined into code compiled for their width,
// so the calling convention of wide vectors never applies.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"
#define GATEBOX_LANE inline __attribute__((always_inline))

// The lanes, once for each width: four (AVX2) and eight (AVX-512).
#pragma GCC push_options
#pragma GCC target("avx2")
namespace lanes4 {
typedef double V __attribute__((vector_size(32)));
typedef std::int64_t VI __attribute__((vector_size(32)));
typedef std::uint64_t VU __attribute__((vector_size(32)));
constexpr int N = 4;
GATEBOX_LANE V gather(const double *base, VU i) {
  return reinterpret_cast<V>(_mm256_i64gather_pd(base, reinterpret_cast<__m256i>(i), 8));
}
GATEBOX_LANE unsigned mask(VI m) { return static_cast<unsigned>(_mm256_movemask_pd(reinterpret_cast<__m256d>(m))); }
#include "random_lanes.inc"

// fast_log's values of the kLogWindow doubles x, four lanes at a time.
GATEBOX_LANE void log_window(const double *x, double *logs) {
  for (int j = 0; j < kLogWindow; j += N) {
    V v;
    std::memcpy(&v, x + j, sizeof v);
    const V l = log(v);
    std::memcpy(logs + j, &l, sizeof l);
  }
}
}  // namespace lanes4
#pragma GCC pop_options

#pragma GCC push_options
#pragma GCC target("avx512f,avx512dq")
namespace lanes8 {
typedef double V __attribute__((vector_size(64)));
typedef std::int64_t VI __attribute__((vector_size(64)));
typedef std::uint64_t VU __attribute__((vector_size(64)));
constexpr int N = 8;
GATEBOX_LANE V gather(const double *base, VU i) {
  return reinterpret_cast<V>(_mm512_mask_i64gather_pd(_mm512_setzero_pd(), 0xff, reinterpret_cast<__m512i>(i), base, 8));
}
GATEBOX_LANE unsigned mask(VI m) { return static_cast<unsigned>(_mm512_movepi64_mask(reinterpret_cast<__m512i>(m))); }
#include "random_lanes.inc"
}  // namespace lanes8
#pragma GCC pop_options

// fast_log's values of the kLogWindow doubles x, in four lanes: with AVX2,
// and with AVX-512's encodings of the same four-lane operations, whose 32
// registers hold the logarithm's constants without spills (measured about
// 1% faster on the multinomial; the same operations, so the same values).
__attribute__((target("avx2"))) void log_window_avx2(const double *x, double *logs) { lanes4::log_window(x, logs); }
__attribute__((target("avx2,avx512f,avx512vl,avx512dq"))) void log_window_avx512vl(const double *x, double *logs) {
  lanes4::log_window(x, logs);
}

__attribute__((target("avx2"))) void gamma_run_avx2(Draws &draws, const GammaConsts &k, double *x, std::size_t n) {
  lanes4::equal_run(draws, k, x, n);
}
__attribute__((target("avx512f,avx512dq"))) void gamma_run_avx512(Draws &draws, const GammaConsts &k, double *x,
                                                                  std::size_t n) {
  lanes8::equal_run(draws, k, x, n);
}
#pragma GCC diagnostic pop
#endif

// 0: not chosen yet; 1 one element at a time; 2 four lanes (AVX2); 3 eight
// lanes (AVX-512).
int g_gamma_kind = 0;

int choose_gamma() {
#if defined(GATEBOX_RANDOM_LANES)
  if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq")) return 3;
  if (__builtin_cpu_supports("avx2")) return 2;
#endif
  return 1;
}

// The four lanes wherever there are lanes: measured on a processor with
// AVX-512, the eight-lane logarithm made the waiting time slower than one
// logarithm at a time, the four lanes faster.  3 where the processor has
// AVX-512's encodings of them, else 2 where it has AVX2, else 1.
int choose_window() {
#if defined(GATEBOX_RANDOM_LANES)
  if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512dq"))
    return 3;
  if (__builtin_cpu_supports("avx2")) return 2;
#endif
  return 1;
}

void choose_log_window(int kind) {
  if (kind == 0) kind = choose_window();
  g_window_kind = kind;
  g_log_window = nullptr;
#if defined(GATEBOX_RANDOM_LANES)
  if (kind == 2) g_log_window = log_window_avx2;
  if (kind == 3) g_log_window = log_window_avx512vl;
#endif
}

}  // namespace

// The array forms: one sampler call per element, in order, on one run of
// draws (the stream state is written back once, at the end).
// GammaRandArray forms the constants of a chunk of shapes first.  Where the
// processor has AVX2 or AVX-512, a run of two or more equal shapes of 1 or
// more goes through equal_run, its attempts in vector lanes (the run may go
// on past the chunk: its constants are those of its first shape); every other
// element is drawn by gamma_draw.
void GammaRandArray(const double *a, double *x, std::size_t count) {
  Draws draws(g_state);
  draws.wide();
  if (g_gamma_kind == 0) g_gamma_kind = choose_gamma();
  void (*run)(Draws &, const GammaConsts &, double *, std::size_t) = nullptr;
#if defined(GATEBOX_RANDOM_LANES)
  if (g_gamma_kind == 3) run = gamma_run_avx512;
  if (g_gamma_kind == 2) run = gamma_run_avx2;
#endif
  GammaConsts k[kChunk];
  std::size_t i0 = 0;
  while (i0 < count) {
    const std::size_t m = count - i0 < kChunk ? count - i0 : kChunk;
    chunk_consts(a + i0, m, k);
    std::size_t next = i0 + m;
    for (std::size_t j = 0; j < m;) {
      const double aj = a[i0 + j];
      if (run != nullptr && i0 + j + 1 < count && a[i0 + j + 1] == aj && aj > 1.0 && regular_shape(aj)) {
        std::size_t e = i0 + j + 2;
        while (e < count && a[e] == aj) ++e;
        run(draws, k[j], x + i0 + j, e - (i0 + j));
        if (e >= i0 + m) {
          next = e;
          break;
        }
        j = e - i0;
      } else {
        x[i0 + j] = gamma_draw(draws, aj, &k[j]);
        ++j;
      }
    }
    i0 = next;
  }
}

void BinoRandArray(const double *p, int n, double *r, std::size_t count) {
  Draws draws(g_state);
  for (std::size_t i = 0; i < count; ++i) r[i] = bino_draw(draws, p[i], n);
}

// The chain of conditional binomials of each column on one run of draws:
// category k gets bino_draw(p(k)/r, a) of the a trials left, r being the
// mass left from exactly 1; the state is written back once, at the end.
// Some hundred uniforms a column: the block is refilled wide.  The
// conditional probabilities p(k)/r and the category where the mass left
// runs out depend on p alone: they are formed first, kChain categories at a
// time, so that no binomial waits on a division.
void MultinomialRand(WHState &s, const double *p, std::size_t m, std::size_t columns, int trials, double *counts,
                     bool stop_at_nan) {
  constexpr std::size_t kChain = 32;
  Draws draws(s);
  draws.wide();
  double cond[kChain];
  for (std::size_t j = 0; j < columns; ++j, p += m, counts += m) {
    double r = 1.0;
    int a = trials;
    bool stopped = false;
    for (std::size_t k0 = 0; k0 + 1 < m && !stopped; k0 += kChain) {
      const std::size_t k1 = m - 1 - k0 < kChain ? m - 1 : k0 + kChain;
      std::size_t end = k1;  // categories k0 .. end - 1 are drawn
      for (std::size_t k = k0; k < k1; ++k) {
        cond[k - k0] = p[k] / r;
        r = r - p[k];
        if (r == 0.0 || (stop_at_nan && std::isnan(r))) {
          end = k + 1;
          stopped = true;
          break;
        }
      }
      for (std::size_t k = k0; k < end; ++k) {
        const int b = bino_draw(draws, cond[k - k0], a);
        counts[k] = b;
        a = a - b;
      }
      if (stopped) {
        for (std::size_t i = end; i < m; ++i) counts[i] = 0.0;
      }
    }
    if (!stopped) counts[m - 1] = a;
  }
}

double Rand() { return Rand(g_state); }
double GammaRand(double a) { return GammaRand(g_state, a); }
double BetaRand(double a, double b) { return BetaRand(g_state, a, b); }
int BinoRand(double p, int n) { return BinoRand(g_state, p, n); }
WHState &LibraryStream() { return g_state; }

namespace gatebox_random_test {
void set_exact_decisions(bool on) { g_exact_decisions = on; }
bool set_uniform_path(int kind) {
  g_pos = g_len;  // the cached block was made by another path
  if (kind == 0) {
    g_fill_kind = choose_fill();
    return true;
  }
  if (kind < 1 || kind > choose_fill()) return false;
  g_fill_kind = kind;
  return true;
}
bool set_gamma_path(int kind) {
  if (kind == 0) {
    g_gamma_kind = choose_gamma();
    return true;
  }
  if (kind < 1 || kind > choose_gamma()) return false;
  g_gamma_kind = kind;
  return true;
}
bool set_binomial_path(int kind) { return choose_bino(kind); }
bool set_waiting_path(int kind) {
  if (kind < 0 || kind > choose_window()) return false;
  choose_log_window(kind);
  return true;
}
double fast_log(double x, double &err) { return ::fast_log(x, err); }
double fast_log_single(float x, double &err) { return ::fast_log_single(x, err); }
int gamma_log_test(double c2, double u1, double p) { return ::fast_log_test(c2, c2 + 2.0, u1, p, p / u1); }
}  // namespace gatebox_random_test

// ---- Reading, setting and seeding the library's stream ----------------------

WHState RandState() { return g_state; }

bool ValidState(const WHState &s) {
  return s.ix >= 1 && s.ix <= 30268 && s.iy >= 1 && s.iy <= 30306 && s.iz >= 1 && s.iz <= 30322;
}

void SetRandState(const WHState &s) {
  if (ValidState(s)) g_state = s;
}

// SeedState: seed k to a state by SplitMix64 (Steele, Lea and Flood 2014,
// "Fast splittable pseudorandom number generators", OOPSLA; the mixing
// function and constants of Java's SplittableRandom and of Vigna's
// splitmix64.c).  The 64-bit counter starts at k; each of three steps adds
// the golden gamma 0x9e3779b97f4a7c15 and mixes the counter
// (z ^= z >> 30, z *= 0xbf58476d1ce4e5b9, z ^= z >> 27,
// z *= 0x94d049bb133111eb, z ^= z >> 31).  The three outputs, in order,
// become ix = 1 + z1 mod 30268, iy = 1 + z2 mod 30306, iz = 1 + z3 mod 30322
// (the bias of the reduction is below 2^-49).  Unsigned 64-bit integer
// arithmetic only, so every build gives the same state.  The mixer is a
// bijection of the counter, so nearby seeds give unrelated states; seed 0
// is the load-time state, not a mixed one.
WHState SeedState(std::uint32_t k) {
  if (k == 0) return kWHInitialState;
  std::uint64_t counter = k;
  auto next = [&counter]() {
    counter += 0x9e3779b97f4a7c15ULL;
    std::uint64_t z = counter;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
  };
  WHState s;
  s.ix = static_cast<int32_t>(1 + next() % 30268);
  s.iy = static_cast<int32_t>(1 + next() % 30306);
  s.iz = static_cast<int32_t>(1 + next() % 30322);
  return s;
}
