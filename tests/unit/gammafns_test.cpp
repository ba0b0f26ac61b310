// gammaln, digamma and trigamma: values the algorithms define exactly, the
// special-value table, and accuracy against independent references.
//
// References: glibc's lgammal (80-bit long double) for ln Gamma; for psi and
// psi' a long double evaluation written here independently of the kernels
// (recurrence up to x >= 40, then the asymptotic series with terms through
// B_16, Abramowitz and Stegun 6.3.18 and 6.4.12; reflection for x < 0 with
// sinl/tanl), about 1e-18 relative, far below the tolerances tested.
#include "util.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <vector>

namespace {

const double inf = std::numeric_limits<double>::infinity();
const double nan = std::numeric_limits<double>::quiet_NaN();

long double ref_digamma(long double x) {
  const long double pi = 3.141592653589793238462643383279503L;
  if (x < 0) return ref_digamma(1 - x) + pi / std::tan(-pi * x);
  long double sum = 0;
  for (; x < 40; x += 1) sum -= 1 / x;
  long double r2 = 1 / (x * x);
  // B_2k / (2k) for k = 1..8
  const long double b[8] = {1.0L / 12, -1.0L / 120, 1.0L / 252, -1.0L / 240,
                            1.0L / 132, -691.0L / 32760, 1.0L / 12, -3617.0L / 8160};
  long double s = 0, p = r2;
  for (long double c : b) {
    s += c * p;
    p *= r2;
  }
  return sum + std::log(x) - 0.5L / x - s;
}

long double ref_trigamma(long double x) {
  const long double pi = 3.141592653589793238462643383279503L;
  if (x < 0) {
    long double s = pi / std::sin(-pi * x);
    return s * s - ref_trigamma(1 - x);
  }
  long double sum = 0;
  for (; x < 40; x += 1) sum += 1 / (x * x);
  long double r2 = 1 / (x * x);
  // B_2k for k = 1..8
  const long double b[8] = {1.0L / 6, -1.0L / 30, 1.0L / 42, -1.0L / 30, 5.0L / 66, -691.0L / 2730, 7.0L / 6,
                            -3617.0L / 510};
  long double s = 0, p = 1 / x;
  for (long double c : b) {
    p *= r2;
    s += c * p;
  }
  return sum + 1 / x + r2 / 2 + s;
}

TEST(Gammaln, ValuesTheAlgorithmDefinesExactly) {
  EXPECT_EQ(gammaln(1.0), 0.0);  // t = 0 near 1
  EXPECT_EQ(gammaln(2.0), 0.0);  // t = 0 near 2
  EXPECT_EQ(gammaln(1e-300), -std::log(1e-300));  // 1 + x == 1: the early return
  EXPECT_EQ(gammaln(1e-300), 690.7755278982137);
  EXPECT_NEAR(gammaln(0.5), 0.5723649429247001, 5e-15);  // ln sqrt(pi)
  EXPECT_NEAR(gammaln(4.0), std::log(6.0), 1e-15);
  EXPECT_NEAR(gammaln(12.0), std::log(39916800.0), 4e-15 * std::log(39916800.0));
}

TEST(SpecialFunctions, SpecialValueTable) {
  struct Row {
    double x, lg, dg, tg;
  };
  const Row rows[] = {
      {nan, nan, nan, nan},        {-inf, nan, nan, nan},   {0.0, inf, -inf, inf},
      {-0.0, inf, -inf, inf},      {-3.0, nan, -inf, inf},  {-2.0, nan, -inf, inf},
      {-1.5, nan, 0.7031566406452432, 9.3792466449891237}, {inf, nan, inf, 0.0},
  };
  auto same = [](double a, double b) { return (std::isnan(a) && std::isnan(b)) || a == b; };
  for (const Row &r : rows) {
    EXPECT_TRUE(same(gammaln(r.x), r.lg)) << "gammaln(" << r.x << ") = " << gammaln(r.x);
    if (std::isfinite(r.x) && r.x < 0 && r.x != std::floor(r.x)) {
      EXPECT_NEAR(digamma(r.x), r.dg, 1e-14);
      EXPECT_NEAR(trigamma(r.x), r.tg, 1e-12);
    } else {
      EXPECT_TRUE(same(digamma(r.x), r.dg)) << "digamma(" << r.x << ") = " << digamma(r.x);
      EXPECT_TRUE(same(trigamma(r.x), r.tg)) << "trigamma(" << r.x << ") = " << trigamma(r.x);
    }
  }
  EXPECT_EQ(gammaln(1.7e308), inf);  // x (ln x - 1) overflows
}

TEST(Digamma, KnownValuesAndTheSmallArgumentForm) {
  const double euler = 0.5772156649015329;
  EXPECT_NEAR(digamma(1.0), -euler, 1e-14);
  EXPECT_NEAR(digamma(2.0), 1 - euler, 1e-14);
  // Below 1e-6: (-gamma - 1/x) + (pi^2/6) x
  EXPECT_EQ(digamma(1e-7), (-euler - 1e7) + 1.6449340668482264 * 1e-7);
  EXPECT_NEAR(digamma(1e-7), -10000000.5772155, 1e-7);
}

TEST(Trigamma, KnownValuesAndTheSmallArgumentForm) {
  const double pi2_6 = 1.6449340668482264;
  EXPECT_NEAR(trigamma(1.0), pi2_6, 1e-12);
  EXPECT_NEAR(trigamma(-0.5), 3 * pi2_6 + 4, 1e-12);  // pi^2/2 + 4
  EXPECT_EQ(trigamma(1e-5), 1 / (1e-5 * 1e-5) + pi2_6 + -2.4041138063191885 * 1e-5);
}

// Accuracy by region: relative error against the long double reference.
struct Region {
  const char *name;
  double lo, hi;
  bool log_spaced;
  double tol;
  double floor = 1e-300;  // below this magnitude the error is taken as absolute
};

template <typename F, typename R>
int check_region(const Region &g, F f, R ref, int n = 2000) {
  std::mt19937_64 rng(12345);
  std::uniform_real_distribution<double> u(0.0, 1.0);
  int rows = 0;
  for (int i = 0; i < n; ++i) {
    double t = u(rng);
    double x = g.log_spaced ? std::exp(std::log(g.lo) + t * (std::log(g.hi) - std::log(g.lo))) : g.lo + t * (g.hi - g.lo);
    long double want = ref(static_cast<long double>(x));
    double got = f(x);
    double err = static_cast<double>(std::fabs((static_cast<long double>(got) - want) /
                                               std::max(std::fabs(want), static_cast<long double>(g.floor))));
    EXPECT_LE(err, g.tol) << g.name << " x=" << x << " got=" << got << " want=" << static_cast<double>(want);
    ++rows;
  }
  return rows;
}

TEST(Gammaln, AccuracyAcrossRegions) {
  const Region regions[] = {
      {"tiny", 1e-300, 1e-8, true, 2e-15},      {"to 0.5", 1e-8, 0.5, true, 3e-15},
      {"split", 0.5, 0.68, false, 3e-15},       {"to 1.5", 0.68, 0.95, false, 3e-14},
      {"near 2", 1.6, 1.9, false, 3e-14},       {"to 4", 2.1, 4, false, 3e-15},
      {"to 12", 4, 12, false, 3e-15},           {"series", 12, 1e6, true, 3e-15},
      {"huge", 1e6, 1e300, true, 3e-15},
  };
  int rows = 0;
  for (const Region &g : regions) rows += check_region(g, gammaln, [](long double x) { return std::lgamma(x); });
  EXPECT_EQ(rows, 9 * 2000);
}

TEST(Gammaln, AbsoluteAccuracyNearTheZerosAtOneAndTwo) {
  for (double x = 0.9; x <= 2.1; x += 1.0 / 1024)
    EXPECT_NEAR(gammaln(x), static_cast<double>(std::lgamma(static_cast<long double>(x))), 3e-15) << x;
}

TEST(Digamma, AccuracyAcrossRegions) {
  const Region regions[] = {
      {"small form", 1e-12, 1e-6, true, 1e-15}, {"recurrence", 1e-6, 12, true, 5e-15, 1.0},  // absolute near the zero at 1.4616
      {"series", 12, 1e12, true, 2e-15},        {"reflection", -30, -1e-3, false, 1e-9, 1.0},  // pi*x rounds near the poles
  };
  int rows = 0;
  for (const Region &g : regions) rows += check_region(g, digamma, ref_digamma);
  EXPECT_EQ(rows, 4 * 2000);
}

TEST(Trigamma, AccuracyAcrossRegions) {
  const Region regions[] = {
      {"small form", 1e-12, 1e-4, true, 1e-15}, {"recurrence", 1e-4, 8, true, 1e-11},
      {"series", 8, 1e12, true, 1e-11},         {"reflection", -30, -1e-3, false, 1e-9},
  };
  int rows = 0;
  for (const Region &g : regions) rows += check_region(g, trigamma, ref_trigamma);
  EXPECT_EQ(rows, 4 * 2000);
}

}  // namespace
