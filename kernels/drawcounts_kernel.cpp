// MultiRand: the multinomial sampler behind drawcounts.
#include "kernels.h"

#include <cmath>

namespace gatebox {

// MultiRand: the counts of `trials` trials over m >= 1 categories by
// conditional binomials (the multinomial as a chain of binomials, Devroye
// 1986, ch. XI): category k gets Binomial(a, p(k)/r) of the a trials left,
// r being the mass left, starting from exactly 1 (the column is not
// normalised).  The last category takes every trial left over, whatever its
// own probability.  Once the mass left is exactly 0 the remaining counts are
// 0; with stop_at_nan (the Windows build) also when it is NaN (a NaN
// probability), where otherwise the chain goes on with BinoRand(NaN, a) = 0
// and gives the trials left to the last category.
void MultiRand(WHState &state, const double *p, std::size_t m, int trials, double *counts, bool stop_at_nan) {
  double r = 1.0;
  int a = trials;
  for (std::size_t k = 0; k + 1 < m; ++k) {
    int b = BinoRand(state, p[k] / r, a);
    counts[k] = b;
    r = r - p[k];
    a = a - b;
    if (r == 0.0 || (stop_at_nan && std::isnan(r))) {
      for (std::size_t j = k + 1; j < m; ++j) counts[j] = 0.0;
      return;
    }
  }
  counts[m - 1] = a;
}

}  // namespace gatebox
