// Reading, setting and seeding the library's uniform stream: the seed
// mapping's exact states (the same on every build; this suite also runs in
// the Windows build), distinct valid states for nearby seeds, and streams
// from seeds 1..100 that neither correlate nor overlap.
#include "util.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <tuple>
#include <vector>

namespace {

bool operator==(const WHState &a, const WHState &b) { return a.ix == b.ix && a.iy == b.iy && a.iz == b.iz; }
std::tuple<int, int, int> key(const WHState &s) { return {s.ix, s.iy, s.iz}; }

// The states from an independent implementation of the mapping in Python
// (integers masked to 64 bits; its mixer gives 0xe220a8397b1dcdaf for
// counter 0 + gamma, the published first splitmix64 output of seed 0):
//   c = k; for m in (30268, 30306, 30322):
//     c = (c + 0x9e3779b97f4a7c15) & M; z = c
//     z = ((z ^ (z >> 30)) * 0xbf58476d1ce4e5b9) & M
//     z = ((z ^ (z >> 27)) * 0x94d049bb133111eb) & M
//     state.append(1 + (z ^ (z >> 31)) % m)
TEST(RandState, SeedsMapToTheDocumentedStates) {
  const struct {
    std::uint32_t k;
    WHState s;
  } cases[] = {
      {0, {101, 1001, 10001}},         {1, {4098, 16442, 6307}},        {2, {17211, 19389, 22984}},
      {3, {13982, 26026, 10048}},      {100, {11085, 21001, 10090}},    {12345, {1301, 25612, 30140}},
      {2147483648u, {14769, 3358, 17543}}, {4294967295u, {8509, 26413, 17568}},
  };
  for (const auto &c : cases) {
    WHState got = SeedState(c.k);
    EXPECT_TRUE(got == c.s) << "k " << c.k << ": " << got.ix << " " << got.iy << " " << got.iz;
  }
}

TEST(RandState, NearbySeedsGiveDistinctValidStates) {
  std::vector<std::tuple<int, int, int>> seen = {key(kWHInitialState)};
  for (std::uint32_t k = 1; k <= 100; ++k) {
    ASSERT_TRUE(ValidState(SeedState(k))) << k;
    seen.push_back(key(SeedState(k)));
  }
  std::sort(seen.begin(), seen.end());
  EXPECT_EQ(std::adjacent_find(seen.begin(), seen.end()), seen.end());
}

// Largest |correlation| of streams a and b over lags -L..L (b shifted
// against a), each correlation over the n - |lag| overlapping uniforms.
double max_lagged_correlation(const std::vector<double> &a, const std::vector<double> &b, int L) {
  const int n = static_cast<int>(a.size());
  double worst = 0;
  for (int lag = -L; lag <= L; ++lag) {
    double sa = 0, sb = 0, saa = 0, sbb = 0, sab = 0;
    int count = 0;
    for (int i = std::max(0, -lag); i < n && i + lag < n; ++i, ++count) {
      double x = a[i], y = b[i + lag];
      sa += x, sb += y, saa += x * x, sbb += y * y, sab += x * y;
    }
    double cov = sab - sa * sb / count, va = saa - sa * sa / count, vb = sbb - sb * sb / count;
    worst = std::max(worst, std::fabs(cov / std::sqrt(va * vb)));
  }
  return worst;
}

// 1000 uniforms from each of seeds 1..100: every pair's correlation at lags
// up to 10 stays below 0.2 (independent streams: standard deviation about
// 0.032, so the largest of the 104000 values is near 0.14), and no state
// recurs among the 100000 visited, so no stream is a shift of another within
// 1000 draws.  Identical or shifted streams give a correlation of 1.
TEST(RandState, StreamsFromNearbySeedsAreUncorrelatedAndDisjoint) {
  const int seeds = 100, n = 1000, L = 10;
  std::vector<std::vector<double>> u(seeds, std::vector<double>(n));
  std::vector<std::tuple<int, int, int>> visited;
  for (int k = 0; k < seeds; ++k) {
    WHState s = SeedState(static_cast<std::uint32_t>(k + 1));
    for (int i = 0; i < n; ++i) {
      visited.push_back(key(s));
      u[k][i] = Rand(s);
    }
  }
  double worst = 0;
  for (int a = 0; a < seeds; ++a)
    for (int b = a + 1; b < seeds; ++b) worst = std::max(worst, max_lagged_correlation(u[a], u[b], L));
  EXPECT_LT(worst, 0.2);
  std::sort(visited.begin(), visited.end());
  EXPECT_EQ(std::adjacent_find(visited.begin(), visited.end()), visited.end());
  // The statistic sees the faults it guards against: a stream against itself
  // shifted by three draws.
  std::vector<double> shifted(u[0].begin() + 3, u[0].end());
  shifted.insert(shifted.end(), {0.5, 0.5, 0.5});
  EXPECT_GT(max_lagged_correlation(u[0], shifted, L), 0.99);
}

// The library's own stream: read after known draws, set, and left alone by
// an invalid state.
TEST(RandState, TheLibraryStreamCanBeReadAndSet) {
  SetRandState(kWHInitialState);
  EXPECT_TRUE(RandState() == kWHInitialState);
  const double first = Rand(), second = Rand();
  EXPECT_EQ(first, 0.320176362991333);
  EXPECT_TRUE(RandState() == (WHState{17248, 3645, 20387}));
  SetRandState({17271, 20637, 2082});  // the state the first draw leaves
  EXPECT_EQ(Rand(), second);
  for (WHState bad : {WHState{0, 1, 1}, WHState{1, 30307, 1}, WHState{1, 1, 30323}, WHState{30269, 1, 1},
                      WHState{-5, 1, 1}}) {
    EXPECT_FALSE(ValidState(bad));
    SetRandState(bad);
    EXPECT_TRUE(RandState() == (WHState{17248, 3645, 20387}));
  }
  EXPECT_TRUE(ValidState({1, 1, 1}) && ValidState({30268, 30306, 30322}));
  SetRandState(kWHInitialState);
}

}  // namespace
