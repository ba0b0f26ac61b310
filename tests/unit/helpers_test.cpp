// logSum and ismember_sorted.  Built twice: against util (Linux behaviour)
// and util_win (GATEBOX_WINDOWS_BEHAVIOUR), which has no ismember_sorted.
#include "util.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

// The host allocator for a program without a host: calloc, counted.
static int calloc_calls = 0;
extern "C" void *mxCalloc(std::size_t n, std::size_t size) {
  ++calloc_calls;
  return std::calloc(n == 0 ? 1 : n, size == 0 ? 1 : size);
}

namespace {

bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(LogSum, OrderingsWithNaNAndInfinities) {
  const double inf = INFINITY, nan = NAN, ln2 = 0.6931471805599453;
  struct Case {
    double a, b, want;
  };
  for (const Case &c : std::vector<Case>{
           {0, 0, ln2},
           {1000, 1000, 1000 + ln2},  // no overflow
           {-1000, -1000, -1000 + ln2},
           {std::log(3.0), std::log(5.0), std::log(8.0)},
           {std::log(5.0), std::log(3.0), std::log(8.0)},
           {-inf, 3, 3},
           {3, -inf, 3},
           {-inf, -inf, -inf},
           {inf, inf, inf},
           {inf, 3, inf},
           {3, inf, inf},
           {-inf, inf, inf},
           {0, -800, 0},  // exp(-800) + 1 == 1
           {-800, 0, 0},
           {2.5, nan, 2.5},  // a NaN second argument is ignored ...
           {-inf, nan, -inf},
           {nan, 2.5, nan},  // ... a NaN first argument is kept
       }) {
    double got = logSum(c.a, c.b);
    if (std::isnan(c.want))
      EXPECT_TRUE(std::isnan(got)) << c.a << ", " << c.b;
    else if (std::isinf(c.want))
      EXPECT_EQ(got, c.want) << c.a << ", " << c.b;
    else
      EXPECT_NEAR(got, c.want, 4e-16 * std::fmax(1, std::fabs(c.want))) << c.a << ", " << c.b;
  }
  EXPECT_TRUE(same_bits(logSum(0, -800), 0.0));
  EXPECT_TRUE(same_bits(logSum(7.25, 1.5), logSum(1.5, 7.25)));  // symmetric for ordered numbers
}

#if !defined(GATEBOX_WINDOWS_BEHAVIOUR)

std::vector<int> flags_of(const std::vector<double> &a, const double *s, int ns) {
  int calls = calloc_calls;
  std::int32_t *f = ismember_sorted(a.data(), a.size(), s, ns);
  EXPECT_EQ(calloc_calls, calls + 1);  // one block from the host allocator
  std::vector<int> out(f, f + a.size());
  std::free(f);
  return out;
}

TEST(IsmemberSorted, FlagsEveryCopyOfAMember) {
  const double nan = NAN, inf = INFINITY;
  struct Case {
    std::vector<double> a, s;
    std::vector<int> want;
  };
  for (const Case &c : std::vector<Case>{
           {{1, 2, 2, 5, 9}, {2, 5, 7}, {0, 1, 1, 1, 0}},
           {{2, 5}, {2, 2, 2, 5, 5}, {1, 1}},  // duplicates in s
           {{-inf, -1, 0, 0, inf}, {-inf, -0.0, inf}, {1, 0, 1, 1, 1}},
           {{1, 2, 3}, {0.5}, {0, 0, 0}},  // every element past the set
           {{1, 2, 3}, {4, 5}, {0, 0, 0}},
           {{nan, 2, 3}, {2, 3}, {0, 1, 1}},  // NaN in a: not flagged, j not moved
           {{1, nan, 2}, {1, 2}, {1, 0, 1}},
           {{5}, {5}, {1}},
       }) {
    EXPECT_EQ(flags_of(c.a, c.s.data(), static_cast<int>(c.s.size())), c.want);
  }
}

TEST(IsmemberSorted, StopsAtTheEndOfTheSet) {
  // s is the first three of four stored values: an element of a beyond 7
  // ends the walk, so the 9 stored after s is never seen.
  const double storage[4] = {2, 5, 7, 9};
  EXPECT_EQ(flags_of({1, 2, 2, 5, 9, 9}, storage, 3), (std::vector<int>{0, 1, 1, 1, 0, 0}));
}

TEST(IsmemberSorted, EmptySetIsNeverReadAndEmptyAGivesEmptyFlags) {
  EXPECT_EQ(flags_of({1, 2, 3}, nullptr, 0), (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(flags_of({1, 2, 3}, nullptr, -5), (std::vector<int>{0, 0, 0}));  // negative count: empty set
  const double s[1] = {1};
  EXPECT_EQ(flags_of({}, s, 1), std::vector<int>{});
}

#endif

}  // namespace

#if defined(GATEBOX_WINDOWS_BEHAVIOUR) && !defined(_WIN32)
// The Windows build of util has no ismember_sorted: a weak reference to it
// stays unresolved.
std::int32_t *ismember_sorted(const double *a, std::size_t na, const double *s, int ns) __attribute__((weak));

TEST(IsmemberSorted, AbsentFromTheWindowsBuild) {
  EXPECT_EQ(reinterpret_cast<void *>(&ismember_sorted), nullptr);
  EXPECT_NEAR(logSum(0, 0), 0.6931471805599453, 1e-16);  // logSum is in every build
}
#endif
