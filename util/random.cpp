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
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// 2^-52: shapes and probabilities below it are treated as zero.
const double kTiny = 2.220446049250313e-16;
// 1 - 2^-52: probabilities from here on are treated as certain success.
const double kAlmostOne = 0.9999999999999998;

WHState g_state = kWHInitialState;

}  // namespace

// Rand: Wichmann and Hill (1982), Algorithm AS 183, Applied Statistics 31,
// 188-190.  Each component advances by x <- a*x mod m (a*x < 2^23, so int32
// arithmetic is exact); the three fractions x/m are summed in double, the sum
// is rounded to the nearest single-precision value, and its fractional part
// (exact in single precision) is returned.  The result lies on a float grid in
// [0, 1) and is exactly 0 when the rounded sum is a whole number.  With SSE2
// the first two quotients share one packed division (the same IEEE quotients:
// division dominates the cost of a draw).
double Rand(WHState &s) {
  s.ix = (171 * s.ix) % 30269;
  s.iy = (172 * s.iy) % 30307;
  s.iz = (170 * s.iz) % 30323;
#if defined(__SSE2__)
  __m128d q = _mm_div_pd(_mm_set_pd(static_cast<double>(s.iy), static_cast<double>(s.ix)),
                         _mm_set_pd(30307.0, 30269.0));
  double sum = (_mm_cvtsd_f64(q) + _mm_cvtsd_f64(_mm_unpackhi_pd(q, q))) + static_cast<double>(s.iz) / 30323.0;
#else
  double sum = static_cast<double>(s.ix) / 30269.0 + static_cast<double>(s.iy) / 30307.0 +
               static_cast<double>(s.iz) / 30323.0;
#endif
  float f = static_cast<float>(sum);
  return static_cast<double>(f - static_cast<float>(static_cast<int>(f)));
}

// GammaRand: Gamma(a, 1) by the ratio-of-uniforms method of Cheng and Feast
// (1979), "Some simple gamma variate generators", Applied Statistics 28,
// 290-295: algorithm GKM1 for a <= 2.5, GKM2 (the uniforms squeezed into a
// parallelogram) above.  Shapes below 1 are raised by one and the draw scaled
// by U^(1/a) (Stuart's theorem).  Acceptance takes fewer than two attempts of
// two uniforms each on average.
double GammaRand(WHState &s, double a) {
  if (std::isnan(a)) return a;           // NaN: NaN, nothing drawn
  if (a < kTiny) return 0.0;             // zero, negative, tiny, -Inf: 0, nothing drawn
  if (a == HUGE_VAL) return a;           // +Inf: +Inf, nothing drawn (no attempt accepts)
  if (std::fabs(a - 1.0) < kTiny) return -cr_log(Rand(s));  // exponential, one uniform

  // Shape below 1: one uniform for the boost U^(1/a), then shape a + 1.
  double boost = 1.0;
  if (a < 1.0) {
    double u = Rand(s);
    boost = cr_exp(cr_log(u) / a);
    a = a + 1.0;
  }

  const double d = a - 1.0;
  const double c1 = (a - 1.0 / (6.0 * a)) / d;
  const double c2 = 2.0 / d;
  const double c3 = c2 + 2.0;
  const double c4 = 1.0 / std::sqrt(a);
  const double scale = boost * d;
  const bool squeeze = a > 2.5;

  for (;;) {
    // Two uniforms in every attempt, u1 first.
    double u1 = Rand(s);
    double u2 = Rand(s);
    // GKM2: move u1 into the parallelogram around the diagonal.
    if (squeeze) u1 = u2 + c4 * (1.0 - 1.86 * u1);
    if (u1 <= 0.0 || u1 >= 1.0) continue;
    double w = c1 * u2 / u1;
    // Quick acceptance, then the exact logarithmic test.
    if (c2 * u1 + w + 1.0 / w <= c3) return scale * w;
    if (c2 * cr_log(u1) - cr_log(w) + w < 1.0) return scale * w;
  }
}

// BetaRand: g1/(g1 + g2) with g1 = Gamma(a) drawn first, then g2 = Gamma(b).
// Both shapes below 2^-52 give 0/0 = NaN.
double BetaRand(WHState &s, double a, double b) {
  double g1 = GammaRand(s, a);
  double g2 = GammaRand(s, b);
  return g1 / (g1 + g2);
}

// BinoRand: Binomial(n, p).  Small n with p > 1/2 counts n uniforms below p;
// n*p >= 10 splits the trials at the k-th smallest of n uniforms, a
// Beta(k, n + 1 - k) draw, and recurses into the side that holds p (Knuth,
// TAOCP vol. 2, section 3.4.1; Ahrens and Dieter 1974, Computing 12,
// 223-246); the rest sums exponential spacings until they pass -ln(1 - p)
// (the waiting-time method, Devroye 1986, Non-Uniform Random Variate
// Generation, ch. X), costing one uniform more than the count returned.  The
// trial count shrinks at every split, so the recursion is shallow.
int BinoRand(WHState &s, double p, int n) {
  if (n < 0) return 0;                 // no trials: 0, nothing drawn
  if (std::isnan(p)) return 0;         // NaN: 0, nothing drawn
  if (p < kTiny) return 0;             // negative or tiny: 0, nothing drawn
  if (p >= kAlmostOne) return n;       // certain success: n, nothing drawn

  // Direct method: n uniforms, count those below p.
  if (p > 0.5 && n <= 14) {
    int count = 0;
    for (int i = 0; i < n; ++i)
      if (Rand(s) < p) ++count;
    return count;
  }

  // Beta split at k = floor(p (n + 1)), 10 <= k <= n.  n + 1 is formed in
  // double so that n = 2^31 - 1 does not overflow.
  const double trials = static_cast<double>(n);
  if (trials * p >= 10.0) {
    const double kd = std::floor(p * (trials + 1.0));
    const int k = static_cast<int>(kd);
    const double y = BetaRand(s, kd, trials + 1.0 - kd);
    if (p >= y) return k + BinoRand(s, (p - y) / (1.0 - y), n - k);
    return (k - 1) - BinoRand(s, (y - p) / y, k - 1);
  }

  // Waiting time: the first spacing decides a count of 0, then one uniform
  // per further success.
  const double q = -cr_log(1.0 - p);
  double sum = -cr_log(Rand(s)) / trials;
  if (sum > q) return 0;
  for (int m = n - 1; m > 0; --m) {
    sum = sum - cr_log(Rand(s)) / static_cast<double>(m);
    if (sum > q) return n - m;
  }
  return n;
}

double Rand() { return Rand(g_state); }
double GammaRand(double a) { return GammaRand(g_state, a); }
double BetaRand(double a, double b) { return BetaRand(g_state, a, b); }
int BinoRand(double p, int n) { return BinoRand(g_state, p, n); }
WHState &LibraryStream() { return g_state; }

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
