// h = drawcounts(p, n): one multinomial count vector of n trials per column
// of p, the column's entries being the category probabilities.
//
// The output has the rows and columns of p (its real part when complex);
// columns draw from the library's uniform stream one after the other.  Every
// check comes before the first draw: a refused call consumes nothing.
#include "kernels.h"
#include "statecall.h"
#include "vocabulary.h"

GATEBOX_ENTRY void mexFunction(int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]) {
  if (gatebox::state_call("drawcounts", nlhs, plhs, nrhs, prhs)) return;  // the 'state' call forms
  gatebox::require_nargs(nrhs, 2, "drawcounts", "Usage: h = drawcounts(p, n)");
  const int trials = gatebox::trial_count(prhs[1], "drawcounts");
  auto e = gatebox::elementwise("drawcounts", prhs[0], "p must be a double array; convert it with double(p).", plhs,
                                true);
  const std::size_t m = mxGetM(prhs[0]);
  if (m == 0) return;  // no categories: nothing to draw
  gatebox::MultiRand(LibraryStream(), e.in, m, trials, e.out, GATEBOX_WINDOWS_BEHAVIOUR, e.count / m);
}
