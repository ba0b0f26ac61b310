// Small helpers of the support library: a sum in log space, and membership
// of a sorted vector in a sorted set.
#include "util.h"
#include "crmath.h"

#include <cmath>

// The host allocator (same signature in every host); util does not include
// mex.h.  Blocks it returns belong to the current gateway call.
extern "C" void *mxCalloc(std::size_t n, std::size_t size);

// logSum: ln(e^a + e^b) without leaving log space.
// The larger argument is taken out first, hi + ln(e^(lo - hi) + 1), so exp
// never overflows.  Ties and comparisons with NaN keep a as hi.  When lo is
// not finite the sum is hi: -inf acts as the log of zero, and a NaN b is
// ignored (logSum(x, NaN) = x) while a NaN a is kept (logSum(NaN, x) = NaN).
double logSum(double a, double b) {
  double hi = a, lo = b;
  if (b > a) {
    hi = b;
    lo = a;
  }
  if (std::isfinite(lo)) return hi + cr_log(cr_exp(lo - hi) + 1.0);
  return hi;
}

#if !defined(GATEBOX_WINDOWS_BEHAVIOUR)
// ismember_sorted: flags[i] = 1 when a[i] occurs in s, else 0.
// Method: one merged walk over both ascending arrays; the index into s never
// moves back, so at most na + ns comparisons.  Duplicates in either array
// are allowed.  The walk ends as soon as an element of a exceeds the last of
// s.  A NaN in a is never flagged and does not move the walk.  The result
// is meaningful only for ascending inputs (the order is not checked); the
// walk stays inside both arrays whatever their order.  ns <= 0 is the empty
// set: s is not read.
std::int32_t *ismember_sorted(const double *a, std::size_t na, const double *s, int ns) {
  auto *flags = static_cast<std::int32_t *>(mxCalloc(na, sizeof(std::int32_t)));
  if (flags == nullptr || ns <= 0) return flags;
  int j = 0;
  for (std::size_t i = 0; i < na; ++i) {
    while (a[i] > s[j]) {
      if (++j == ns) return flags;  // a[i] and every later element exceed s
    }
    if (a[i] == s[j]) flags[i] = 1;
  }
  return flags;
}
#endif
