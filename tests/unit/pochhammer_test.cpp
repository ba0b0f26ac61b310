// Pochhammer sums: values against long double term-by-term sums, and the
// caches observed through their read-only view.
#include "util.h"

#include <cmath>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace {

using Sum = std::function<double(double, int)>;
struct Form {
  const char *name;
  Sum f;
  int family;  // 0 log, 1 di, 2 tri
};
const std::vector<Form> forms = {
    {"pochhammer", pochhammer, 0},         {"slow_pochhammer", slow_pochhammer, 0},
    {"di_pochhammer", di_pochhammer, 1},   {"slow_di_pochhammer", slow_di_pochhammer, 1},
    {"tri_pochhammer", tri_pochhammer, 2}, {"slow_tri_pochhammer", slow_tri_pochhammer, 2},
};

// The sum itself, term by term in long double.
long double reference(int family, double x, int n) {
  long double s = 0;
  for (int k = 0; k < n; ++k) {
    long double y = static_cast<long double>(x) + k;
    s += family == 0 ? std::log(y) : family == 1 ? 1 / y : -1 / (y * y);
  }
  return s;
}

bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

struct Snapshot {
  double x;
  int max_cached;
  std::vector<double> v;
  explicit Snapshot(PochhammerFamily f) {
    PochhammerCacheView c = pochhammer_cache(f);
    x = c.x;
    max_cached = c.max_cached;
    v.assign(c.v, c.v + 200);
  }
  bool operator==(const Snapshot &o) const {
    return same_bits(x, o.x) && max_cached == o.max_cached && std::memcmp(v.data(), o.v.data(), 200 * sizeof(double)) == 0;
  }
};

class PochhammerCache : public ::testing::Test {
 protected:
  void SetUp() override { pochhammer_reset_caches(); }
};

TEST(Pochhammer, ClosedFormValues) {
  struct Case {
    int family;
    double x;
    int n;
    double want;
  };
  for (const Case &c : std::vector<Case>{{0, 1, 5, 4.787491742782046},  // ln 5! = ln 120
                                         {1, 1, 3, 11.0 / 6},           // 1 + 1/2 + 1/3
                                         {2, 1, 1, -1.0}}) {
    for (const Form &f : forms) {
      if (f.family != c.family) continue;
      EXPECT_NEAR(f.f(c.x, c.n), c.want, 1e-15 * std::fabs(c.want)) << f.name;
    }
  }
}

TEST(Pochhammer, AgreesWithTermByTermSumsOnEveryPath) {
  // n covers the term-by-term sums (1 .. 20 uncached, .. 200 cached), the
  // closed forms beyond, and x the sizes where the differences lose digits.
  const std::vector<double> xs = {0.25, 1, 2.5, 7.3, 100, 1234.5};
  const std::vector<int> ns = {1, 2, 7, 20, 21, 50, 199, 200, 201, 450};
  for (const Form &f : forms) {
    for (double x : xs) {
      for (int n : ns) {
        double want = static_cast<double>(reference(f.family, x, n));
        // The closed forms subtract two values of gammaln, digamma or trigamma
        // at x and inherit their absolute errors (trigamma's is about 2e-12
        // relative just below 8).
        double g = f.family == 0 ? std::lgamma(x) : f.family == 1 ? digamma(x) : trigamma(x);
        double tol = (f.family == 0 ? 1e-14 : f.family == 1 ? 1e-13 : 1e-11) * (std::fabs(want) + std::fabs(g));
        EXPECT_NEAR(f.f(x, n), want, tol) << f.name << "(" << x << ", " << n << ")";
      }
    }
  }
}

TEST(Pochhammer, NZeroIsZeroAndNegativeNIsNaNWithoutTouchingTheCaches) {
  pochhammer(2.5, 7);
  di_pochhammer(2.5, 7);
  tri_pochhammer(2.5, 7);
  const Snapshot before[3] = {Snapshot(PochhammerFamily::log), Snapshot(PochhammerFamily::di),
                              Snapshot(PochhammerFamily::tri)};
  for (const Form &f : forms) {
    for (double x : {2.5, 4.0, double(NAN), -1.0, 0.0}) {
      EXPECT_TRUE(same_bits(f.f(x, 0), 0.0)) << f.name << "(" << x << ", 0)";
      for (int n : {-1, -2, -200, -201, -2147483647 - 1}) EXPECT_TRUE(std::isnan(f.f(x, n))) << f.name << " " << n;
    }
  }
  EXPECT_TRUE(Snapshot(PochhammerFamily::log) == before[0]);
  EXPECT_TRUE(Snapshot(PochhammerFamily::di) == before[1]);
  EXPECT_TRUE(Snapshot(PochhammerFamily::tri) == before[2]);
}

TEST(Pochhammer, ZeroArgumentGivesTheInfiniteFirstTerm) {
  for (int n : {1, 5, 20, 21, 200, 201, 500}) {
    EXPECT_EQ(di_pochhammer(0, n), INFINITY) << n;
    EXPECT_EQ(slow_di_pochhammer(0, n), INFINITY) << n;
    EXPECT_EQ(tri_pochhammer(0, n), -INFINITY) << n;
    EXPECT_EQ(slow_tri_pochhammer(0, n), -INFINITY) << n;
  }
}

TEST(Pochhammer, UncachedLogTakesOneLogarithmOfTheProductUpTo20Terms) {
  // (1e16)_20 = 1e320 overflows: +inf from the product, where the sum of
  // logarithms stays finite (20 ln 1e16 = 736.8); at 21 terms the closed form.
  EXPECT_EQ(slow_pochhammer(1e16, 20), INFINITY);
  EXPECT_NEAR(pochhammer(1e16, 20), 736.82722975809464, 1e-12);  // mpmath, 30 digits
  EXPECT_NEAR(slow_pochhammer(1e16, 21), 21 * std::log(1e16), 1e-9);
}

TEST(Pochhammer, LargeArgumentsUseTheMidpointRuleFromX10000N) {
  // ln x + (n - 1) ln(x + n/2) is off by about (n - 1) / (2x) for odd n; the
  // gammaln difference is good to about 1e-8 here.  The error shows the path.
  const int n = 251;
  for (const Form &f : forms) {
    if (f.family != 0) continue;
    double at = 10000.0 * n, below = at - 1;
    double err_at = f.f(at, n) - static_cast<double>(reference(0, at, n));
    double err_below = f.f(below, n) - static_cast<double>(reference(0, below, n));
    EXPECT_NEAR(err_at, -(n - 1) / (2 * at), 1e-6) << f.name;
    EXPECT_LT(std::fabs(err_below), 1e-6) << f.name;
  }
  // The two forms share the bound and the formula.
  EXPECT_TRUE(same_bits(pochhammer(3e6, 250), slow_pochhammer(3e6, 250)));
  EXPECT_TRUE(same_bits(pochhammer(2e6, 250), slow_pochhammer(2e6, 250)));
  // 10000 n beyond the int range: x = 2e9 is below the bound 1e10, so the
  // gammaln difference (good to 1e-4 here), not the midpoint rule (off by
  // n^3 / (24 x^2) = 0.01).
  EXPECT_NEAR(pochhammer(2e9, 1000000), static_cast<double>(reference(0, 2e9, 1000000)), 1e-3);
}

TEST_F(PochhammerCache, StartsEmpty) {
  for (PochhammerFamily f : {PochhammerFamily::log, PochhammerFamily::di, PochhammerFamily::tri}) {
    EXPECT_EQ(pochhammer_cache(f).x, -1.0);
    EXPECT_EQ(pochhammer_cache(f).max_cached, 0);
  }
  // x equal to the empty marker still starts from the first term.
  EXPECT_EQ(di_pochhammer(-1.0, 1), -1.0);
  EXPECT_EQ(tri_pochhammer(-1.0, 1), -1.0);
  EXPECT_TRUE(std::isnan(pochhammer(-1.0, 1)));  // ln(-1)
  EXPECT_EQ(pochhammer_cache(PochhammerFamily::di).max_cached, 1);
}

TEST_F(PochhammerCache, ReusesStoredSumsAndAddsOnlyNewTerms) {
  const double x = 2.5;  // x + k exact: a filled cache equals a fresh one bit for bit
  pochhammer(x, 10);
  Snapshot after10(PochhammerFamily::log);
  EXPECT_EQ(after10.max_cached, 10);
  EXPECT_EQ(after10.x, x);

  double four = pochhammer(x, 4);  // a lookup: nothing changes
  EXPECT_TRUE(same_bits(four, after10.v[3]));
  EXPECT_TRUE(Snapshot(PochhammerFamily::log) == after10);

  double twelve = pochhammer(x, 12);  // two new terms, the first ten kept
  Snapshot after12(PochhammerFamily::log);
  EXPECT_EQ(after12.max_cached, 12);
  EXPECT_EQ(std::memcmp(after12.v.data(), after10.v.data(), 10 * sizeof(double)), 0);

  pochhammer_reset_caches();
  EXPECT_TRUE(same_bits(pochhammer(x, 12), twelve));  // fresh state, one pass
  EXPECT_EQ(std::memcmp(Snapshot(PochhammerFamily::log).v.data(), after12.v.data(), 12 * sizeof(double)), 0);
  EXPECT_TRUE(same_bits(pochhammer(x, 4), four));

  pochhammer(3.5, 3);  // another x restarts the cache
  EXPECT_EQ(pochhammer_cache(PochhammerFamily::log).x, 3.5);
  EXPECT_EQ(pochhammer_cache(PochhammerFamily::log).max_cached, 3);
}

TEST_F(PochhammerCache, SteppingNCostsOneTermPerCall) {
  for (int n = 1; n <= 60; ++n) {
    double s = di_pochhammer(0.3, n);
    EXPECT_EQ(pochhammer_cache(PochhammerFamily::di).max_cached, n);
    EXPECT_NEAR(s, static_cast<double>(reference(1, 0.3, n)), 1e-14 * s);
  }
  for (int n = 60; n >= 1; --n) di_pochhammer(0.3, n);  // lookups only
  EXPECT_EQ(pochhammer_cache(PochhammerFamily::di).max_cached, 60);
}

TEST_F(PochhammerCache, FamiliesHaveSeparateCaches) {
  pochhammer(1.5, 5);
  di_pochhammer(2.5, 6);
  tri_pochhammer(3.5, 7);
  EXPECT_EQ(pochhammer_cache(PochhammerFamily::log).x, 1.5);
  EXPECT_EQ(pochhammer_cache(PochhammerFamily::di).max_cached, 6);
  EXPECT_EQ(pochhammer_cache(PochhammerFamily::tri).x, 3.5);
  for (const Form &f : forms)
    if (std::strncmp(f.name, "slow_", 5) == 0) f.f(9.5, 12);  // the uncached forms keep no state
  EXPECT_EQ(pochhammer_cache(PochhammerFamily::log).max_cached, 5);
  EXPECT_EQ(pochhammer_cache(PochhammerFamily::tri).max_cached, 7);
}

TEST_F(PochhammerCache, UsedUpTo200TermsAndLeftAloneAbove) {
  const PochhammerFamily fam[3] = {PochhammerFamily::log, PochhammerFamily::di, PochhammerFamily::tri};
  const Sum cached[3] = {pochhammer, di_pochhammer, tri_pochhammer};
  for (int i = 0; i < 3; ++i) {
    double s200 = cached[i](1.5, 200);
    Snapshot full(fam[i]);
    EXPECT_EQ(full.max_cached, 200);
    EXPECT_TRUE(same_bits(full.v[199], s200));
    double s201 = cached[i](1.5, 201);  // closed form
    cached[i](7.25, 201);               // another x, closed form: no restart
    EXPECT_TRUE(Snapshot(fam[i]) == full);
    EXPECT_NEAR(s201, static_cast<double>(reference(i, 1.5, 201)), 1e-12 * std::fabs(s201));
  }
}

TEST_F(PochhammerCache, NaNArgumentNeverMatchesTheCache) {
  EXPECT_TRUE(std::isnan(pochhammer(NAN, 3)));
  EXPECT_EQ(pochhammer_cache(PochhammerFamily::log).max_cached, 3);
  EXPECT_TRUE(std::isnan(pochhammer(NAN, 2)));  // restarts rather than reading entry 2
  EXPECT_EQ(pochhammer_cache(PochhammerFamily::log).max_cached, 2);
  EXPECT_EQ(pochhammer(NAN, 0), 0.0);
  EXPECT_TRUE(std::isnan(pochhammer(NAN, 250)));  // the closed form passes NaN on
}

}  // namespace
