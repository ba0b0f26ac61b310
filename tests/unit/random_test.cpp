// The random variate generators on local states: golden streams from the
// independent script tests/tools/random_golden.py, the number of uniforms each
// branch consumes, prompt returns for every argument, and goodness of fit.
// The generator is deterministic, so the statistical tests are reproducible.
#include "kernels.h"
#include "unit/stats.h"
#include "util.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

namespace {

const std::string kData = GATEBOX_TEST_DATA;

bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }
bool same_state(const WHState &a, const WHState &b) { return a.ix == b.ix && a.iy == b.iy && a.iz == b.iz; }

// How many Rand steps lead from `before` to `after` (-1 if none within limit).
int uniforms_between(WHState before, const WHState &after, int limit = 100000) {
  for (int k = 0; k <= limit; ++k) {
    if (same_state(before, after)) return k;
    Rand(before);
  }
  return -1;
}

TEST(Rand, FollowsTheGoldenStreamOfStatesAndValues) {
  auto rows = stats::read_table(kData + "/rand_stream.csv", ',');
  ASSERT_EQ(rows.size(), 1000u);
  WHState s = kWHInitialState;
  for (const auto &r : rows) {
    double u = Rand(s);
    ASSERT_EQ(s.ix, std::stoi(r[1])) << "draw " << r[0];
    ASSERT_EQ(s.iy, std::stoi(r[2])) << "draw " << r[0];
    ASSERT_EQ(s.iz, std::stoi(r[3])) << "draw " << r[0];
    ASSERT_TRUE(same_bits(u, std::strtod(r[4].c_str(), nullptr))) << "draw " << r[0];
  }
}

TEST(Rand, StartsFromThePublishedSeedsAndMatchesThePlainFormula) {
  WHState s = kWHInitialState;
  EXPECT_EQ(Rand(s), 0.320176362991333);
  EXPECT_TRUE((same_state(s, {17271, 20637, 2082})));
  EXPECT_EQ(Rand(s), 0.36242103576660156);
  EXPECT_EQ(Rand(s), 0.4219481945037842);
  EXPECT_TRUE((same_state(s, {13315, 20800, 8968})));
  // The plain formula, one scalar division a component, as the reference.
  for (int i = 0; i < 1000000; ++i) {
    double u = Rand(s);
    float f = static_cast<float>(s.ix / 30269.0 + s.iy / 30307.0 + s.iz / 30323.0);
    ASSERT_TRUE(same_bits(u, static_cast<double>(f - std::floor(f)))) << "draw " << i;
    ASSERT_TRUE(u >= 0.0 && u < 1.0);
  }
}

TEST(GammaRand, FollowsTheGoldenStream) {
  auto rows = stats::read_table(kData + "/gamma_stream.csv", ',');
  ASSERT_EQ(rows.size(), 760u);
  WHState s = kWHInitialState;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    double a = std::strtod(rows[i][0].c_str(), nullptr);
    ASSERT_TRUE(same_bits(GammaRand(s, a), std::strtod(rows[i][1].c_str(), nullptr))) << "row " << i << " a " << a;
  }
}

TEST(BinoRand, FollowsTheGoldenStream) {
  auto rows = stats::read_table(kData + "/bino_stream.csv", ',');
  ASSERT_EQ(rows.size(), 420u);
  WHState s = kWHInitialState;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    double p = std::strtod(rows[i][0].c_str(), nullptr);
    int n = std::stoi(rows[i][1]);
    ASSERT_EQ(BinoRand(s, p, n), std::stoi(rows[i][2])) << "row " << i << " p " << p << " n " << n;
  }
}

// MultiRand on a local state, in both builds' NaN handling: the golden
// multinomial streams, one column a row, continuing one stream; the library's
// own stream is left where it was.
TEST(MultiRand, FollowsTheGoldenStreamsOnALocalState) {
  const WHState library_before = LibraryStream();
  for (auto [file, stop_at_nan] : {std::pair{"/multi_stream.csv", false}, std::pair{"/multi_stream_win.csv", true}}) {
    auto rows = stats::read_table(kData + file, ';');
    ASSERT_EQ(rows.size(), 50u) << file;
    WHState s = kWHInitialState;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      std::vector<double> p = stats::numbers(rows[i][1]), counts(p.size(), -1.0);
      gatebox::MultiRand(s, p.data(), p.size(), std::stoi(rows[i][0]), counts.data(), stop_at_nan);
      ASSERT_EQ(counts, stats::numbers(rows[i][2])) << file << " row " << i;
    }
  }
  EXPECT_TRUE(same_state(LibraryStream(), library_before));
}

// Fixed draw counts: the argument checks draw nothing, the exponential and
// direct branches a fixed number.
TEST(Samplers, ConsumeTheDocumentedNumberOfUniforms) {
  struct Case {
    const char *what;
    std::function<double(WHState &)> draw;
    int uniforms;
    double result;  // NaN: not checked
  };
  const double any = NAN;
  std::vector<Case> cases = {
      {"BinoRand(0.51, 14) direct", [](WHState &s) { return BinoRand(s, 0.51, 14); }, 14, any},
      {"BinoRand(0.9, 0)", [](WHState &s) { return BinoRand(s, 0.9, 0); }, 0, 0},
      {"BinoRand(0.3, 0) one spacing", [](WHState &s) { return BinoRand(s, 0.3, 0); }, 1, 0},
      {"BinoRand(1.7, 9)", [](WHState &s) { return BinoRand(s, 1.7, 9); }, 0, 9},
      {"BinoRand(1 - 2^-52, 9)", [](WHState &s) { return BinoRand(s, 0.9999999999999998, 9); }, 0, 9},
      {"BinoRand(-0.3, 9)", [](WHState &s) { return BinoRand(s, -0.3, 9); }, 0, 0},
      {"BinoRand(1e-17, 9)", [](WHState &s) { return BinoRand(s, 1e-17, 9); }, 0, 0},
      {"BinoRand(NaN, 9)", [](WHState &s) { return BinoRand(s, NAN, 9); }, 0, 0},
      {"BinoRand(0.3, -4)", [](WHState &s) { return BinoRand(s, 0.3, -4); }, 0, 0},
      {"BinoRand(0.7, INT_MIN)", [](WHState &s) { return BinoRand(s, 0.7, INT_MIN); }, 0, 0},
      {"GammaRand(1)", [](WHState &s) { return GammaRand(s, 1.0); }, 1, any},
      {"GammaRand(1 - 2^-53)", [](WHState &s) { return GammaRand(s, 0.9999999999999999); }, 1, any},
      {"GammaRand(0)", [](WHState &s) { return GammaRand(s, 0.0); }, 0, 0},
      {"GammaRand(-2)", [](WHState &s) { return GammaRand(s, -2.0); }, 0, 0},
      {"GammaRand(1e-16)", [](WHState &s) { return GammaRand(s, 1e-16); }, 0, 0},
      {"GammaRand(-Inf)", [](WHState &s) { return GammaRand(s, -INFINITY); }, 0, 0},
      {"GammaRand(+Inf)", [](WHState &s) { return GammaRand(s, INFINITY); }, 0, INFINITY},
      {"BetaRand(0, -1)", [](WHState &s) { return BetaRand(s, 0.0, -1.0); }, 0, any},
  };
  for (const Case &c : cases) {
    WHState s = kWHInitialState;
    double r = c.draw(s);
    EXPECT_EQ(uniforms_between(kWHInitialState, s), c.uniforms) << c.what;
    if (!std::isnan(c.result)) {
      EXPECT_EQ(r, c.result) << c.what;
    }
  }
  WHState s = kWHInitialState;
  EXPECT_TRUE(std::isnan(GammaRand(s, NAN)));
  EXPECT_TRUE(std::isnan(BetaRand(s, 0.0, 0.0)));
  EXPECT_TRUE(same_state(s, kWHInitialState));
  // The exponential branch is -ln of the first uniform.
  WHState e = kWHInitialState;
  EXPECT_EQ(GammaRand(e, 1.0), -std::log(0.320176362991333));
}

// Variable draw counts: the waiting-time method takes one uniform more than
// the count it returns (n when it returns n); the gamma attempts take two
// uniforms each, after one for the boost below shape 1.
TEST(Samplers, VariableBranchesConsumeUniformsInTheirPattern) {
  WHState s = kWHInitialState;
  int waiting = 0, boosted = 0;
  for (int i = 0; i < 2000; ++i) {
    struct {
      double p;
      int n;
    } w[] = {{0.5, 14}, {0.51, 15}, {0.05, 50}, {0.3, 3}, {0.02, 400}};
    for (auto c : w) {
      WHState before = s;
      int k = BinoRand(s, c.p, c.n);
      int used = uniforms_between(before, s);
      ASSERT_EQ(used, k == c.n ? c.n : k + 1) << c.p << " " << c.n;
      ++waiting;
    }
    for (double a : {0.5, 0.01, 0.999}) {
      WHState before = s;
      GammaRand(s, a);
      int used = uniforms_between(before, s);
      ASSERT_TRUE(used >= 3 && used % 2 == 1) << a << " used " << used;
      ++boosted;
    }
    for (double a : {1.5, 2.5, 2.6, 30.0}) {
      WHState before = s;
      GammaRand(s, a);
      int used = uniforms_between(before, s);
      ASSERT_TRUE(used >= 2 && used % 2 == 0) << a << " used " << used;
    }
  }
  EXPECT_EQ(waiting, 10000);
  EXPECT_EQ(boosted, 6000);
}

// Arguments the algorithms leave open still return, and in range: trial
// counts up to 2^31 - 1 (n + 1 does not overflow), negative counts, huge and
// infinite shapes.
TEST(Samplers, ReturnPromptlyForExtremeArguments) {
  WHState s = kWHInitialState;
  for (double p : {1e-15, 1e-9, 4e-9, 1e-6, 0.01, 0.3, 0.5, 0.51, 0.9, 0.999999, 0.9999999999999997}) {
    for (int n : {INT_MAX, INT_MAX - 1, 1 << 30, 100000007}) {
      int k = BinoRand(s, p, n);
      ASSERT_TRUE(k >= 0 && k <= n) << p << " " << n;
      double mean = p * n, sd = std::sqrt(n * p * (1 - p));
      EXPECT_LE(std::fabs(k - mean), 8 * sd + 10) << p << " " << n;
    }
    for (int n : {-1, -15, INT_MIN}) EXPECT_EQ(BinoRand(s, p, n), 0);
  }
  for (int i = 0; i <= 3080; ++i) {  // shapes 1 to 1e308 and DBL_MAX
    double a = i == 3080 ? 1.7976931348623157e308 : std::pow(10.0, i / 10.0);
    double g = GammaRand(s, a);
    ASSERT_TRUE(g > 0 && std::isfinite(g)) << a;
    if (a > 1e6) {
      ASSERT_LE(std::fabs(g / a - 1.0), 0.01) << a;
    }
  }
  // Shapes a few ulps around 1 (d = a - 1 tiny, c1 and c2 huge) and 2.5.
  for (int k = 1; k <= 500; ++k) {
    for (double a : {1.0 + k * 0x1p-52, 1.0 - k * 0x1p-53, 2.5 + k * 0x1p-51, 2.5 - k * 0x1p-51}) {
      WHState before = s;
      double g = GammaRand(s, a);
      ASSERT_TRUE(g >= 0 && std::isfinite(g)) << a;
      int used = uniforms_between(before, s, 1000);
      ASSERT_TRUE(used >= 0 && used <= 200) << a << " used " << used;
    }
  }
  EXPECT_EQ(GammaRand(s, INFINITY), INFINITY);
}

// Chi-square of BinoRand against the exact pmf, one table row per branch.
TEST(BinoRand, FitsTheBinomialPmfInEveryBranch) {
  struct Case {
    const char *branch;
    double p;
    int n;
    int draws;
  };
  const Case cases[] = {
      {"direct", 0.7, 12, 200000},        {"direct", 0.51, 14, 200000},      {"waiting time", 0.5, 14, 200000},
      {"waiting time", 0.05, 50, 200000}, {"waiting time", 0.51, 15, 200000}, {"waiting time", 0.001, 9000, 200000},
      {"beta split", 0.5, 20, 200000},    {"beta split", 0.2, 100, 200000},    {"beta split", 0.9, 40, 200000},
      {"recursion", 0.3, 1000, 100000},   {"recursion", 0.37, 100000, 50000},  {"recursion", 0.99, 5000, 100000},
  };
  WHState s = kWHInitialState;
  for (const Case &c : cases) {
    std::vector<double> observed(c.n + 1, 0.0), prob(c.n + 1);
    double sum = 0;
    for (int i = 0; i < c.draws; ++i) {
      int k = BinoRand(s, c.p, c.n);
      ASSERT_TRUE(k >= 0 && k <= c.n);
      observed[k] += 1;
      sum += k;
    }
    for (int k = 0; k <= c.n; ++k) prob[k] = stats::binomial_pmf(c.n, c.p, k);
    double pvalue = stats::chi2_test(observed, prob, c.draws);
    EXPECT_GT(pvalue, 1e-6) << c.branch << " p " << c.p << " n " << c.n;
    double mean = sum / c.draws, se = std::sqrt(c.n * c.p * (1 - c.p) / c.draws);
    EXPECT_LE(std::fabs(mean - c.n * c.p), 5 * se) << c.branch << " p " << c.p << " n " << c.n;
  }
}

// Kolmogorov-Smirnov of GammaRand against the gamma CDF, shapes below 1,
// from 1 to 2.5 (GKM1) and above 2.5 (GKM2).
TEST(GammaRand, FitsTheGammaDistributionForEveryShapeRegion) {
  WHState s = kWHInitialState;
  for (double a : {0.05, 0.3, 0.7, 0.999, 1.0, 1.2, 1.7, 2.5, 2.51, 3.0, 7.5, 40.0, 1000.0}) {
    const int draws = 100000;
    std::vector<double> x(draws);
    double sum = 0;
    for (double &v : x) sum += (v = GammaRand(s, a));
    double pvalue = stats::ks_test(x, [a](double t) { return stats::gamma_p(a, t); });
    EXPECT_GT(pvalue, 1e-6) << "shape " << a;
    EXPECT_LE(std::fabs(sum / draws - a), 5 * std::sqrt(a / draws)) << "shape " << a;
  }
}

TEST(BetaRand, IsTheRatioOfTwoGammaDrawsInOrder) {
  WHState s = kWHInitialState, t = kWHInitialState;
  for (double a : {0.4, 1.0, 3.0, 12.0}) {
    double b = 2.0 * a + 0.5;
    double g1 = GammaRand(t, a), g2 = GammaRand(t, b);
    EXPECT_TRUE(same_bits(BetaRand(s, a, b), g1 / (g1 + g2)));
  }
  EXPECT_TRUE(same_state(s, t));
}

}  // namespace
