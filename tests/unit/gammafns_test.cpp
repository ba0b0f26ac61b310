// gammaln, digamma and trigamma: values the algorithms define exactly, the
// special-value table, and accuracy against independent references.
//
// References: mpmath at 50 digits (tests/tools/gammafns_reference.py), at
// the exact binary value of each input.
#include "util.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace {

const double inf = std::numeric_limits<double>::infinity();
const double nan = std::numeric_limits<double>::quiet_NaN();

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

// Accuracy by region against mpmath at the exact binary value of each input:
// tests/data/gammafns_reference.csv, written by
//   python3 tests/tools/gammafns_reference.py > tests/data/gammafns_reference.csv
// The error is relative, or absolute below `floor` in magnitude (near the
// zeros of ln Gamma at 1 and 2, of psi at 1.4616, and near the poles, where
// pi * x rounds).  The "bounds" regions hold the doubles next to each switch
// of formula and take the looser tolerance of the two regions meeting there.
struct Tolerance {
  const char *function, *region;
  double tol, floor;
  int rows = 0;
  double worst = 0;
};

TEST(SpecialFunctions, AgreeWithHighPrecisionValuesByRegion) {
  std::vector<Tolerance> tolerances = {
      {"gammaln", "tiny", 2e-15, 1e-300},       {"gammaln", "to 0.5", 3e-15, 1e-300},
      {"gammaln", "split", 3e-15, 1e-300},      {"gammaln", "to 1.5", 3e-14, 1e-300},
      {"gammaln", "near 2", 3e-14, 1e-300},     {"gammaln", "to 4", 3e-15, 1e-300},
      {"gammaln", "to 12", 3e-15, 1e-300},      {"gammaln", "series", 3e-15, 1e-300},
      {"gammaln", "huge", 3e-15, 1e-300},       {"gammaln", "zeros at 1 and 2", 3e-15, 1.0},
      {"gammaln", "bounds", 3e-14, 1e-300},
      {"digamma", "small form", 1e-15, 1e-300}, {"digamma", "recurrence", 5e-15, 1.0},
      {"digamma", "series", 2e-15, 1e-300},     {"digamma", "reflection", 1e-9, 1.0},
      {"digamma", "bounds", 5e-15, 1.0},
      {"trigamma", "small form", 1e-15, 1e-300}, {"trigamma", "recurrence", 1e-11, 1e-300},
      {"trigamma", "series", 1e-11, 1e-300},    {"trigamma", "reflection", 1e-9, 1e-300},
      {"trigamma", "bounds", 1e-11, 1e-300},
  };
  std::ifstream in(std::string(GATEBOX_TEST_DATA) + "/gammafns_reference.csv");
  ASSERT_TRUE(in) << "tests/data/gammafns_reference.csv";
  std::string line;
  long declared = -1, read = 0;
  while (std::getline(in, line)) {
    if (line.rfind("# rows ", 0) == 0) declared = std::stol(line.substr(7));
    if (line.empty() || line[0] == '#') continue;
    std::stringstream ss(line);
    std::string function, region, xs, vs;
    std::getline(ss, function, ',');
    std::getline(ss, region, ',');
    std::getline(ss, xs, ',');
    std::getline(ss, vs, ',');
    auto t = std::find_if(tolerances.begin(), tolerances.end(),
                          [&](const Tolerance &k) { return function == k.function && region == k.region; });
    ASSERT_NE(t, tolerances.end()) << "no tolerance for " << function << ", " << region;
    const double x = std::strtod(xs.c_str(), nullptr);
    const long double want = std::strtold(vs.c_str(), nullptr);
    const double got = function == "gammaln" ? gammaln(x) : function == "digamma" ? digamma(x) : trigamma(x);
    const double err = static_cast<double>(std::fabs((static_cast<long double>(got) - want) /
                                                     std::max(std::fabs(want), static_cast<long double>(t->floor))));
    EXPECT_LE(err, t->tol) << function << " " << region << " x=" << xs << " got=" << got << " want=" << vs;
    t->worst = std::max(t->worst, err);
    ++t->rows;
    ++read;
  }
  EXPECT_EQ(read, declared);  // the file is whole
  EXPECT_EQ(read, 4728);      // and is the one the script writes
  for (const Tolerance &t : tolerances) {
    EXPECT_GT(t.rows, 0) << t.function << " " << t.region;
    std::printf("  %-8s %-16s %5d rows, worst error %.2e (tolerance %.0e)\n", t.function, t.region, t.rows, t.worst,
                t.tol);
  }
}

}  // namespace
