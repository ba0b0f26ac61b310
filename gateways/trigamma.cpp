// x = trigamma(n): the trigamma function psi'(n) element by element.
//
// The output has the input's dimensions; a complex input is read through its
// real part.  The array kernel gives every element the support library's
// trigamma to the bit, several elements per vector instruction.
#include "kernels.h"
#include "vocabulary.h"

GATEBOX_ENTRY void mexFunction(int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]) {
  (void)nlhs;
  gatebox::require_nargs(nrhs, 1, "trigamma", "Usage: x = trigamma(n)");
  auto e = gatebox::elementwise("trigamma", prhs[0], "N must be a double array; convert it with double(N).", plhs);
  gatebox::trigamma_array(e.in, e.out, e.count);
}
