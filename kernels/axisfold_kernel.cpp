// The summing walk behind axisfold.
#include "kernels.h"

#include "../gateways/simd.h"

#include <cstddef>
#include <cstdint>
#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#include <xmmintrin.h>
#endif
#ifdef GATEBOX_SIMD_WIDE
#include <immintrin.h>
#endif

namespace {
using std::ptrdiff_t;

// ---- Summing kernel -------------------------------------------------------
// Adjacent dimensions that are both summed or both kept are merged and
// dimensions of size 1 dropped; neither changes the storage order of A or the
// output slot of an element.  What is left alternates between kept and
// summed runs.  The innermost run decides the inner loop:
//  - kept, length L: a block of L inputs is added to L consecutive outputs;
//  - summed, length R, followed by a kept run of length L (the outputs'
//    fastest dimension, stride 1): each of L outputs takes R consecutive
//    inputs.  Eight outputs are summed side by side, each in its own order,
//    so the additions overlap instead of waiting on one another.
// An odometer over the outer runs moves the output position: by the output
// stride for a kept run, by 0 for a summed one, and back when a counter wraps.
// Blocks of a large array are walked in two halves side by side (foldsum).

// out[i] += in[i], i < 8: two elements per SSE2 addition, four in flight.
#if defined(__SSE2__) || defined(_M_X64)
inline void add8(double *__restrict out, const double *__restrict in) {
  const __m128d a = _mm_add_pd(_mm_loadu_pd(out), _mm_loadu_pd(in));
  const __m128d b = _mm_add_pd(_mm_loadu_pd(out + 2), _mm_loadu_pd(in + 2));
  const __m128d c = _mm_add_pd(_mm_loadu_pd(out + 4), _mm_loadu_pd(in + 4));
  const __m128d d = _mm_add_pd(_mm_loadu_pd(out + 6), _mm_loadu_pd(in + 6));
  _mm_storeu_pd(out, a);
  _mm_storeu_pd(out + 2, b);
  _mm_storeu_pd(out + 4, c);
  _mm_storeu_pd(out + 6, d);
}
#endif

// out[i] += in[i], i < len, by add8.
// The blocks follow one another in memory, so the input is one stream; it is
// prefetched 4 KiB ahead (the next page, which the hardware prefetcher does
// not enter on its own), 12-17% faster on 100x200x50x20 over [2 4] than
// without, where 2 KiB or 8 KiB ahead gained less.  Near the end of the array
// the prefetches point past it, which is harmless: a prefetch never faults
// (the address is computed as a number, not as a pointer beyond the array).
// An array that fits the caches is added without them: there they only cost
// time (2-4% on 100x20x50 over [2]).
template <bool prefetch>
void add_block(double *__restrict out, const double *__restrict in, ptrdiff_t len) {
  ptrdiff_t i = 0;
#if defined(__SSE2__) || defined(_M_X64)
  const std::uintptr_t ahead = 4096;  // bytes; an address, not a pointer into the array
  for (; i + 8 <= len; i += 8) {
    if (prefetch)
      _mm_prefetch(reinterpret_cast<const char *>(reinterpret_cast<std::uintptr_t>(in + i) + ahead), _MM_HINT_T0);
    add8(out + i, in + i);
  }
#endif
  for (; i < len; ++i) out[i] += in[i];
}

// add_block<true> on two blocks of len elements at once, eight of each per
// step.  When the input lies on 4 KiB pages, one stream of reads stalls at
// every page boundary, on the page walk and on the hardware prefetcher, which
// starts again on each page; two streams from distant pages overlap these
// stalls.  On 100x200x50x20 over [2 4]: 15.0 ms with one stream, 10.9 ms
// with two, in Octave (whose arrays lie on 4 KiB pages); 9.0 and 8.0 ms on
// 2 MiB pages.  Four streams read only about 5% faster than two.
void add_block_pair(double *__restrict out, const double *__restrict in, double *__restrict out2,
                    const double *__restrict in2, ptrdiff_t len) {
  ptrdiff_t i = 0;
#if defined(__SSE2__) || defined(_M_X64)
  const std::uintptr_t ahead = 4096;  // as in add_block
  for (; i + 8 <= len; i += 8) {
    _mm_prefetch(reinterpret_cast<const char *>(reinterpret_cast<std::uintptr_t>(in + i) + ahead), _MM_HINT_T0);
    _mm_prefetch(reinterpret_cast<const char *>(reinterpret_cast<std::uintptr_t>(in2 + i) + ahead), _MM_HINT_T0);
    add8(out + i, in + i);
    add8(out2 + i, in2 + i);
  }
#endif
  for (; i < len; ++i) {
    out[i] += in[i];
    out2[i] += in2[i];
  }
}

// One step of the odometer over runs from..m-1: the output moves by step[k],
// the input by jump[k] when counter k advances, and both back when it wraps.
inline void advance(ptrdiff_t from, ptrdiff_t m, const ptrdiff_t *len, const ptrdiff_t *step, const ptrdiff_t *jump,
                    ptrdiff_t *counter, double *&out, const double *&in) {
  for (ptrdiff_t k = from; k < m; ++k) {
    if (++counter[k] < len[k]) {
      out += step[k];
      in += jump[k];
      return;
    }
    counter[k] = 0;
    out -= step[k] * (len[k] - 1);
    in -= jump[k] * (len[k] - 1);
  }
}

#if defined(__SSE2__) || defined(_M_X64)
// acc holds the running sums of columns c and c + rows; adds rows i and i + 1
// of both, row i first.
inline __m128d add_pair_rows(__m128d acc, const double *c, ptrdiff_t rows) {
  __m128d x = _mm_loadu_pd(c), y = _mm_loadu_pd(c + rows);
  acc = _mm_add_pd(acc, _mm_unpacklo_pd(x, y));
  return _mm_add_pd(acc, _mm_unpackhi_pd(x, y));
}
#endif

// out[j] += in[j*rows + 0] + ... + in[j*rows + rows-1] (in that order), j < cols.
// Eight columns at a time: with SSE2 a register holds the running sums of a
// pair of columns, and two rows of the pair are loaded and interleaved
// (unpacklo/unpackhi) so that each lane still adds its own column's elements
// in order.  Each of the eight column streams is prefetched 512 bytes ahead;
// once a stream's prefetch reaches the end of its column it goes on into the
// same stream of the next group (column k + 8), so that the next group starts
// on lines already fetched instead of eight cold misses at once.  Prefetching
// within the columns alone, or only the next group's starts, measured no
// faster than none; both together, 10-15% faster on 2000-by-2000.  Columns
// shorter than the distance are left to the hardware prefetcher.
void add_columns(double *__restrict out, const double *__restrict in, ptrdiff_t rows, ptrdiff_t cols) {
  ptrdiff_t j = 0;
#if defined(__SSE2__) || defined(_M_X64)
  const ptrdiff_t ahead = 64;
  for (; j + 8 <= cols; j += 8) {
    const double *c0 = in + j * rows, *c2 = c0 + 2 * rows, *c4 = c0 + 4 * rows, *c6 = c0 + 6 * rows;
    // Past the end of column k, c0 + k * rows + i + ahead + 7 * rows is
    // column k + 8 at row i + ahead - rows < rows.
    const bool next_group = rows >= ahead && j + 16 <= cols;
    // Four named accumulators: an array of them is kept in memory by some
    // compilers, which doubles the time of this loop.
    __m128d a0 = _mm_loadu_pd(out + j), a1 = _mm_loadu_pd(out + j + 2);
    __m128d a2 = _mm_loadu_pd(out + j + 4), a3 = _mm_loadu_pd(out + j + 6);
    ptrdiff_t i = 0;
    for (; i + 2 <= rows; i += 2) {
      if ((i & 7) == 0) {
        if (i + ahead < rows) {
          for (int k = 0; k < 8; ++k) _mm_prefetch(reinterpret_cast<const char *>(c0 + k * rows + i + ahead), _MM_HINT_T0);
        } else if (next_group) {
          for (int k = 0; k < 8; ++k)
            _mm_prefetch(reinterpret_cast<const char *>(c0 + (k + 7) * rows + i + ahead), _MM_HINT_T0);
        }
      }
      a0 = add_pair_rows(a0, c0 + i, rows);
      a1 = add_pair_rows(a1, c2 + i, rows);
      a2 = add_pair_rows(a2, c4 + i, rows);
      a3 = add_pair_rows(a3, c6 + i, rows);
    }
    if (i < rows) {
      a0 = _mm_add_pd(a0, _mm_set_pd(c0[rows + i], c0[i]));
      a1 = _mm_add_pd(a1, _mm_set_pd(c2[rows + i], c2[i]));
      a2 = _mm_add_pd(a2, _mm_set_pd(c4[rows + i], c4[i]));
      a3 = _mm_add_pd(a3, _mm_set_pd(c6[rows + i], c6[i]));
    }
    _mm_storeu_pd(out + j, a0);
    _mm_storeu_pd(out + j + 2, a1);
    _mm_storeu_pd(out + j + 4, a2);
    _mm_storeu_pd(out + j + 6, a3);
  }
#endif
  for (; j < cols; ++j) {
    double s = out[j];
    for (ptrdiff_t i = 0; i < rows; ++i) s += in[j * rows + i];
    out[j] = s;
  }
}

#ifdef GATEBOX_SIMD_WIDE
using gatebox::simd::v8d;

// acc (the running sums of eight columns c, c + rows, ..., one per lane)
// plus rows i..i+7 of those columns, row i first.  The 8-by-8 block is loaded
// by columns (eight full-width loads) and transposed in registers: unpack
// pairs of columns, then two rounds of two-source shuffles, giving eight
// vectors that each hold one row; they are added in row order, so every lane
// adds its own column's elements in order, as the plain loop does.
__attribute__((target("avx512f"), always_inline)) inline v8d add_rows8(v8d acc, const double *c, ptrdiff_t rows,
                                                                        ptrdiff_t i) {
  using gatebox::simd::load;
  v8d r0 = load<v8d>(c + i), r1 = load<v8d>(c + rows + i);
  v8d r2 = load<v8d>(c + 2 * rows + i), r3 = load<v8d>(c + 3 * rows + i);
  v8d r4 = load<v8d>(c + 4 * rows + i), r5 = load<v8d>(c + 5 * rows + i);
  v8d r6 = load<v8d>(c + 6 * rows + i), r7 = load<v8d>(c + 7 * rows + i);
  v8d t0 = __builtin_shufflevector(r0, r1, 0, 8, 2, 10, 4, 12, 6, 14);
  v8d t1 = __builtin_shufflevector(r0, r1, 1, 9, 3, 11, 5, 13, 7, 15);
  v8d t2 = __builtin_shufflevector(r2, r3, 0, 8, 2, 10, 4, 12, 6, 14);
  v8d t3 = __builtin_shufflevector(r2, r3, 1, 9, 3, 11, 5, 13, 7, 15);
  v8d t4 = __builtin_shufflevector(r4, r5, 0, 8, 2, 10, 4, 12, 6, 14);
  v8d t5 = __builtin_shufflevector(r4, r5, 1, 9, 3, 11, 5, 13, 7, 15);
  v8d t6 = __builtin_shufflevector(r6, r7, 0, 8, 2, 10, 4, 12, 6, 14);
  v8d t7 = __builtin_shufflevector(r6, r7, 1, 9, 3, 11, 5, 13, 7, 15);
  v8d u0 = __builtin_shufflevector(t0, t2, 0, 1, 8, 9, 4, 5, 12, 13);
  v8d u1 = __builtin_shufflevector(t1, t3, 0, 1, 8, 9, 4, 5, 12, 13);
  v8d u2 = __builtin_shufflevector(t0, t2, 2, 3, 10, 11, 6, 7, 14, 15);
  v8d u3 = __builtin_shufflevector(t1, t3, 2, 3, 10, 11, 6, 7, 14, 15);
  v8d u4 = __builtin_shufflevector(t4, t6, 0, 1, 8, 9, 4, 5, 12, 13);
  v8d u5 = __builtin_shufflevector(t5, t7, 0, 1, 8, 9, 4, 5, 12, 13);
  v8d u6 = __builtin_shufflevector(t4, t6, 2, 3, 10, 11, 6, 7, 14, 15);
  v8d u7 = __builtin_shufflevector(t5, t7, 2, 3, 10, 11, 6, 7, 14, 15);
  acc += __builtin_shufflevector(u0, u4, 0, 1, 2, 3, 8, 9, 10, 11);  // row i
  acc += __builtin_shufflevector(u1, u5, 0, 1, 2, 3, 8, 9, 10, 11);
  acc += __builtin_shufflevector(u2, u6, 0, 1, 2, 3, 8, 9, 10, 11);
  acc += __builtin_shufflevector(u3, u7, 0, 1, 2, 3, 8, 9, 10, 11);
  acc += __builtin_shufflevector(u0, u4, 4, 5, 6, 7, 12, 13, 14, 15);
  acc += __builtin_shufflevector(u1, u5, 4, 5, 6, 7, 12, 13, 14, 15);
  acc += __builtin_shufflevector(u2, u6, 4, 5, 6, 7, 12, 13, 14, 15);
  acc += __builtin_shufflevector(u3, u7, 4, 5, 6, 7, 12, 13, 14, 15);  // row i + 7
  return acc;
}

// The rows left after the last full block of eight, added column by column.
void finish_columns(double *out, const double *c, ptrdiff_t rows, ptrdiff_t from, ptrdiff_t n) {
  for (ptrdiff_t k = 0; k < n; ++k) {
    double sum = out[k];
    for (ptrdiff_t r = from; r < rows; ++r) sum += c[k * rows + r];
    out[k] = sum;
  }
}

// add_columns with AVX-512: sixteen columns at a time in two registers of
// eight lanes, so that two chains of additions and sixteen streams of loads
// are in flight; then a group of eight; the last columns by the SSE2 routine.
__attribute__((target("avx512f"))) void add_columns_avx512(double *__restrict out, const double *__restrict in,
                                                            ptrdiff_t rows, ptrdiff_t cols) {
  using gatebox::simd::load;
  using gatebox::simd::store;
  const ptrdiff_t full = rows - rows % 8;
  ptrdiff_t j = 0;
  for (; j + 16 <= cols; j += 16) {
    const double *c = in + j * rows, *d = c + 8 * rows;
    v8d acc = load<v8d>(out + j), acd = load<v8d>(out + j + 8);
    for (ptrdiff_t i = 0; i < full; i += 8) {
      acc = add_rows8(acc, c, rows, i);
      acd = add_rows8(acd, d, rows, i);
    }
    store(out + j, acc);
    store(out + j + 8, acd);
    finish_columns(out + j, c, rows, full, 16);
  }
  for (; j + 8 <= cols; j += 8) {
    const double *c = in + j * rows;
    v8d acc = load<v8d>(out + j);
    for (ptrdiff_t i = 0; i < full; i += 8) acc = add_rows8(acc, c, rows, i);
    store(out + j, acc);
    finish_columns(out + j, c, rows, full, 8);
  }
  if (j < cols) add_columns(out + j, in + j * rows, rows, cols - j);
}
#endif

}  // namespace

namespace gatebox {

// Sums the T elements of in (d dimensions of sizes dims) into out, over the
// dimensions whose flag in `summed` is nonzero.  out holds the elements of the
// kept dimensions and is added to, not overwritten.  work: 4*d scratch.
void foldsum(double *out, const double *in, std::ptrdiff_t d, const std::ptrdiff_t *dims,
             const unsigned char *summed, std::ptrdiff_t *work) {
  ptrdiff_t *len = work, *step = work + d, *counter = work + 2 * d, *flag = work + 3 * d;
  ptrdiff_t m = 0, total = 1, kept_stride = 1;
  for (ptrdiff_t i = 0; i < d; ++i) {
    total *= dims[i];
    if (dims[i] == 1) continue;
    if (m > 0 && flag[m - 1] == summed[i]) {
      len[m - 1] *= dims[i];
    } else {
      len[m] = dims[i];
      flag[m] = summed[i];
      ++m;
    }
  }
  if (total == 0) return;
  for (ptrdiff_t k = 0; k < m; ++k) {
    step[k] = flag[k] ? 0 : kept_stride;
    if (!flag[k]) kept_stride *= len[k];
    counter[k] = 0;
  }
  // Inner block: kept run, or summed run with the kept run after it.
  ptrdiff_t inner = 0, rows = 1, cols = 1;
  if (m > 0 && !flag[0]) {
    inner = 1;
    cols = len[0];
  } else if (m > 0) {
    rows = len[0];
    inner = m > 1 ? 2 : 1;
    if (m > 1) cols = len[1];
  }
  const ptrdiff_t block = rows * cols;
  void (*columns_add)(double *, const double *, ptrdiff_t, ptrdiff_t) = add_columns;
#ifdef GATEBOX_SIMD_WIDE
  // Column sums only: block additions with AVX-512 measured slower than
  // with SSE2 (they are bound by reading the input either way).
  if (gatebox::simd::available(gatebox::simd::Isa::avx512)) columns_add = add_columns_avx512;
#endif
  // More than 1 MiB of input (a core's second-level cache holds 512 KiB).
  const bool large = total > (1 << 17);
  // Blocks added to consecutive outputs, from a large array: the outputs are
  // split in two by the outermost kept run of length 2 or more, and the two
  // halves are walked side by side (add_block_pair), each in storage order;
  // an output element belongs to one half, so it receives its inputs in the
  // same order as in the single walk.  With an odd length, the last slice of
  // that run is walked alone afterwards.
  ptrdiff_t split = -1;
  if (rows == 1 && large)
    for (ptrdiff_t k = m - 1; k >= inner && split < 0; --k)
      if (!flag[k] && len[k] >= 2) split = k;
  ptrdiff_t *jump = flag;  // flag is not read again: the input strides of the runs
  for (ptrdiff_t k = inner, s = block; k < m; ++k) {
    jump[k] = s;
    s *= len[k];
  }
  if (split >= 0) {
    const ptrdiff_t n = len[split], half = n / 2, slices = total / block / n;
    len[split] = half;
    const double *a = in;
    double *p = out;
    for (ptrdiff_t b = 0; b < slices * half; ++b) {
      add_block_pair(p, a, p + half * step[split], a + half * jump[split], cols);
      advance(inner, m, len, step, jump, counter, p, a);
    }
    if (n % 2) {
      len[split] = 1;  // the counters are back at 0, p and a at the start
      a = in + 2 * half * jump[split];
      p = out + 2 * half * step[split];
      for (ptrdiff_t b = 0; b < slices; ++b) {
        add_block<true>(p, a, cols);
        advance(inner, m, len, step, jump, counter, p, a);
      }
    }
    return;
  }
  void (*block_add)(double *, const double *, ptrdiff_t) = large ? add_block<true> : add_block<false>;
  double *p = out;
  for (ptrdiff_t done = 0; done < total; done += block) {
    if (rows == 1) block_add(p, in, cols);
    else columns_add(p, in, rows, cols);
    advance(inner, m, len, step, jump, counter, p, in);  // the blocks in storage order
  }
}

}  // namespace gatebox
