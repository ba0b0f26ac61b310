// The plain loops of the triangular solvers, written out as the reference the
// fast kernels are compared with bit for bit: column-oriented substitution
// with the exact-zero skip (dtrsm) and row-oriented dot-product substitution
// (backapply), in the textbook order.
#pragma once

#include <cstddef>

namespace reference {

// B := inv(A)*B, upper (or lower) triangle of A, A(i,k) = a[i + k*lda].
inline void trsm(bool upper, long m, long n, const double *a, long lda, double *b, long ldb) {
  for (long j = 0; j < n; ++j) {
    if (upper) {
      for (long k = m - 1; k >= 0; --k) {
        if (b[k + j * ldb] == 0.0) continue;
        b[k + j * ldb] /= a[k + k * lda];
        for (long i = 0; i < k; ++i) b[i + j * ldb] -= b[k + j * ldb] * a[i + k * lda];
      }
    } else {
      for (long k = 0; k < m; ++k) {
        if (b[k + j * ldb] == 0.0) continue;
        b[k + j * ldb] /= a[k + k * lda];
        for (long i = k + 1; i < m; ++i) b[i + j * ldb] -= b[k + j * ldb] * a[i + k * lda];
      }
    }
  }
}

// x := inv(T)*x, T m-by-m, x m-by-k, row loop outermost, no zero skip.
inline void rowsubst(bool lower, const double *t, long m, double *x, long k) {
  if (m == 0) return;
  if (lower) {
    for (long j = 0; j < k; ++j) x[j * m] = x[j * m] / t[0];
    for (long i = 1; i < m; ++i)
      for (long j = 0; j < k; ++j) {
        double s = 0;
        for (long l = 0; l < i; ++l) s += t[i + l * m] * x[l + j * m];
        x[i + j * m] = (x[i + j * m] - s) / t[i + i * m];
      }
  } else {
    for (long j = 0; j < k; ++j) x[m - 1 + j * m] = x[m - 1 + j * m] / t[m - 1 + (m - 1) * m];
    for (long i = m - 2; i >= 0; --i)
      for (long j = 0; j < k; ++j) {
        double s = 0;
        for (long l = i + 1; l < m; ++l) s += t[i + l * m] * x[l + j * m];
        x[i + j * m] = (x[i + j * m] - s) / t[i + i * m];
      }
  }
}

}  // namespace reference
