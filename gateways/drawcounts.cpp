// h = drawcounts(p, n): one multinomial count vector of n trials per column
// of p, the column's entries being the category probabilities.
//
// The output has the rows and columns of p (its real part when complex);
// columns draw from the library's uniform stream one after the other.  Every
// check comes before the first draw: a refused call consumes nothing.
#include "gateway.h"
#include "statecall.h"
#include "trialcount.h"
#include "util.h"

#include <cmath>

#ifndef GATEBOX_WINDOWS_BEHAVIOUR
#define GATEBOX_WINDOWS_BEHAVIOUR 0
#endif

namespace {
const char kUsage[] = "Usage: h = drawcounts(p, n)";
const char kNotScalar[] = "n must be scalar";
const char kSparse[] = "Cannot handle sparse matrices.  Sorry.";
const char kNotDouble[] = "p must be a double array; convert it with double(p).";

// MultiRand: the counts of `trials` trials over m >= 1 categories by
// conditional binomials (the multinomial as a chain of binomials, Devroye
// 1986, ch. XI): category k gets Binomial(a, p(k)/r) of the a trials left,
// r being the mass left, starting from exactly 1 (the column is not
// normalised).  The last category takes every trial left over, whatever its
// own probability.  Once the mass left is exactly 0 the remaining counts are
// 0; the Windows build also stops when it is NaN (a NaN probability), where
// the Linux build goes on with BinoRand(NaN, a) = 0 and gives the trials left
// to the last category.
void MultiRand(const double *p, size_t m, int trials, double *counts) {
  double r = 1.0;
  int a = trials;
  for (size_t k = 0; k + 1 < m; ++k) {
    int b = BinoRand(p[k] / r, a);
    counts[k] = b;
    r = r - p[k];
    a = a - b;
    if (r == 0.0 || (GATEBOX_WINDOWS_BEHAVIOUR && std::isnan(r))) {
      for (size_t j = k + 1; j < m; ++j) counts[j] = 0.0;
      return;
    }
  }
  counts[m - 1] = a;
}
}  // namespace

GATEBOX_ENTRY void mexFunction(int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]) {
  if (gatebox::state_call("drawcounts", nlhs, plhs, nrhs, prhs)) return;  // the 'state' call forms
  if (nrhs != 2) mexErrMsgTxt(kUsage);
  const mxArray *in = prhs[0];
  size_t m = mxGetM(in), cols = mxGetN(in);
  const int trials = gatebox::trial_count(prhs[1], "drawcounts", kNotScalar);
  if (mxIsSparse(in)) mexErrMsgTxt(kSparse);
  gatebox::require_double(in, "drawcounts", kNotDouble);
  const double *p = mxGetPr(in);
  plhs[0] = mxCreateDoubleMatrix(static_cast<mwSize>(m), static_cast<mwSize>(cols), mxREAL);
  double *h = mxGetPr(plhs[0]);
  if (m == 0) return;  // no categories: nothing to draw
  for (size_t j = 0; j < cols; ++j) MultiRand(p + j * m, m, trials, h + j * m);
}
