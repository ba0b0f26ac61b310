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
#include "vocabulary.h"

#include <climits>
#include <cstring>

namespace {

const char kNotMatrix[] = "Arguments must be matrices.";

// Checks in this order: argument counts, T square, sparseness, two
// dimensions; then the checks that keep the data access in bounds: the class
// of T and of b, the row count of b.
void subst_gateway(const char *name, const char *usage, const char *uplo, int nlhs, mxArray *plhs[], int nrhs,
                   const mxArray *prhs[]) {
  if (nrhs != 2 || nlhs > 1) gatebox::fail(name, "usage", usage);
  const mxArray *T = prhs[0], *B = prhs[1];
  const size_t m = mxGetM(T);
  if (mxGetN(T) != m) gatebox::fail(name, "notSquare", gatebox::kNotSquare);
  const size_t k = mxGetN(B);
  if (mxIsSparse(T) || mxIsSparse(B)) gatebox::fail(name, "sparse", gatebox::kSparseYet);
  if (mxGetNumberOfDimensions(T) != 2 || mxGetNumberOfDimensions(B) != 2) gatebox::fail(name, "notMatrices", kNotMatrix);
  gatebox::require_double(T, name, gatebox::kTNotDouble);
  gatebox::require_double(B, name, gatebox::kBNotDouble);
  if (mxGetM(B) != m) gatebox::fail(name, "sizeMismatch", gatebox::kSizeMismatch);

  const mwSize dims[2] = {static_cast<mwSize>(m), static_cast<mwSize>(k)};
  plhs[0] = gatebox::create_double_output(2, dims);
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
