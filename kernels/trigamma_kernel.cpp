// trigamma over an array: psi'(x[i]) for every element, bit for bit the
// support library's trigamma.
//
// The positive arguments above 1e-4 take only additions, multiplications and
// divisions: the recurrence psi'(x) = psi'(x + 1) + 1/x^2 up to x >= 8, then
// the asymptotic expansion (Abramowitz and Stegun 6.4.12).  Those run several
// elements per vector instruction, every lane doing exactly the operations of
// the scalar routine in the same order; with contraction off a lane's result
// is the scalar result.  Every other argument (NaN, infinities below zero,
// poles, the reflection, the small-argument series) goes to the scalar
// routine.
//
// The division throughput bounds the loop, so the vectors take no recurrence
// step most lanes do not need: the expansion runs over a whole block (exact
// for the lanes at or above 8) while the lanes below 8 are collected; these
// are then packed into vectors of their own, which take the recurrence steps
// and the expansion again.
#include "kernels.h"

#include "simd.h"

#if defined(__SSE2__) || defined(GATEBOX_SIMD_WIDE)
#include <immintrin.h>
#endif

namespace {

using gatebox::simd::Isa;
using gatebox::simd::v2d;
using gatebox::simd::v4d;
using gatebox::simd::v8d;

// Coefficients of the asymptotic expansion after 1/x + 1/(2x^2): the
// Bernoulli numbers B_2k for k = 1 .. 5 (1/6, -1/30, 1/42, -1/30, 5/66).
const double kB[5] = {0.16666666666666666, -0.03333333333333333, 0.023809523809523808, -0.03333333333333333,
                      0.07575757575757576};
const double kRecurrenceEnd = 8.0;  // the recurrence stops at x >= 8
const double kSeriesEnd = 1e-4;     // the small-argument series up to here
constexpr int kMaxSteps = 8;        // steps from (1e-4, 8) to 8 at most

// Elements per block: the block's scratch (a few arrays of this size) stays
// in the first-level cache.
constexpr std::size_t kBlock = 512;

// Appends the flagged lanes of v one by one, without a branch: every lane is
// written, the count advances past the flagged ones only.
template <int W, class V>
GATEBOX_INLINE std::size_t set_aside_lanes(unsigned flags, const V &v, std::size_t first, double *pending_x,
                                           std::size_t *pending_at, std::size_t np) {
#pragma GCC unroll 8
  for (int l = 0; l < W; ++l) {
    pending_x[np] = v[l];
    pending_at[np] = first + static_cast<std::size_t>(l);
    np += flags >> l & 1u;
  }
  return np;
}

// 32-bit Windows callers keep the stack 4-byte aligned only: the 128-bit
// lanes realign it on entry before they spill a vector there.
#if defined(_WIN32) && defined(__i386__)
#define GATEBOX_LANES_ENTRY __attribute__((force_align_arg_pointer))
#else
#define GATEBOX_LANES_ENTRY
#endif

#if defined(__SSE2__)
namespace base {
typedef v2d V;
constexpr int W = 2;
typedef decltype(V{} < V{}) M;
GATEBOX_INLINE unsigned bits(M m) { return static_cast<unsigned>(_mm_movemask_pd(reinterpret_cast<__m128d>(m))); }
GATEBOX_INLINE std::size_t set_aside(unsigned flags, const V &v, std::size_t first, double *pending_x,
                                     std::size_t *pending_at, std::size_t np) {
  return set_aside_lanes<W>(flags, v, first, pending_x, pending_at, np);
}
#include "trigamma_lanes.inc"
}  // namespace base
#endif

#ifdef GATEBOX_SIMD_WIDE
#pragma GCC push_options
#pragma GCC target("avx2")
namespace avx2 {
typedef v4d V;
constexpr int W = 4;
typedef decltype(V{} < V{}) M;
GATEBOX_INLINE unsigned bits(M m) { return static_cast<unsigned>(_mm256_movemask_pd(reinterpret_cast<__m256d>(m))); }

// For each 4-bit lane mask, the 32-bit permutation that moves the flagged
// 64-bit lanes to the front in order.
struct Compress {
  int idx[16][8];
  constexpr Compress() : idx() {
    for (int m = 0; m < 16; ++m) {
      int o = 0;
      for (int l = 0; l < 4; ++l)
        if (m >> l & 1) {
          idx[m][o++] = 2 * l;
          idx[m][o++] = 2 * l + 1;
        }
      for (; o < 8; ++o) idx[m][o] = 0;
    }
  }
};
constexpr Compress kCompress;

GATEBOX_INLINE std::size_t set_aside(unsigned flags, const V &v, std::size_t first, double *pending_x,
                                     std::size_t *pending_at, std::size_t np) {
  const __m256i perm = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(kCompress.idx[flags]));
  const __m256i at = _mm256_add_epi64(_mm256_set1_epi64x(static_cast<long long>(first)), _mm256_set_epi64x(3, 2, 1, 0));
  _mm256_storeu_pd(pending_x + np,
                   _mm256_castps_pd(_mm256_permutevar8x32_ps(_mm256_castpd_ps(reinterpret_cast<__m256d>(v)), perm)));
  _mm256_storeu_si256(reinterpret_cast<__m256i *>(pending_at + np), _mm256_permutevar8x32_epi32(at, perm));
  return np + static_cast<std::size_t>(__builtin_popcount(flags));
}
#include "trigamma_lanes.inc"
}  // namespace avx2
#pragma GCC pop_options

#pragma GCC push_options
#pragma GCC target("avx512f")
namespace avx512 {
typedef v8d V;
constexpr int W = 8;
typedef decltype(V{} < V{}) M;
GATEBOX_INLINE unsigned bits(M m) {
  const __m512i mi = reinterpret_cast<__m512i>(m);
  return static_cast<unsigned>(_mm512_test_epi64_mask(mi, mi));
}
// The flagged lanes compressed to the front in a register, then stored whole
// (a compressing store to memory is slow on some processors).
GATEBOX_INLINE std::size_t set_aside(unsigned flags, const V &v, std::size_t first, double *pending_x,
                                     std::size_t *pending_at, std::size_t np) {
  const __mmask8 k = static_cast<__mmask8>(flags);
  const __m512i at = _mm512_add_epi64(_mm512_set1_epi64(static_cast<long long>(first)),
                                      _mm512_set_epi64(7, 6, 5, 4, 3, 2, 1, 0));
  _mm512_storeu_pd(pending_x + np, _mm512_maskz_compress_pd(k, reinterpret_cast<__m512d>(v)));
  _mm512_storeu_si512(pending_at + np, _mm512_maskz_compress_epi64(k, at));
  return np + static_cast<std::size_t>(__builtin_popcount(flags));
}
#include "trigamma_lanes.inc"
}  // namespace avx512
#pragma GCC pop_options
#endif

}  // namespace

namespace gatebox {

void trigamma_array(simd::Isa isa, const double *x, double *y, std::size_t n) {
  switch (isa) {
#ifdef GATEBOX_SIMD_WIDE
    case Isa::avx512:
      avx512::trigamma_lanes(x, y, n);
      return;
    case Isa::avx2:
      avx2::trigamma_lanes(x, y, n);
      return;
#endif
#if defined(__SSE2__)
    case Isa::base:
      base::trigamma_lanes(x, y, n);
      return;
#endif
    default:
      for (std::size_t i = 0; i < n; ++i) y[i] = trigamma(x[i]);
      return;
  }
}

void trigamma_array(const double *x, double *y, std::size_t n) { trigamma_array(simd::widest(), x, y, n); }

}  // namespace gatebox
