// The body shared by the uppersubst and lowersubst gateways, which differ only
// in the triangle they hand to dtrsm and the name in their messages.  Included
// by exactly one source of each gateway library.
//
// x = <name>(T, b) solves T*x = b with the named triangle of the square T (the
// other strict triangle is never read), one column of b per system, by
// column-oriented substitution (dtrsm): a right-hand-side component that is
// exactly zero at its step is neither divided nor propagated.  Only real parts
// are used; x is real.
#pragma once

#include "dtrsm.h"
#include "gateway.h"

#include <climits>
#include <cstring>

namespace {

const char kSquare[] = "matrix must be square";
const char kSparse[] = "Sorry, can't handle sparse matrices yet.";
const char kNotMatrix[] = "Arguments must be matrices.";
const char kTNotDouble[] = "T must be a double array; convert it with double(T).";
const char kBNotDouble[] = "b must be a double array; convert it with double(b).";
const char kSizeMismatch[] = "b must have as many rows as T.";

// Checks in this order: argument counts, T square, sparseness, two
// dimensions; then the checks that keep the data access in bounds: the class
// of T and of b, the row count of b.
void subst_gateway(const char *name, const char *usage, const char *uplo, int nlhs, mxArray *plhs[], int nrhs,
                   const mxArray *prhs[]) {
  if (nrhs != 2 || nlhs > 1) mexErrMsgTxt(usage);
  const mxArray *T = prhs[0], *B = prhs[1];
  const size_t m = mxGetM(T);
  if (mxGetN(T) != m) mexErrMsgTxt(kSquare);
  const size_t k = mxGetN(B);
  if (mxIsSparse(T) || mxIsSparse(B)) mexErrMsgTxt(kSparse);
  if (mxGetNumberOfDimensions(T) != 2 || mxGetNumberOfDimensions(B) != 2) mexErrMsgTxt(kNotMatrix);
  gatebox::require_double(T, name, kTNotDouble);
  gatebox::require_double(B, name, kBNotDouble);
  if (mxGetM(B) != m) gatebox::fail(name, "sizeMismatch", kSizeMismatch);

  plhs[0] = mxCreateDoubleMatrix(static_cast<mwSize>(m), static_cast<mwSize>(k), mxREAL);
  if (m == 0 || k == 0) return;
  double *x = mxGetPr(plhs[0]);
  std::memcpy(x, mxGetPr(B), m * k * sizeof(double));
  // T holds m*m doubles, so its order fits an int; the columns go to dtrsm
  // in slices that do (they are solved independently of each other).
  const int order = static_cast<int>(m);
  const char side = 'L', trans = 'N', diag = 'N';
  const double one = 1.0;
  for (size_t j0 = 0; j0 < k; j0 += INT_MAX) {
    const int cols = static_cast<int>(k - j0 < INT_MAX ? k - j0 : INT_MAX);
    gatebox::dtrsm(&side, uplo, &trans, &diag, &order, &cols, &one, mxGetPr(T), &order, x + j0 * m, &order);
  }
}

}  // namespace
