// rowsubst: x := inv(T)*x for a triangular T by row-oriented substitution
// (the dot-product form; Golub and Van Loan, "Matrix Computations", 4th ed.,
// algorithms 3.1.1 and 3.1.2).  Lower: for i = 0, 1, ..., m-1,
//   x(i, j) = (x(i, j) - s) / T(i, i),  s = 0 + T(i, 0)*x(0, j) + ... + T(i, i-1)*x(i-1, j),
// upper: for i = m-1 down to 0, the sum running over l = i+1, ..., m-1 in
// ascending order.  The sum is rounded after every product and every addition
// and starts from +0; there is no zero skip (every component is divided).
//
// Every row depends on all rows solved before it, so the vectors run across
// right-hand sides.  The columns are copied, a chunk at a time, into a
// row-major workspace so that row l of the chunk is contiguous; a row of x is
// then solved by streaming the solved rows through a few vector accumulators,
// one product and one addition per element and step in the plain order, so
// each element gets the plain loops' bits.  A lower row's sum ends with the
// rows just solved, so R consecutive rows share the part over the rows solved
// before them (each solved row is loaded once for R rows) and then finish one
// after the other; an upper row's sum starts with the row just solved, so
// upper rows go one at a time.  A row of the column-major T is m doubles
// apart, so a group of lower rows first packs its coefficients step by step,
// and for a block of upper rows the part of T right of the diagonal is
// first copied into rows of its own (a cache line of T serves the whole
// block, and the rows are then read contiguously); the copy fetches columns
// of T ahead, since they are too far apart for the hardware to guess, and
// a row's sum fetches the solved rows a few steps ahead of its loads.  Every
// chunk repeats that copy, so the chunks are wide: the chunk width keeps the
// workspace (m by at most 64 columns) near the size of the second-level
// cache, read from the system once (1 MiB where it cannot be read; 512 KiB
// caches ran the upper solve at order 2000 about 15% faster with chunks of
// that size than with 1 MiB ones).  The chunk width changes which columns
// are solved together, never an element's operations.
#include "rowsubst.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#if defined(__linux__)
#include <unistd.h>
#endif

namespace gatebox {
namespace {

using Index = std::ptrdiff_t;

using namespace simd;

constexpr std::size_t kMaxChunk = 64;  // columns; a multiple of every vector width
constexpr std::ptrdiff_t kRowBlock = 8;  // upper rows whose coefficients are copied together
constexpr std::ptrdiff_t kAhead = 24;    // columns of T fetched ahead of the copy
constexpr std::size_t kAlignSlack = 7;   // doubles that put the workspace on a 64-byte boundary
constexpr std::ptrdiff_t kWAhead = 8;   // rows of the workspace fetched ahead of a row's sum

// The second-level cache in doubles: the system's figure where it gives a
// plausible one (256 KiB to 8 MiB), else 1 MiB.
std::size_t l2_doubles() {
  static const std::size_t n = [] {
    long bytes = 0;
#if defined(__linux__) && defined(_SC_LEVEL2_CACHE_SIZE)
    bytes = sysconf(_SC_LEVEL2_CACHE_SIZE);
#endif
    if (bytes < (256L << 10) || bytes > (8L << 20)) bytes = 1L << 20;
    return static_cast<std::size_t>(bytes) / sizeof(double);
  }();
  return n;
}

std::size_t chunk_columns(std::size_t m, std::size_t k) {
  std::size_t jc = m ? (l2_doubles() / m) / 8 * 8 : kMaxChunk;
  jc = std::min(std::max<std::size_t>(jc, 8), kMaxChunk);
  return std::min(jc, (k + 7) / 8 * 8);
}

// The reference loops, row by row.
void plain(bool lower, const double *t, Index m, double *x, Index k) {
  if (lower) {
    for (Index j = 0; j < k; ++j) x[j * m] = x[j * m] / t[0];
    for (Index i = 1; i < m; ++i)
      for (Index j = 0; j < k; ++j) {
        double s = 0;
        for (Index l = 0; l < i; ++l) s = s + t[i + l * m] * x[l + j * m];
        x[i + j * m] = (x[i + j * m] - s) / t[i + i * m];
      }
  } else {
    for (Index j = 0; j < k; ++j) x[m - 1 + j * m] = x[m - 1 + j * m] / t[m - 1 + (m - 1) * m];
    for (Index i = m - 2; i >= 0; --i)
      for (Index j = 0; j < k; ++j) {
        double s = 0;
        for (Index l = i + 1; l < m; ++l) s = s + t[i + l * m] * x[l + j * m];
        x[i + j * m] = (x[i + j * m] - s) / t[i + i * m];
      }
  }
}

// Solver on vectors V of W doubles: single rows with up to NV vectors of
// columns at a time; lower-triangle rows in groups of R with up to NB vectors.
template <class V, int NV, int R, int NB>
struct Rows {
  static constexpr int W = static_cast<int>(sizeof(V) / sizeof(double));
  static_assert(R <= kRowBlock, "a group's packed coefficients fit the workspace");

  // Columns [0, NC*W) of row i of the workspace w (leading dimension ldw):
  // s = sum over l in [l0, l1) of T(i, l)*w(l, :), then w(i, :) = (w(i, :) - s)/T(i, i),
  // with T(i, l) at ti[l*m].
  template <int NC>
  static GATEBOX_INLINE void row(const double *ti, Index m, double tii, double *w, Index ldw, Index i, Index l0,
                                 Index l1) {
    V acc[NC];
#pragma GCC unroll 16
    for (int v = 0; v < NC; ++v) acc[v] = V{};
    // The solved rows stream from the second-level cache, NC*W doubles a
    // step, faster than the hardware fetches them to the first-level cache on
    // its own: the row kWAhead steps on is fetched while this one computes
    // (at order 2000 the upper solve ran about 20% faster with 512-bit
    // vectors, 15% with 256-bit ones).
    Index l = l0;
    for (; l + kWAhead < l1; ++l) {
      const double tl = ti[l * m];
      const double *wl = w + l * ldw;
#pragma GCC unroll 16
      for (int c = 0; c < NC * W; c += 8) __builtin_prefetch(wl + kWAhead * ldw + c);
#pragma GCC unroll 16
      for (int v = 0; v < NC; ++v) acc[v] = acc[v] + tl * load<V>(wl + v * W);
    }
    for (; l < l1; ++l) {
      const double tl = ti[l * m];
      const double *wl = w + l * ldw;
#pragma GCC unroll 16
      for (int v = 0; v < NC; ++v) acc[v] = acc[v] + tl * load<V>(wl + v * W);
    }
#pragma GCC unroll 16
    for (int v = 0; v < NC; ++v) {
      double *wi = w + i * ldw + v * W;
      store<V>(wi, (load<V>(wi) - acc[v]) / tii);
    }
  }

  template <int NC>
  static GATEBOX_INLINE void row_cols(int nv, const double *ti, Index m, double tii, double *w, Index ldw, Index i,
                                      Index l0, Index l1) {
    if (nv == NC)
      row<NC>(ti, m, tii, w, ldw, i, l0, l1);
    else if constexpr (NC > 1)
      row_cols<NC - 1>(nv, ti, m, tii, w, ldw, i, l0, l1);
  }

  // Lower triangle, rows [i0, i0+R) at once, columns [0, NC*W): the part of
  // each sum over l < i0 (common to the R rows, so each loaded row of w serves
  // R rows), then the rows one after the other with their steps l in [i0, i).
  // The rows' coefficients are packed: T(i0 + r, l) at tp[r + l*R].
  template <int NC>
  static GATEBOX_INLINE void lower_rows(const double *tp, double *w, Index ldw, Index i0) {
    V acc[R][NC];
#pragma GCC unroll 16
    for (int r = 0; r < R; ++r)
#pragma GCC unroll 16
      for (int v = 0; v < NC; ++v) acc[r][v] = V{};
    for (Index l = 0; l < i0; ++l) {
      const double *tl = tp + l * R;
      const double *wl = w + l * ldw;
      V wv[NC];
#pragma GCC unroll 16
      for (int v = 0; v < NC; ++v) wv[v] = load<V>(wl + v * W);
#pragma GCC unroll 16
      for (int r = 0; r < R; ++r) {
        const double tr = tl[r];
#pragma GCC unroll 16
        for (int v = 0; v < NC; ++v) acc[r][v] = acc[r][v] + tr * wv[v];
      }
    }
#pragma GCC unroll 16
    for (int r = 0; r < R; ++r) {
      const Index i = i0 + r;
#pragma GCC unroll 16
      for (int q = 0; q < r; ++q) {
        const double tq = tp[r + (i0 + q) * R];
#pragma GCC unroll 16
        for (int v = 0; v < NC; ++v) acc[r][v] = acc[r][v] + tq * load<V>(w + (i0 + q) * ldw + v * W);
      }
      const double tii = tp[r + i * R];
#pragma GCC unroll 16
      for (int v = 0; v < NC; ++v) {
        double *wi = w + i * ldw + v * W;
        store<V>(wi, (load<V>(wi) - acc[r][v]) / tii);
      }
    }
  }

  template <int NC>
  static GATEBOX_INLINE void lower_rows_cols(int nv, const double *tp, double *w, Index ldw, Index i0) {
    if (nv == NC)
      lower_rows<NC>(tp, w, ldw, i0);
    else if constexpr (NC > 1)
      lower_rows_cols<NC - 1>(nv, tp, w, ldw, i0);
  }

  static GATEBOX_INLINE void solve(bool lower, const double *t, Index m, double *x, Index k, double *work) {
    // The workspace from the first 64-byte boundary in it (allocators give
    // 16): its rows, a whole number of vectors each, then put no vector
    // across two cache lines (order 2000, 512-bit vectors: the upper solve
    // about 20% faster, the lower 7%).
    work += (64 - reinterpret_cast<std::uintptr_t>(work) % 64) % 64 / sizeof(double);
    const Index jc = static_cast<Index>(chunk_columns(static_cast<std::size_t>(m), static_cast<std::size_t>(k)));
    for (Index c0 = 0; c0 < k; c0 += jc) {
      const Index nc = std::min(jc, k - c0), ldw = (nc + W - 1) / W * W;
      // Copy the chunk in, rows contiguous; padding columns hold zeros.
      for (Index l = 0; l < m; ++l) {
        double *wl = work + l * ldw;
        for (Index j = 0; j < nc; ++j) wl[j] = x[l + (c0 + j) * m];
        for (Index j = nc; j < ldw; ++j) wl[j] = 0;
      }
      Index s = 0;
      if (lower)
        for (; s + R <= m; s += R) {
          // The R rows' coefficients, a row of the column-major T m doubles
          // apart, are first packed step by step (the R of a step side by
          // side, the lower triangle only), fetching columns ahead as the
          // upper copy does: the column passes then read them contiguously.
          double *tp = work + jc * m;
          for (Index l = 0; l < s + R; ++l) {
            const double *tl = t + l * m;
            if (l + kAhead < s) {
              __builtin_prefetch(tl + kAhead * m + s);
              __builtin_prefetch(tl + kAhead * m + s + R - 1);
            }
            for (Index r = std::max<Index>(0, l - s); r < R; ++r) tp[r + l * R] = tl[s + r];
          }
          for (Index jt = 0; jt < ldw; jt += NB * W)
            lower_rows_cols<NB>(static_cast<int>(std::min<Index>(NB, (ldw - jt) / W)), tp, work + jt, ldw, s);
        }
      if (lower) {
        for (; s < m; ++s) {
          const double tii = t[s + s * m];
          for (Index jt = 0; jt < ldw; jt += NV * W)
            row_cols<NV>(static_cast<int>(std::min<Index>(NV, (ldw - jt) / W)), t + s, m, tii, work + jt, ldw, s, 0,
                         s);
        }
      } else {
        // Upper rows in blocks of kRowBlock from the bottom; the block's part
        // of T right of the diagonal is copied into trows first, row r at
        // trows + r*m, so that each row's coefficients are read contiguously
        // (a row of the column-major T is m doubles apart).
        double *trows = work + jc * m;
        for (Index i1 = m; i1 > 0; i1 -= kRowBlock) {
          const Index i0 = std::max<Index>(0, i1 - kRowBlock);
          for (Index l = i0 + 1; l < m; ++l) {
            const double *tl = t + l * m;
            // The columns are far apart: fetch a few ahead so that several
            // cache lines are on their way at once.
            if (l + kAhead < m) {
              __builtin_prefetch(tl + kAhead * m + i0);
              __builtin_prefetch(tl + kAhead * m + i1 - 1);
            }
            for (Index i = i0; i < std::min(i1, l); ++i) trows[(i - i0) * m + l] = tl[i];
          }
          for (Index i = i1 - 1; i >= i0; --i) {
            const double *ti = trows + (i - i0) * m;
            const double tii = t[i + i * m];
            for (Index jt = 0; jt < ldw; jt += NV * W)
              row_cols<NV>(static_cast<int>(std::min<Index>(NV, (ldw - jt) / W)), ti, 1, tii, work + jt, ldw, i,
                           i + 1, m);
          }
        }
      }
      for (Index l = 0; l < m; ++l)
        for (Index j = 0; j < nc; ++j) x[l + (c0 + j) * m] = work[l * ldw + j];
    }
  }
};

void solve_base(bool lower, const double *t, Index m, double *x, Index k, double *work) {
  Rows<v2d, 8, 2, 4>::solve(lower, t, m, x, k, work);
}

#ifdef GATEBOX_SIMD_WIDE
// Wide paths, chosen at run time (left out of Windows builds: GCC for Windows
// does not align the stack for spilled AVX registers).
__attribute__((target("avx2"))) void solve_avx2(bool lower, const double *t, Index m, double *x, Index k,
                                                double *work) {
  Rows<v4d, 8, 2, 4>::solve(lower, t, m, x, k, work);
}
__attribute__((target("avx512f"))) void solve_avx512(bool lower, const double *t, Index m, double *x, Index k,
                                                     double *work) {
  // Lower rows in groups of 8 (a cache line of T's column) by 3 vectors:
  // 24 accumulators, each loaded row of the workspace serving 8 rows (order
  // 2000: about 20% faster than groups of 4 by 4 vectors).
  Rows<v8d, 8, 8, 3>::solve(lower, t, m, x, k, work);
}
#endif


}  // namespace

// The row-major chunk, then the copied coefficients of a block of upper rows
// or the packed ones of a group of lower rows, and the doubles that bring the
// start to a 64-byte boundary.
std::size_t rowsubst_workspace(std::size_t m, std::size_t k) {
  return k ? m * chunk_columns(m, k) + m * static_cast<std::size_t>(kRowBlock) + kAlignSlack : 0;
}


void rowsubst_detail::solve(Isa isa, bool lower, const double *t, std::size_t m, double *x, std::size_t k,
                            double *work) {
  if (m == 0 || k == 0) return;
  const Index mm = static_cast<Index>(m), kk = static_cast<Index>(k);
  switch (isa) {
#ifdef GATEBOX_SIMD_WIDE
    case Isa::avx512:
      solve_avx512(lower, t, mm, x, kk, work);
      return;
    case Isa::avx2:
      solve_avx2(lower, t, mm, x, kk, work);
      return;
#endif
    case Isa::base:
      solve_base(lower, t, mm, x, kk, work);
      return;
    default:
      plain(lower, t, mm, x, kk);
      return;
  }
}

void rowsubst(bool lower, const double *t, std::size_t m, double *x, std::size_t k, double *work) {
  rowsubst_detail::solve(simd::widest(), lower, t, m, x, k, work);
}

}  // namespace gatebox
