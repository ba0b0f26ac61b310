// Pochhammer sums over the n consecutive arguments x, x + 1, ..., x + n - 1:
//   pochhammer     sum ln(x + k)      = ln of the rising factorial (x)_n
//   di_pochhammer  sum 1/(x + k)      = psi(x + n) - psi(x)
//   tri_pochhammer -sum 1/(x + k)^2   = psi'(x + n) - psi'(x)
// The cached forms keep the partial sums of the last x they saw (one cache
// per family, static in the library), so a caller stepping n = 1, 2, 3, ...
// at one x pays one term per new n.  Long sums use the closed forms.
#include "util.h"
#include "crmath.h"

#include <cmath>
#include <limits>

namespace {

constexpr int kCacheSize = 200;  // also the longest sum the cached forms add up
constexpr int kSlowLimit = 20;   // the longest sum the uncached forms add up

struct Cache {
  double x = -1.0;  // with max_cached = 0: empty
  int max_cached = 0;
  double v[kCacheSize] = {};  // v[k - 1] = sum of the first k terms at x
};

const double not_a_number = std::numeric_limits<double>::quiet_NaN();

// Closed forms of the long sums.  For x >= 10000 n the log sum is
// ln x + (n - 1) ln(x + n/2), the midpoint rule, whose relative error is
// O(n^3 / x^2); 10000.0 * n is formed in double so that no n overflows it.
double log_long_sum(double x, int n) {
  if (x >= 10000.0 * n) return cr_log(x) + (n - 1) * cr_log(x + n / 2);
  return gammaln(x + n) - gammaln(x);
}
double di_long_sum(double x, int n) { return digamma(x + n) - digamma(x); }
double tri_long_sum(double x, int n) { return trigamma(x + n) - trigamma(x); }

double log_term(double y) { return cr_log(y); }
double di_term(double y) { return 1.0 / y; }
double tri_term(double y) { return -1.0 / (y * y); }

Cache log_cache, di_cache, tri_cache;

// The cached sum of n terms from x: a lookup when the cache at x holds n
// partial sums, otherwise the cache extended from its last entry.
template <double (*term)(double), double (*long_sum)(double, int)>
double cached_sum(Cache &c, double x, int n) {
  if (n == 0) return 0.0;
  if (n < 0) return not_a_number;  // no sum of negative length; the cache is left alone
  if (n > kCacheSize) return long_sum(x, n);
  if (x != c.x || c.max_cached == 0) {  // a NaN x never equals the stored one
    c.x = x;
    c.max_cached = 1;
    c.v[0] = term(x);
  }
  if (n <= c.max_cached) return c.v[n - 1];
  double s = c.v[c.max_cached - 1];
  double y = x + c.max_cached - 1;
  for (int i = c.max_cached; i < n; ++i) {
    y = y + 1;
    s = s + term(y);
    c.v[i] = s;
  }
  c.max_cached = n;
  return s;
}

}  // namespace

double pochhammer(double x, int n) { return cached_sum<log_term, log_long_sum>(log_cache, x, n); }
double di_pochhammer(double x, int n) { return cached_sum<di_term, di_long_sum>(di_cache, x, n); }
double tri_pochhammer(double x, int n) { return cached_sum<tri_term, tri_long_sum>(tri_cache, x, n); }

// slow_pochhammer: the log of the product x (x + 1) ... (x + n - 1), one
// logarithm for up to 20 factors (the product may overflow to +inf where the
// cached sum of logarithms stays finite); the closed form above 20.
double slow_pochhammer(double x, int n) {
  if (n == 0) return 0.0;
  if (n < 0) return not_a_number;
  if (n > kSlowLimit) return log_long_sum(x, n);
  double p = x, y = x;
  for (int i = 1; i < n; ++i) {
    y = y + 1;
    p = p * y;
  }
  return cr_log(p);
}

double slow_di_pochhammer(double x, int n) {
  if (n == 0) return 0.0;
  if (n < 0) return not_a_number;
  if (n > kSlowLimit) return di_long_sum(x, n);
  double s = 1.0 / x, y = x;
  for (int i = 1; i < n; ++i) {
    y = y + 1;
    s = s + 1.0 / y;
  }
  return s;
}

double slow_tri_pochhammer(double x, int n) {
  if (n == 0) return 0.0;
  if (n < 0) return not_a_number;
  if (n > kSlowLimit) return tri_long_sum(x, n);
  double s = -1.0 / (x * x), y = x;
  for (int i = 1; i < n; ++i) {
    y = y + 1;
    s = s - 1.0 / (y * y);
  }
  return s;
}

PochhammerCacheView pochhammer_cache(PochhammerFamily family) {
  const Cache &c = family == PochhammerFamily::log ? log_cache
                   : family == PochhammerFamily::di ? di_cache
                                                    : tri_cache;
  return {c.x, c.max_cached, c.v};
}

void pochhammer_reset_caches() {
  log_cache = Cache{};
  di_cache = Cache{};
  tri_cache = Cache{};
}
