// The bin count and the tally behind tallybins.
#include "kernels.h"

#include <cstring>
#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#include <xmmintrin.h>
#endif

#include "simd.h"
#ifdef GATEBOX_SIMD_WIDE
#include <smmintrin.h>
#endif

namespace gatebox {

std::int32_t to_int32(double v) {
  return v > -2147483649.0 && v < 2147483648.0 ? static_cast<std::int32_t>(v) : INT32_MIN;
}

std::int32_t largest_bin(const double *x, std::size_t count, bool nan_replaces) {
  std::int32_t top = to_int32(x[0]);
  if (nan_replaces) {
    for (std::size_t i = 0; i < count; ++i)
      if (!(static_cast<double>(top) >= x[i])) top = to_int32(x[i]);
  } else {
    for (std::size_t i = 0; i < count; ++i)
      if (x[i] > static_cast<double>(top)) top = to_int32(x[i]);
  }
  return top;
}

bool count_bins(const double *x, std::size_t count, std::int32_t bins, double *h) {
  const double limit = static_cast<double>(bins) + 1.0;  // trunc(v) <= bins  <=>  v < bins + 1
  for (std::size_t i = 0; i < count; ++i) {
    double v = x[i];
    if (!(v >= 1.0 && v < limit)) return false;
    h[static_cast<std::int32_t>(v) - 1] += 1.0;
  }
  return true;
}

namespace {

constexpr std::size_t kBlock = 512, kAhead = 2 * kBlock;

// Checks the n <= kBlock values of x and writes their bin numbers (0-based)
// to k; false when one lies outside the bins.  The test is accumulated
// without a branch per element and decided once per block.  The vector path
// tests the converted numbers: x86's truncating conversion gives INT32_MIN
// for NaN and for values beyond the 32-bit range, so trunc(v) - 1, read as
// an unsigned number, is below bins exactly when 1 <= v < bins + 1.
bool block_bins(const double *x, std::size_t n, double limit, std::int32_t bins, std::int32_t *k) {
  std::size_t i = 0;
  bool ok = true;
#if defined(__SSE2__) || defined(_M_X64)
  // Unsigned comparison by signed comparison of both sides offset by 2^31.
  const __m128i shift = _mm_set1_epi32(INT32_MIN), one = _mm_set1_epi32(1);
  const __m128i top = _mm_set1_epi32(static_cast<std::int32_t>(static_cast<std::uint32_t>(bins - 1) ^ 0x80000000u));
  __m128i bad = _mm_setzero_si128();
  for (; i + 4 <= n; i += 4) {
    __m128i ka = _mm_cvttpd_epi32(_mm_loadu_pd(x + i)), kb = _mm_cvttpd_epi32(_mm_loadu_pd(x + i + 2));
    __m128i kk = _mm_sub_epi32(_mm_unpacklo_epi64(ka, kb), one);
    bad = _mm_or_si128(bad, _mm_cmpgt_epi32(_mm_xor_si128(kk, shift), top));
    _mm_storeu_si128(reinterpret_cast<__m128i *>(k + i), kk);
  }
  ok = _mm_movemask_epi8(bad) == 0;
#else
  (void)bins;
#endif
  for (; i < n; ++i) {
    double v = x[i];
    bool in = v >= 1.0 && v < limit;
    ok = ok && in;
    k[i] = in ? static_cast<std::int32_t>(v) - 1 : 0;
  }
  return ok;
}

// h[b] += the four sub-histogram counts of bin b, which are then cleared.
void merge(std::uint32_t *sub, std::size_t bins, double *h) {
  for (std::size_t b = 0; b < bins; ++b) {
    std::uint64_t c = std::uint64_t{sub[b]} + sub[bins + b] + sub[2 * bins + b] + sub[3 * bins + b];
    h[b] += static_cast<double>(c);
  }
  std::memset(sub, 0, 4 * bins * sizeof(std::uint32_t));
}

#if defined(__x86_64__) || defined(_M_X64)
#define GATEBOX_TALLY_LANES 1
#endif

#ifdef GATEBOX_TALLY_LANES
// The converted bins of a block are counted straight from the vector
// register: two bin numbers travel together in a 64-bit general register, so
// a bin costs a shift or a move and its count's increment, not a store and a
// reload of the number.  An element outside the bins is counted into bin 0
// (its lane is cleared) and noted in `bad`; the block is refused after its
// last element, before any count of it reaches h.
struct Lanes {
  __m128i shift, one, top;
  explicit Lanes(std::int32_t bins)
      : shift(_mm_set1_epi32(INT32_MIN)),
        one(_mm_set1_epi32(1)),
        top(_mm_set1_epi32(static_cast<std::int32_t>(static_cast<std::uint32_t>(bins - 1) ^ 0x80000000u))) {}
  // trunc(v) - 1 of four values, lanes outside the bins cleared and flagged.
  GATEBOX_INLINE __m128i clear_outside(__m128i k, __m128i &bad) const {
    __m128i kk = _mm_sub_epi32(k, one);
    __m128i out = _mm_cmpgt_epi32(_mm_xor_si128(kk, shift), top);
    bad = _mm_or_si128(bad, out);
    return _mm_andnot_si128(out, kk);
  }
};

// trunc(v) of four doubles as four 32-bit integers (0x80000000 where v is
// NaN or outside the int32 range).
GATEBOX_INLINE __m128i trunc4(const double *x) {
  return _mm_unpacklo_epi64(_mm_cvttpd_epi32(_mm_loadu_pd(x)), _mm_cvttpd_epi32(_mm_loadu_pd(x + 2)));
}

// The elements i..n-1 after the last whole group of eight, one at a time; a
// value outside the bins counts into the first sub-histogram's bin 0 (a
// refused block's counts never reach the result).  True when all were in.
inline bool count_tail(const double *x, std::size_t i, std::size_t n, double limit, std::uint32_t *s0) {
  bool ok = true;
  for (; i < n; ++i) {
    double v = x[i];
    bool in = v >= 1.0 && v < limit;
    ok = ok && in;
    ++s0[in ? static_cast<std::int32_t>(v) - 1 : 0];
  }
  return ok;
}

GATEBOX_INLINE void count4(__m128i kk, std::uint32_t *s0, std::uint32_t *s1, std::uint32_t *s2, std::uint32_t *s3) {
  std::uint64_t lo = static_cast<std::uint64_t>(_mm_cvtsi128_si64(kk));
  std::uint64_t hi = static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(kk, kk)));
  ++s0[static_cast<std::uint32_t>(lo)];
  ++s1[lo >> 32];
  ++s2[static_cast<std::uint32_t>(hi)];
  ++s3[hi >> 32];
}

// One block of n <= kBlock values, SSE2 conversion, two values at a time.
bool block_count_sse2(const double *x, std::size_t n, const Lanes &c, double limit, std::uint32_t *s0,
                      std::uint32_t *s1, std::uint32_t *s2, std::uint32_t *s3, const char *next) {
  __m128i bad = _mm_setzero_si128();
  std::size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    if (next != nullptr) _mm_prefetch(next + 8 * i, _MM_HINT_T0);
    __m128i a = c.clear_outside(trunc4(x + i), bad);
    __m128i b = c.clear_outside(trunc4(x + i + 4), bad);
    count4(a, s0, s1, s2, s3);
    count4(b, s0, s1, s2, s3);
  }
  bool ok = _mm_movemask_epi8(bad) == 0;
  return count_tail(x, i, n, limit, s0) && ok;
}

#ifdef GATEBOX_SIMD_WIDE
// The same with SSE4.1's unsigned minimum and maximum: the largest of the
// block's trunc(v) - 1, read as unsigned numbers, is kept and compared with
// bins - 1 once at the end, and a lane outside the bins is clamped to the
// last bin rather than cleared, so that its increment stays in bounds.  Two
// operations per four values instead of four.
__attribute__((target("sse4.1"))) bool block_count_sse41(const double *x, std::size_t n, const Lanes &c, double limit,
                                                         std::uint32_t *s0, std::uint32_t *s1, std::uint32_t *s2,
                                                         std::uint32_t *s3, const char *next) {
  const __m128i last = _mm_xor_si128(c.top, c.shift);  // bins - 1 in every lane
  __m128i high = _mm_setzero_si128();
  std::size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    if (next != nullptr) _mm_prefetch(next + 8 * i, _MM_HINT_T0);
    __m128i a = _mm_sub_epi32(trunc4(x + i), c.one);
    __m128i b = _mm_sub_epi32(trunc4(x + i + 4), c.one);
    high = _mm_max_epu32(high, _mm_max_epu32(a, b));
    count4(_mm_min_epu32(a, last), s0, s1, s2, s3);
    count4(_mm_min_epu32(b, last), s0, s1, s2, s3);
  }
  bool ok = _mm_movemask_epi8(_mm_cmpgt_epi32(_mm_xor_si128(high, c.shift), c.top)) == 0;
  return count_tail(x, i, n, limit, s0) && ok;
}
#endif

#endif

}  // namespace

bool tally_path_available(TallyPath path) {
  switch (path) {
    case TallyPath::two_pass:
      return true;
#ifdef GATEBOX_TALLY_LANES
    case TallyPath::lanes:
      return true;
#ifdef GATEBOX_SIMD_WIDE
    case TallyPath::lanes_sse41:
      return __builtin_cpu_supports("sse4.1");
#endif
#endif
    default:
      return false;
  }
}

// The tally of count_bins in blocks of 512, counted into four integer
// sub-histograms in turn, so that repeated bins do not wait on one another's
// store; the sub-histograms are added into h after every 2^31 elements and at
// the end.  h holds whole numbers, so adding a count c at once gives the value
// adding 1.0 c times gives, as long as it stays below 2^53.  A block is
// checked as a whole: the first block holding an element outside the bins
// ends the tally with false before its counts are added into h.
bool count_bins_blocked(const double *x, std::size_t count, std::int32_t bins, double *h, std::uint32_t *sub,
                        TallyPath path) {
  const double limit = static_cast<double>(bins) + 1.0;
  const std::size_t nb = static_cast<std::size_t>(bins);
  std::uint32_t *s0 = sub, *s1 = sub + nb, *s2 = sub + 2 * nb, *s3 = sub + 3 * nb;
  std::int32_t k[kBlock];
#ifdef GATEBOX_TALLY_LANES
  const Lanes lanes(bins);
#endif
  std::size_t since_merge = 0;
  for (std::size_t start = 0; start < count; start += kBlock) {
    std::size_t n = count - start < kBlock ? count - start : kBlock;
    // The next blocks are fetched while this one is counted: a block is one
    // 4 KiB page, and the hardware prefetcher does not cross pages.
    const char *next = count - start >= kAhead + kBlock ? reinterpret_cast<const char *>(x + start + kAhead) : nullptr;
    (void)next;  // unused where no path prefetches
    bool ok;
    switch (path) {
#ifdef GATEBOX_TALLY_LANES
      case TallyPath::lanes:
        ok = block_count_sse2(x + start, n, lanes, limit, s0, s1, s2, s3, next);
        break;
#ifdef GATEBOX_SIMD_WIDE
      case TallyPath::lanes_sse41:
        ok = block_count_sse41(x + start, n, lanes, limit, s0, s1, s2, s3, next);
        break;
#endif
#endif
      default: {
        ok = block_bins(x + start, n, limit, bins, k);
        if (!ok) break;
        std::size_t i = 0;
        for (; i + 4 <= n; i += 4) {
#if defined(__SSE2__) || defined(_M_X64)
          if (next != nullptr && (i & 7) == 0) _mm_prefetch(next + 8 * i, _MM_HINT_T0);
#endif
          ++s0[k[i]];
          ++s1[k[i + 1]];
          ++s2[k[i + 2]];
          ++s3[k[i + 3]];
        }
        for (; i < n; ++i) ++s0[k[i]];
      }
    }
    if (!ok) return false;
    since_merge += n;
    if (since_merge >= (std::size_t{1} << 31)) {
      merge(sub, nb, h);
      since_merge = 0;
    }
  }
  merge(sub, nb, h);
  return true;
}

// The fastest path this build and CPU run, decided once.  (A 256-bit
// conversion of four values at once, and a 512-bit one of eight, measured no
// faster than two 128-bit ones here: the increments set the pace.)
bool count_bins_blocked(const double *x, std::size_t count, std::int32_t bins, double *h, std::uint32_t *sub) {
  static const TallyPath best = tally_path_available(TallyPath::lanes_sse41) ? TallyPath::lanes_sse41
                                : tally_path_available(TallyPath::lanes)     ? TallyPath::lanes
                                                                             : TallyPath::two_pass;
  return count_bins_blocked(x, count, bins, h, sub, best);
}

}  // namespace gatebox
