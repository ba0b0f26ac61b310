// h = drawcounts(p, n): one multinomial count vector of n trials per column
// of p, the column's entries being the category probabilities.
//
// The output has the rows and columns of p (its real part when complex);
// columns draw from the library's uniform stream one after the other.  Every
// check comes before the first draw: a refused call consumes nothing.
#include "gateway.h"
#include "trialcount.h"
#include "kernels.h"

#ifndef GATEBOX_WINDOWS_BEHAVIOUR
#define GATEBOX_WINDOWS_BEHAVIOUR 0
#endif

namespace {
const char kUsage[] = "Usage: h = drawcounts(p, n)";
const char kNotScalar[] = "n must be scalar";
const char kSparse[] = "Cannot handle sparse matrices.  Sorry.";
const char kNotDouble[] = "p must be a double array; convert it with double(p).";

}  // namespace

GATEBOX_ENTRY void mexFunction(int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]) {
  (void)nlhs;
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
  for (size_t j = 0; j < cols; ++j) gatebox::MultiRand(LibraryStream(), p + j * m, m, trials, h + j * m, GATEBOX_WINDOWS_BEHAVIOUR);
}
