// Triangular solve with several right-hand sides, in place: B := inv(A)*B.
// The Level-3 BLAS argument list (every argument by address), one case:
// A on the left, not transposed, non-unit diagonal, unit scale.  Internal to
// the libraries that link it; never exported.
#pragma once

#include "simd.h"

namespace gatebox {

// side, transa, diag, alpha: accepted, never read.
// uplo:  exactly 'U' selects the upper triangle of A; any other character
//        (lower-case 'u' included) the lower triangle.  The other strict
//        triangle is never read.
// m, n:  order of A, number of columns of B; m <= 0 or n <= 0 leaves B alone.
// a:     read only, element (i, k) at a[i + k*lda].
// b:     read and written, element (i, j) at b[i + j*ldb].
// No argument is checked; no memory is allocated.
void dtrsm(const char *side, const char *uplo, const char *transa, const char *diag, const int *m,
           const int *n, const double *alpha, const double *a, const int *lda, double *b, const int *ldb);

namespace trsm_detail {
// Instruction sets the solver can run on.  dtrsm picks the widest the CPU
// offers; tests and benchmarks call each one directly.
using simd::Isa;
using simd::available;
void solve(Isa isa, bool upper, int m, int n, const double *a, int lda, double *b, int ldb);
#ifdef GATEBOX_SIMD_WIDE
// The 512-bit path's solver (its vectors of eight, tiles and blocks) in
// generic vector code for the baseline instruction set: the tests run its
// blocking on processors without AVX-512 too.
void solve_avx512_generic(bool upper, int m, int n, const double *a, int lda, double *b, int ldb);
#endif
}  // namespace trsm_detail

}  // namespace gatebox
