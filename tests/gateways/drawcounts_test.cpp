// The drawcounts gateway through the own host: the golden multinomial
// streams of tests/tools/random_golden.py in both builds, the NaN handling
// that differs by build, edge cases, and the binomial marginals.  The
// properties it shares with shapedraw and trialdraw are in sampling_test.cpp.
#include "gateways/sampling_fixture.h"

#include <cmath>
#include <functional>
#include <utility>

namespace {

using namespace sampling;

class Drawcounts : public Sampling {};

TEST_F(Drawcounts, FollowsTheGoldenMultinomialStreamInBothBuilds) {
  const char *default_file = kDefaultBuildIsWindows ? "/multi_stream_win.csv" : "/multi_stream.csv";
  for (auto [g, file] : {std::pair{&counts, default_file}, std::pair{&counts_win, "/multi_stream_win.csv"}}) {
    auto rows = stats::read_table(kData + file, ';');
    ASSERT_EQ(rows.size(), 50u);
    for (std::size_t i = 0; i < rows.size(); ++i) {
      auto p = h::column(stats::numbers(rows[i][1])), n = h::scalar(std::stod(rows[i][0]));
      ASSERT_EQ(draw(*g, {p.get(), n.get()}), stats::numbers(rows[i][2])) << file << " row " << i;
    }
  }
}

// A NaN probability: the Linux build goes on (BinoRand(NaN) = 0) and gives
// the last category the trials left; the Windows build stops with zeros.
TEST_F(Drawcounts, AfterANanProbabilityDiffersByBuild) {
  auto p = h::column({0.3, NAN, 0.2, 0.5}), n = h::scalar(100);
  std::vector<double> lin = draw(counts, {p.get(), n.get()}), win = draw(counts_win, {p.get(), n.get()});
  ASSERT_EQ(lin.size(), 4u);
  EXPECT_EQ(lin[0], win[0]);  // same stream, same first draw
  if (kDefaultBuildIsWindows) {  // the default build is the Windows build
    EXPECT_EQ((std::vector<double>{lin[1], lin[2], lin[3]}), (std::vector<double>{0, 0, 0}));
  } else {
    EXPECT_EQ((std::vector<double>{lin[1], lin[2], lin[3]}), (std::vector<double>{0, 0, 100 - lin[0]}));
  }
  EXPECT_EQ((std::vector<double>{win[1], win[2], win[3]}), (std::vector<double>{0, 0, 0}));
}

TEST_F(Drawcounts, EdgeCases) {
  struct Case {
    std::vector<mwSize> dims;
    std::vector<double> p;
    double n;
    std::function<void(const std::vector<double> &)> check;
  };
  const Case cases[] = {
      {{4, 1}, {0.5, 0.5, 0, 0}, 1000,
       [](const std::vector<double> &h) { EXPECT_EQ(h[0] + h[1], 1000); EXPECT_EQ(h[2], 0); EXPECT_EQ(h[3], 0); }},
      {{3, 1}, {0.2, 0.3, 99}, 50, [](const std::vector<double> &h) { EXPECT_EQ(h[2], 50 - h[0] - h[1]); }},
      {{1, 4}, {0.1, 0.2, 7, NAN}, 33, [](const std::vector<double> &h) { EXPECT_EQ(h, std::vector<double>(4, 33)); }},
      {{2, 1}, {1.0, 0.0}, 20, [](const std::vector<double> &h) { EXPECT_EQ(h, (std::vector<double>{20, 0})); }},
      {{3, 1}, {0.4, 0.6, 0.3}, 0, [](const std::vector<double> &h) { EXPECT_EQ(h, std::vector<double>(3, 0)); }},
  };
  for (const Case &c : cases) {
    auto p = h::doubles(c.dims, c.p), n = h::scalar(c.n);
    c.check(draw(counts, {p.get(), n.get()}));
  }
}

// Every row of h is Binomial(n, p_k) when the column sums to 1.
TEST_F(Drawcounts, MarginalsFitTheBinomial) {
  const std::vector<double> col = {0.1, 0.2, 0.3, 0.15, 0.25};
  const int n = 30, columns = 40000;
  std::vector<double> p;
  for (int j = 0; j < columns; ++j) p.insert(p.end(), col.begin(), col.end());
  auto pa = h::doubles({static_cast<mwSize>(col.size()), columns}, p), na = h::scalar(n);
  std::vector<double> hv = draw(counts, {pa.get(), na.get()});
  ASSERT_EQ(hv.size(), p.size());
  for (std::size_t k = 0; k < col.size(); ++k) {
    std::vector<double> observed(n + 1, 0.0), prob(n + 1);
    for (int j = 0; j < columns; ++j) observed.at(static_cast<std::size_t>(hv[j * col.size() + k])) += 1;
    for (int i = 0; i <= n; ++i) prob[i] = stats::binomial_pmf(n, col[k], i);
    EXPECT_GT(stats::chi2_test(observed, prob, columns), 1e-6) << "category " << k;
  }
  for (int j = 0; j < columns; ++j) {
    double sum = 0;
    for (std::size_t k = 0; k < col.size(); ++k) sum += hv[j * col.size() + k];
    ASSERT_EQ(sum, n) << "column " << j;
  }
}

}  // namespace
