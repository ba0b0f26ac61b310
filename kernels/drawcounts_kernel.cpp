// MultiRand: the multinomial sampler behind drawcounts.
#include "kernels.h"

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
// The columns, `columns` of them one after the other in p and counts, go
// through on one run of draws (MultinomialRand).
void MultiRand(WHState &state, const double *p, std::size_t m, int trials, double *counts, bool stop_at_nan,
               std::size_t columns) {
  MultinomialRand(state, p, m, columns, trials, counts, stop_at_nan);
}

}  // namespace gatebox
