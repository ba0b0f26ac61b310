// x = trigamma(n): the trigamma function psi'(n) element by element.
//
// The output has the input's dimensions; a complex input is read through its
// real part.  Every value comes from the support library's trigamma, so the
// gateway's results are those of the plain loop.
#include "util.h"
#include "vocabulary.h"

GATEBOX_ENTRY void mexFunction(int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]) {
  (void)nlhs;
  gatebox::require_nargs(nrhs, 1, "trigamma", "Usage: x = trigamma(n)");
  auto e = gatebox::elementwise("trigamma", prhs[0], "N must be a double array; convert it with double(N).", plhs);
  for (std::size_t i = 0; i < e.count; ++i) e.out[i] = trigamma(e.in[i]);
}
