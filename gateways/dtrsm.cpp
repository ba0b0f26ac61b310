// dtrsm: B := inv(A)*B for a triangular A with several right-hand sides, in
// place.  The loops are those of the reference Level-3 BLAS routine (Dongarra,
// Du Croz, Duff and Hammarling, "A set of Level 3 Basic Linear Algebra
// Subprograms", ACM TOMS 16, 1990) for SIDE = 'L', TRANSA = 'N', DIAG = 'N',
// ALPHA = 1: column-oriented substitution that skips a step whose right-hand
// side component is exactly zero (negative zero included; a NaN is not zero).
//
// The plain loops fix, for every element B(i, j), the operations it receives:
// B(i, j) - B(k, j)*A(i, k) for each step k that was not skipped, k running
// from the far end of the triangle towards i, then the division by A(i, i)
// unless B(i, j) is then zero.  The blocked solver keeps that sequence for
// every element and changes only which elements are worked on together.
//
// Blocking, right-looking in three levels, for each chunk of JC right-hand
// sides: rows are cut into panels of KB = 256, each panel into blocks of 32,
// each block into blocks of NB (one register tile's height: 8 rows for the
// 128- and 256-bit paths, 32 for the 512-bit one).  A panel is solved on its
// own (its blocks in turn, recursively), then its KB steps are applied to all
// the rows on its near side in one pass; inside a panel a 32-row block's
// steps are applied to the rest of the panel, and inside that an NB block's
// steps to the rest of the 32 rows.  So B outside the panel is loaded and
// stored once per KB steps, not once per NB, and the bulk of the work (all but
// about a KB/m share) runs in tiles over KB steps.
//
// An NB block's diagonal part is solved with the plain loops' operations, W
// right-hand sides at a time with one in each vector lane (a lane whose step
// is skipped keeps its values), which records for each (k, j) whether step k
// was skipped (the decision rests on the value before the division, so it
// cannot be recovered afterwards: a component that divides to zero is a step
// made, and it changes a negative zero below it); the record of a panel's KB
// steps is kept on the stack.  The steps of a block reach the rows on its near
// side in register tiles of NB rows by NR columns (MV vectors across rows by
// NR columns: the accumulators stay in registers over all the block's steps,
// k in the plain loops' order), the skip a per-(k, j) decision shared by the
// whole vector; a tile that has no skipped step in its columns runs without
// the test.  Before the tiles of a row block run, the A segments they read
// (NB rows, one column per step) are packed to a contiguous buffer in step
// order when more than one column tile reads them, so that they stream from
// L1 instead of touching one page of A per step; the next tile's rows of B are
// prefetched.  Upper blocks are aligned at the top and lower blocks at the
// bottom on every level, so every update region is a whole number of register
// tiles.  Products and differences are rounded separately (no fused
// multiply-add), as in the plain loops, so the result is the plain loops' to
// the bit.  No memory is allocated: the skip record and the packed segments
// are on the stack (48 KiB; 96 KiB on the 512-bit path).
#include "dtrsm.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace gatebox {
namespace {

using Index = std::ptrdiff_t;

using namespace simd;

// The reference loops, column by column.
void plain(bool upper, Index m, Index n, const double *a, Index lda, double *b, Index ldb) {
  for (Index j = 0; j < n; ++j) {
    double *x = b + j * ldb;
    if (upper) {
      for (Index k = m - 1; k >= 0; --k) {
        if (x[k] == 0) continue;
        x[k] = x[k] / a[k + k * lda];
        const double xk = x[k];
        const double *ak = a + k * lda;
        for (Index i = 0; i < k; ++i) x[i] = x[i] - xk * ak[i];
      }
    } else {
      for (Index k = 0; k < m; ++k) {
        if (x[k] == 0) continue;
        x[k] = x[k] / a[k + k * lda];
        const double xk = x[k];
        const double *ak = a + k * lda;
        for (Index i = k + 1; i < m; ++i) x[i] = x[i] - xk * ak[i];
      }
    }
  }
}

// Blocked solver on vectors V of W doubles; register tiles of MV vectors (NB
// rows) by NR columns; right-hand sides in chunks of JC columns so that the
// skip record of one block fits on the stack.
template <class V, int MV, int NR, int KB>
struct Blocked {
  static constexpr int W = static_cast<int>(sizeof(V) / sizeof(double));
  static constexpr int NB = MV * W;
  static constexpr int JC = 128;
  static_assert(KB % NB == 0, "panels are whole blocks");

  // Rows [0, NB) of the NC columns at bt receive `count` steps: step t
  // subtracts x(t, j)*a(t) where a(t) = ak + t*astep (a column segment of A)
  // and x(t, j) = xk[t*xstep + j*ldb]; with Skip, steps whose flag
  // sk[t*sstep + j] is set are left out for that column.
  template <int NC, bool Skip>
  static GATEBOX_INLINE void tile(double *bt, Index ldb, const double *ak, Index astep, const double *xk,
                                  Index xstep, const unsigned char *sk, Index sstep, Index count) {
    V acc[MV][NC];
#pragma GCC unroll 16
    for (int j = 0; j < NC; ++j)
#pragma GCC unroll 16
      for (int v = 0; v < MV; ++v) acc[v][j] = load<V>(bt + v * W + j * ldb);
    for (Index t = 0; t < count; ++t) {
      const double *at = ak + t * astep, *xt = xk + t * xstep;
      V av[MV];
#pragma GCC unroll 16
      for (int v = 0; v < MV; ++v) av[v] = load<V>(at + v * W);
#pragma GCC unroll 16
      for (int j = 0; j < NC; ++j) {
        if (Skip && sk[t * sstep + j]) continue;
        const double xs = xt[j * ldb];
#pragma GCC unroll 16
        for (int v = 0; v < MV; ++v) acc[v][j] = acc[v][j] - xs * av[v];
      }
    }
#pragma GCC unroll 16
    for (int j = 0; j < NC; ++j)
#pragma GCC unroll 16
      for (int v = 0; v < MV; ++v) store<V>(bt + v * W + j * ldb, acc[v][j]);
  }

  // A tile of `w` columns (1 <= w <= NC).
  template <int NC>
  static GATEBOX_INLINE void tile_cols(int w, bool skips, double *bt, Index ldb, const double *ak, Index astep,
                                       const double *xk, Index xstep, const unsigned char *sk, Index sstep,
                                       Index count) {
    if (w == NC) {
      if (skips)
        tile<NC, true>(bt, ldb, ak, astep, xk, xstep, sk, sstep, count);
      else
        tile<NC, false>(bt, ldb, ak, astep, xk, xstep, sk, sstep, count);
    } else if constexpr (NC > 1) {
      tile_cols<NC - 1>(w, skips, bt, ldb, ak, astep, xk, xstep, sk, sstep, count);
    }
  }

  // The diagonal block, rows [k0, k1), of the W columns at xc, one column per
  // vector lane: each lane gets the plain loops' operations (a lane whose
  // component is zero at a step keeps its values through that step), and
  // skipj[(k - k0)*JC + lane] records the skipped steps.
  static GATEBOX_INLINE void diagonal_lanes(bool upper, Index k0, Index k1, const double *a, Index lda, double *xc,
                                            Index ldb, unsigned char *skipj) {
    const Index nb = k1 - k0;
    V X[NB];
    for (Index r = 0; r < nb; ++r)
      for (int l = 0; l < W; ++l) X[r][l] = xc[k0 + r + l * ldb];
    for (Index s = 0; s < nb; ++s) {
      const Index r = upper ? nb - 1 - s : s, k = k0 + r;
      const V pre = X[r];
      const auto live = pre != V{};  // lanes whose step k is made
      X[r] = live ? pre / a[k + k * lda] : pre;
      // The record is read from the lane values, not from the lanes of
      // `live`: GCC 12's straight-line vectoriser turns a test of the
      // comparison result against zero into a select on a mask of a mask,
      // which its AVX-512 instruction selection cannot expand (internal
      // compiler error at -O3).  pre[l] == 0 is the same truth value.
      for (int l = 0; l < W; ++l) skipj[r * JC + l] = pre[l] == 0;
      const V xk = X[r];
      const double *ak = a + k * lda;
      if (upper)
        for (Index q = 0; q < r; ++q) X[q] = live ? X[q] - xk * ak[k0 + q] : X[q];
      else
        for (Index q = r + 1; q < nb; ++q) X[q] = live ? X[q] - xk * ak[k0 + q] : X[q];
    }
    for (Index r = 0; r < nb; ++r)
      for (int l = 0; l < W; ++l) xc[k0 + r + l * ldb] = X[r][l];
  }

  // Rows [r0, r1) of the chunk at bc receive the steps of rows [k0, k1), k
  // from k1 - 1 down to k0 (upper) or from k0 up to k1 - 1 (lower), with the
  // skip record sb (row k - k0 at sb + (k - k0)*JC); r1 - r0 is a multiple
  // of NB.
  static GATEBOX_INLINE void update(bool upper, Index r0, Index r1, Index k0, Index k1, Index nc, const double *a,
                                    Index lda, double *bc, Index ldb, const unsigned char *sb, bool *tile_skips) {
    if (r0 == r1) return;
    for (Index jt = 0; jt < nc; jt += NR) {
      bool any = false;
      for (Index kk = 0; kk < k1 - k0; ++kk)
        for (Index j = jt; j < std::min<Index>(jt + NR, nc); ++j) any |= sb[kk * JC + j] != 0;
      tile_skips[jt / NR] = any;
    }
    const Index kfirst = upper ? k1 - 1 : k0, step = upper ? -1 : 1, count = k1 - k0;
    for (Index i0 = r0; i0 < r1; i0 += NB) {
      // With more than one column tile, the NB rows of A that the tiles of
      // this row block read (one segment per step, in step order) are first
      // copied to a contiguous buffer: the tiles then stream it from L1
      // instead of touching one page of A per step.
      alignas(64) double pack[KB * NB];
      const double *at = a + i0 + kfirst * lda;
      Index astep = step * lda;
      if (nc > NR) {
        for (Index t = 0; t < count; ++t)
#pragma GCC unroll 16
          for (int v = 0; v < MV; ++v) store<V>(pack + t * NB + v * W, load<V>(at + t * astep + v * W));
        at = pack;
        astep = NB;
      }
      for (Index jt = 0; jt < nc; jt += NR) {
        // The next tile's rows of B (out of cache when B is large) are
        // fetched while this one computes.
        for (Index j = jt + NR; j < std::min<Index>(jt + 2 * NR, nc); ++j) {
          __builtin_prefetch(bc + i0 + j * ldb, 1);
          __builtin_prefetch(bc + i0 + j * ldb + NB - 1, 1);
        }
        tile_cols<NR>(static_cast<int>(std::min<Index>(NR, nc - jt)), tile_skips[jt / NR], bc + i0 + jt * ldb, ldb,
                      at, astep, bc + kfirst + jt * ldb, step, sb + (kfirst - k0) * JC + jt, step * JC, count);
      }
    }
  }

  // The blocks of a panel: S rows for a panel of KB, and so on down to NB.
  static constexpr int sub(int S) { return S / 8 > NB ? S / 8 : NB; }

  // Rows [p0, p1) of the chunk at bc, on their own: blocks of S rows (aligned
  // at p0 for upper, at p1 for lower), each solved (its own blocks of sub(S)
  // rows, or at S = NB on the diagonal) and then applied to the rows of
  // [p0, p1) on its near side.  The skip record of row k goes to
  // skip + (k - p0)*JC.
  template <int S>
  static GATEBOX_INLINE void panel(bool upper, Index p0, Index p1, Index nc, const double *a, Index lda, double *bc,
                                   Index ldb, unsigned char *skip, bool *tile_skips) {
    static_assert(S % NB == 0 && (S == NB || S % sub(S) == 0), "blocks are whole sub-blocks");
    const Index rows = p1 - p0;
    const Index nblocks = (rows + S - 1) / S;
    const Index first = rows % S ? rows % S : S;  // rows of the first lower block
    for (Index q = 0; q < nblocks; ++q) {
      Index k0, k1;
      if (upper) {  // blocks aligned at the top, solved from the bottom
        k0 = p0 + (nblocks - 1 - q) * S;
        k1 = std::min<Index>(p1, k0 + S);
      } else {  // blocks aligned at the bottom, solved from the top
        k1 = p0 + first + q * S;
        k0 = std::max<Index>(p0, k1 - S);
      }
      unsigned char *sb = skip + (k0 - p0) * JC;
      if constexpr (S > NB) {
        panel<sub(S)>(upper, k0, k1, nc, a, lda, bc, ldb, sb, tile_skips);
      } else {
        // The diagonal block: W columns at a time across the lanes, the
        // columns left over one by one with the plain loops.
        Index jd = 0;
        for (; jd + W <= nc; jd += W) diagonal_lanes(upper, k0, k1, a, lda, bc + jd * ldb, ldb, sb + jd);
        for (Index j = jd; j < nc; ++j) {
          double *x = bc + j * ldb;
          for (Index s = 0; s < k1 - k0; ++s) {
            const Index k = upper ? k1 - 1 - s : k0 + s;
            const bool skipped = x[k] == 0;
            sb[(k - k0) * JC + j] = skipped;
            if (skipped) continue;
            x[k] = x[k] / a[k + k * lda];
            const double xk = x[k];
            const double *ak = a + k * lda;
            if (upper)
              for (Index i = k0; i < k; ++i) x[i] = x[i] - xk * ak[i];
            else
              for (Index i = k + 1; i < k1; ++i) x[i] = x[i] - xk * ak[i];
          }
        }
      }
      if (upper)
        update(upper, p0, k0, k0, k1, nc, a, lda, bc, ldb, sb, tile_skips);
      else
        update(upper, k1, p1, k0, k1, nc, a, lda, bc, ldb, sb, tile_skips);
    }
  }

  static GATEBOX_INLINE void solve(bool upper, Index m, Index n, const double *a, Index lda, double *b, Index ldb) {
    unsigned char skip[KB * JC];          // skip[(k - p0)*JC + j]: step k skipped in column j
    bool tile_skips[(JC + NR - 1) / NR];  // any step of the steps applied skipped in a column tile
    const Index npanels = (m + KB - 1) / KB;
    const Index first = m % KB ? m % KB : KB;  // rows of the first lower panel
    for (Index c0 = 0; c0 < n; c0 += JC) {
      const Index nc = std::min<Index>(JC, n - c0);
      double *bc = b + c0 * ldb;
      for (Index q = 0; q < npanels; ++q) {
        Index p0, p1;
        if (upper) {  // panels aligned at the top, solved from the bottom
          p0 = (npanels - 1 - q) * KB;
          p1 = std::min(m, p0 + KB);
        } else {  // panels aligned at the bottom, solved from the top
          p1 = first + q * KB;
          p0 = std::max<Index>(0, p1 - KB);
        }
        panel<sub(KB)>(upper, p0, p1, nc, a, lda, bc, ldb, skip, tile_skips);
        if (upper)
          update(upper, 0, p0, p0, p1, nc, a, lda, bc, ldb, skip, tile_skips);
        else
          update(upper, p1, m, p0, p1, nc, a, lda, bc, ldb, skip, tile_skips);
      }
    }
  }
};

void solve_base(bool upper, Index m, Index n, const double *a, Index lda, double *b, Index ldb) {
  Blocked<v2d, 4, 2, 256>::solve(upper, m, n, a, lda, b, ldb);
}

#ifdef GATEBOX_SIMD_WIDE
// The wide paths, compiled for their instruction sets and chosen at run time.
__attribute__((target("avx2"))) void solve_avx2(bool upper, Index m, Index n, const double *a, Index lda, double *b,
                                                Index ldb) {
  Blocked<v4d, 2, 6, 256>::solve(upper, m, n, a, lda, b, ldb);
}
using Blocked512 = Blocked<v8d, 4, 4, 256>;
__attribute__((target("avx512f"))) void solve_avx512(bool upper, Index m, Index n, const double *a, Index lda,
                                                     double *b, Index ldb) {
  Blocked512::solve(upper, m, n, a, lda, b, ldb);
}
#endif

}  // namespace

#ifdef GATEBOX_SIMD_WIDE
void trsm_detail::solve_avx512_generic(bool upper, int m, int n, const double *a, int lda, double *b, int ldb) {
  if (m > 0 && n > 0) Blocked512::solve(upper, m, n, a, lda, b, ldb);
}
#endif

void trsm_detail::solve(Isa isa, bool upper, int m, int n, const double *a, int lda, double *b, int ldb) {
  if (m <= 0 || n <= 0) return;
  switch (isa) {
#ifdef GATEBOX_SIMD_WIDE
    case Isa::avx512:
      solve_avx512(upper, m, n, a, lda, b, ldb);
      return;
    case Isa::avx2:
      solve_avx2(upper, m, n, a, lda, b, ldb);
      return;
#endif
    case Isa::base:
      solve_base(upper, m, n, a, lda, b, ldb);
      return;
    default:
      plain(upper, m, n, a, lda, b, ldb);
      return;
  }
}

void dtrsm(const char * /*side*/, const char *uplo, const char * /*transa*/, const char * /*diag*/, const int *m,
           const int *n, const double * /*alpha*/, const double *a, const int *lda, double *b, const int *ldb) {
  trsm_detail::solve(simd::widest(), *uplo == 'U', *m, *n, a, *lda, b, *ldb);
}

}  // namespace gatebox
