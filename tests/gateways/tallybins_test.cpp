// The tallybins gateway through the own host: the Linux build (default) and
// the Windows build (build/host/win), which differ only in how a NaN takes
// part in the search for the largest element.
#include "gatebox/host.hpp"

#include <cmath>
#include <gtest/gtest.h>
#include <random>

namespace h = gatebox::host;

namespace {

const char kOut[] = "value out of bounds";

class Tallybins : public ::testing::Test {
 protected:
  h::Gateway linux_build{h::gateway_path("tallybins")};
  h::Gateway windows_build{h::gateway_path("tallybins", "win")};
  std::size_t blocks0 = h::live_blocks();
  void TearDown() override { EXPECT_EQ(h::live_blocks(), blocks0); }
  static std::string outcome(const h::CallResult &r) {
    if (!r.ok()) return r.error->message;
    std::string s = ::testing::PrintToString(h::dims(r.out())) + " ";
    return s + ::testing::PrintToString(h::values(r.out()));
  }
};

std::string counts(std::vector<double> h_) {
  return ::testing::PrintToString(std::vector<mwSize>{1, static_cast<mwSize>(h_.size())}) + " " +
         ::testing::PrintToString(h_);
}

TEST_F(Tallybins, CountsAndBinCountsInBothBuilds) {
  const double big = 3e9, nan = NAN, inf = INFINITY;
  struct Case {
    std::vector<double> x;
    std::vector<double> n;  // empty: called without n
    std::string linux_result, windows_result;
  };
  const std::vector<Case> cases = {
      {{1, 2, 2, 3, 3, 3}, {}, counts({1, 2, 3}), counts({1, 2, 3})},
      {{1, 2, 2, 3, 3, 3}, {5}, counts({1, 2, 3, 0, 0}), counts({1, 2, 3, 0, 0})},
      {{3.7}, {}, counts({0, 0, 1}), counts({0, 0, 1})},
      {{1, 2, 2, 1}, {2.9}, counts({2, 2}), counts({2, 2})},
      {{2.9, 1.1, 0.5}, {}, kOut, kOut},
      {{-0.5}, {3}, kOut, kOut},
      {{1, 5}, {3}, kOut, kOut},
      {{}, {4}, counts({0, 0, 0, 0}), counts({0, 0, 0, 0})},
      {{}, {0}, counts({}), counts({})},
      {{}, {}, counts({}), counts({})},             // empty x without n: 1-by-0
      {{1}, {0}, kOut, kOut},
      {{2, 1}, {-0.5}, kOut, kOut},                  // -0.5 truncates to 0 bins
      {{1, nan, 2}, {}, kOut, kOut},                 // NaN is never in a bin
      {{2, nan, 1}, {}, kOut, kOut},                 // Windows: NaN resets the maximum, then 1
      {{nan, 2}, {}, kOut, kOut},
      {{nan}, {}, kOut, kOut},                       // bin count INT32_MIN: no bins
      {{-3, -5}, {}, kOut, kOut},                    // negative maximum
      {{2, big}, {}, kOut, kOut},                    // beyond 32 bits converts to INT32_MIN
      {{2, inf}, {}, kOut, kOut},
      {{2, 2147483647.5, -inf}, {3}, kOut, kOut},
      {{0.999999}, {1}, kOut, kOut},
      {{1.999999, 1}, {1}, counts({2}), counts({2})},
      {{-0.0, 1}, {1}, kOut, kOut}};
  for (const Case &c : cases) {
    auto x = h::row(c.x), n = h::row(c.n);
    std::vector<const mxArray *> args{x.get()};
    if (!c.n.empty()) args.push_back(n.get());
    EXPECT_EQ(outcome(linux_build.call(args)), c.linux_result) << ::testing::PrintToString(c.x);
    EXPECT_EQ(outcome(windows_build.call(args)), c.windows_result) << ::testing::PrintToString(c.x);
  }
}

// The builds differ only in the maximum search, and a NaN is never in a bin,
// so the difference shows in the bin count before counting fails: the Linux
// build skips the NaN and asks the host for 1e8 bins (refused here by a
// memory limit), the Windows build lets the NaN drive the count negative and
// fails before creating anything.
TEST_F(Tallybins, WindowsBuildLetsANanResetTheMaximum) {
  auto x = h::row({1e8, NAN});
  std::size_t limit = h::set_memory_limit(64u << 20);
  h::CallResult on_linux = linux_build.call({x.get()}), on_windows = windows_build.call({x.get()});
  h::set_memory_limit(limit);
  ASSERT_FALSE(on_linux.ok());
  EXPECT_EQ(on_linux.error->id, "gatebox:host:outOfMemory");
  ASSERT_FALSE(on_windows.ok());
  EXPECT_EQ(on_windows.error->message, kOut);
  auto y = h::row({1e8, NAN, 2});  // a later element raises the count again on Windows
  h::set_memory_limit(64u << 20);
  h::CallResult again = windows_build.call({y.get()});
  h::set_memory_limit(limit);
  EXPECT_EQ(outcome(again), kOut);  // reached the counting pass: the NaN is out of bounds
}

TEST_F(Tallybins, EveryElementOfAMatrixOrNdArrayIsCounted) {
  auto m = h::matrix({{1, 2}, {2, 1}}), nd = h::doubles({2, 2, 2}, {1, 2, 3, 4, 4, 3, 2, 1});
  EXPECT_EQ(outcome(linux_build.call({m.get()})), counts({2, 2}));
  EXPECT_EQ(outcome(linux_build.call({nd.get()})), counts({2, 2, 2, 2}));
  auto z = h::complex({1, 3}, {1, 1, 2}, {7, 8, 9});  // real part only
  EXPECT_EQ(outcome(linux_build.call({z.get()})), counts({2, 1}));
}

TEST_F(Tallybins, MatchesAPlainCountOnRandomData) {
  std::mt19937_64 rng(5);
  std::vector<double> x(100000);
  std::vector<double> want(1000, 0.0);
  for (double &v : x) {
    v = static_cast<double>(1 + rng() % 1000) + static_cast<double>(rng() % 100) / 100.0;
    want[static_cast<std::size_t>(v) - 1] += 1.0;
  }
  auto xs = h::column(x), n = h::scalar(1000);
  EXPECT_EQ(h::values(linux_build.call({xs.get(), n.get()}).out()), want);
  while (!want.empty() && want.back() == 0) want.pop_back();
  EXPECT_EQ(h::values(linux_build.call({xs.get()}).out()), want);
}

TEST_F(Tallybins, RefusesBadArgumentsInOrder) {
  auto x = h::row({1, 2}), sp = h::sparse(2, 2, {1, 0, 0, 1}), one = h::scalar(1), empty = h::doubles({0, 0});
  auto neg = h::scalar(-1), nan = h::scalar(NAN), huge = h::scalar(2147483648.0), i32 = h::numeric(mxINT32_CLASS, {1, 2}, {1, 2});
  auto fh = h::function_handle(), text = h::text("ab"), spn = h::sparse(1, 1, {3});
  struct Case {
    std::vector<const mxArray *> args;
    std::string id, message;
  };
  const std::vector<Case> cases = {
      {{}, "", "Usage: h = tallybins(x, n)"},
      {{x.get(), one.get(), one.get()}, "", "Usage: h = tallybins(x, n)"},
      {{sp.get()}, "", "Cannot handle sparse matrices.  Sorry."},
      {{sp.get(), fh.get()}, "", "Cannot handle sparse matrices.  Sorry."},
      {{i32.get()}, "gatebox:tallybins:notDouble", ""},
      {{fh.get()}, "gatebox:tallybins:notDouble", ""},
      {{text.get(), one.get()}, "gatebox:tallybins:notDouble", ""},
      {{x.get(), fh.get()}, "gatebox:tallybins:notDouble", ""},
      {{x.get(), spn.get()}, "gatebox:tallybins:notDouble", ""},
      {{x.get(), empty.get()}, "gatebox:tallybins:emptyN", ""},
      {{x.get(), neg.get()}, "gatebox:tallybins:badN", ""},
      {{x.get(), nan.get()}, "gatebox:tallybins:badN", ""},
      {{x.get(), huge.get()}, "gatebox:tallybins:badN", ""}};
  for (const Case &c : cases) {
    for (h::Gateway *g : {&linux_build, &windows_build}) {
      h::CallResult r = g->call(c.args);
      ASSERT_FALSE(r.ok());
      if (!c.message.empty()) {
        EXPECT_EQ(r.error->message, c.message);
      }
      if (!c.id.empty()) {
        EXPECT_EQ(r.error->id, c.id);
      }
    }
  }
}

}  // namespace
