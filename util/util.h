// gatebox support library: special functions, random variates, Pochhammer
// sums and small helpers.  Every gateway library that links it carries its
// own copy, with its own generator state and caches.  The routines know
// nothing of any host array; they take and return plain values.
#pragma once

// ---- Special functions (gammafns.cpp) -------------------------------------

// ln Gamma(x) for x > 0 (Cody's rational approximations).
double gammaln(double x);
// psi(x), the derivative of ln Gamma, for every real x that is not a pole.
double digamma(double x);
// psi'(x), the second derivative of ln Gamma, for every real x that is not a pole.
double trigamma(double x);
// Cody's coefficients of the asymptotic series of ln Gamma (Stirling's
// series), shared by gammaln and the gamma kernel; index 6 the leading term.
extern const double kCodyStirling[7];

// ---- Pochhammer sums (pochhammer.cpp) --------------------------------------
// Sums over the n arguments x, x + 1, ..., x + n - 1, for n >= 0 (n = 0
// gives 0 without looking at x; a negative n gives NaN and changes nothing):
//   pochhammer      sum ln(x + k), the log of the rising factorial
//   di_pochhammer   sum 1/(x + k)
//   tri_pochhammer  -sum 1/(x + k)^2
// The cached forms keep the partial sums of the last x they were called with
// (up to 200 terms, one cache per family, static in the library that links
// util); above 200 terms they use gammaln, digamma or trigamma differences
// and leave the cache alone.  The slow_ forms keep no state and use the
// differences above 20 terms; slow_pochhammer takes the log of the product.
double pochhammer(double x, int n);
double di_pochhammer(double x, int n);
double tri_pochhammer(double x, int n);
double slow_pochhammer(double x, int n);
double slow_di_pochhammer(double x, int n);
double slow_tri_pochhammer(double x, int n);

// Read-only view of one family's cache, and a return to the load-time state
// (every cache empty): for tests and diagnostics.
enum class PochhammerFamily { log, di, tri };
struct PochhammerCacheView {
  double x;          // the argument of the cached sums (-1 when empty)
  int max_cached;    // number of valid partial sums, 0 .. 200
  const double *v;   // v[k - 1]: the sum of the first k terms
};
PochhammerCacheView pochhammer_cache(PochhammerFamily family);
void pochhammer_reset_caches();

// ---- Log-sum and sorted membership (helpers.cpp) ----------------------------
#include <cstddef>
#include <cstdint>

// ln(e^a + e^b), computed without overflow; see helpers.cpp for NaN and inf.
double logSum(double a, double b);

#if !defined(GATEBOX_WINDOWS_BEHAVIOUR)
// Flags, one per element of the ascending array a (na elements): 1 when it
// occurs in the ascending array s (ns elements), else 0.  The flags come from
// the host allocator (mxCalloc); the caller owns them and may mxFree them.
// Linux builds only: the Windows builds of the library do not contain it.
std::int32_t *ismember_sorted(const double *a, std::size_t na, const double *s, int ns);
#endif
// ---- Random variates (random.cpp) -----------------------------------------
// One Wichmann-Hill uniform stream per library, turned into gamma, beta and
// binomial variates.  The order in which every sampler consumes uniforms is
// part of its contract: a given state yields one fixed sequence of variates.

#include <cstdint>

// The generator's three multiplicative congruential components, each kept
// in 1 .. m-1 of its modulus (30269, 30307, 30323).
struct WHState {
  int32_t ix, iy, iz;
};
// The state every library's stream starts from when the library is loaded.
inline constexpr WHState kWHInitialState = {101, 1001, 10001};

// The samplers on an explicit state (for tests and callers with a stream of
// their own).  Rand: uniform on [0, 1) on a single-precision grid.
// GammaRand: shape a, unit scale.  BetaRand: Beta(a, b) as g1/(g1 + g2).
// BinoRand: successes in n trials of probability p, an int in 0 .. n.
double Rand(WHState &state);
double GammaRand(WHState &state, double a);
double BetaRand(WHState &state, double a, double b);
int BinoRand(WHState &state, double p, int n);

// The same samplers on the library's own stream.  It starts from
// kWHInitialState when the library is loaded and changes by drawing, or
// when SetRandState sets it.
double Rand();
double GammaRand(double a);
double BetaRand(double a, double b);
int BinoRand(double p, int n);
// Array forms on the library's stream: x[i] = GammaRand(a[i]) and
// r[i] = BinoRand(p[i], n) for i = 0 .. count - 1 in order, the same draws
// as those calls one by one.
void GammaRandArray(const double *a, double *x, std::size_t count);
void BinoRandArray(const double *p, int n, double *r, std::size_t count);
// The multinomial counts of `columns` columns of m >= 1 category
// probabilities each (p and counts hold the columns one after the other),
// `trials` trials a column, as the chain of conditional binomials (BinoRand)
// that the kernels' MultiRand describes: the same draws as those BinoRand
// calls one by one on s.
void MultinomialRand(WHState &s, const double *p, std::size_t m, std::size_t columns, int trials, double *counts,
                     bool stop_at_nan);
// The library's own stream itself, for samplers that take a state (the
// kernels' MultiRand): drawing from it is drawing from the library's stream.
WHState &LibraryStream();

// The library's stream state: read it, and set it (the caller checks the
// state with ValidState first; an invalid one is ignored).
WHState RandState();
void SetRandState(const WHState &state);
// True when each component lies in 1 .. m - 1 of its modulus.
bool ValidState(const WHState &state);
// The valid state that seed k (1 .. 2^32 - 1) stands for, by a fixed integer
// mapping (splitmix64, see random.cpp); seed 0 stands for kWHInitialState.
WHState SeedState(std::uint32_t k);

// Test hooks of random.cpp.  set_exact_decisions(true) makes every
// comparison that a fast value would decide (the rounded uniform sums, the
// logarithmic tests, the waiting-time sums) go the exact way, as happens
// near a boundary; the streams are the same either way (and on every
// uniform path).  fast_log is the
// bounded logarithm behind those decisions: log x within err, or NaN for x
// that is not a positive normal double.
namespace gatebox_random_test {
void set_exact_decisions(bool on);
// The code that makes the blocks of uniforms: 1 portable, 2 SSE2, 3 AVX,
// 0 the one chosen for this processor.  False (and no change) when this
// build or processor lacks it.
bool set_uniform_path(int kind);
// The way GammaRandArray makes its attempts: 1 one element at a time, 2 in
// four lanes (AVX2), 3 in eight lanes (AVX-512), 0 the one chosen for this
// processor.  False (and no change) when this build or processor lacks it.
bool set_gamma_path(int kind);
// The binomial's code: 1 compiled for the build's processor, 2 for
// x86-64-v3, 0 the one chosen for this processor; false (and no change)
// when this build or processor lacks it.
bool set_binomial_path(int kind);
// The way the binomial waiting time takes its logarithms: 1 one at a time,
// 2 eight ahead in four lanes (AVX2), 3 the same with AVX-512's encodings,
// 0 the one chosen for this processor; false (and no change) when this
// build or processor lacks it.
bool set_waiting_path(int kind);
double fast_log(double x, double &err);
// The same for an argument of single precision (as every uniform is).
double fast_log_single(float x, double &err);
// The gamma attempts' logarithmic test c2 ln u1 - ln w + w < 1, w = p / u1
// rounded, as decided without cr_log: 1 passed, 0 failed, -1 left to the
// exact test.
int gamma_log_test(double c2, double u1, double p);
}  // namespace gatebox_random_test
