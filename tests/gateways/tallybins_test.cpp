// The tallybins gateway through the own host: the default build (Linux
// behaviour, or Windows under the Windows build) and the Windows build
// (build/host/win), which differ only in how a NaN takes part in the search
// for the largest element.
#include "gatebox/host.hpp"
#include "gateways/platform.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>

namespace h = gatebox::host;

namespace {

const char kOut[] = "value out of bounds";

class Tallybins : public ::testing::Test {
 protected:
  h::Gateway default_build{h::gateway_path("tallybins")};
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
    EXPECT_EQ(outcome(default_build.call(args)), kDefaultBuildIsWindows ? c.windows_result : c.linux_result)
        << ::testing::PrintToString(c.x);
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
  h::CallResult on_default = default_build.call({x.get()}), on_windows = windows_build.call({x.get()});
  h::set_memory_limit(limit);
  ASSERT_FALSE(on_default.ok());
  if (kDefaultBuildIsWindows) {
    EXPECT_EQ(on_default.error->message, kOut);
  } else {
    EXPECT_EQ(on_default.error->id, "gatebox:host:outOfMemory");
  }
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
  EXPECT_EQ(outcome(default_build.call({m.get()})), counts({2, 2}));
  EXPECT_EQ(outcome(default_build.call({nd.get()})), counts({2, 2, 2, 2}));
  auto z = h::complex({1, 3}, {1, 1, 2}, {7, 8, 9});  // real part only
  EXPECT_EQ(outcome(default_build.call({z.get()})), counts({2, 1}));
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
  EXPECT_EQ(h::values(default_build.call({xs.get(), n.get()}).out()), want);
  while (!want.empty() && want.back() == 0) want.pop_back();
  EXPECT_EQ(h::values(default_build.call({xs.get()}).out()), want);
}

TEST_F(Tallybins, RefusesBadArgumentsInOrder) {
  auto x = h::row({1, 2}), sp = h::sparse(2, 2, {1, 0, 0, 1}), one = h::scalar(1), empty = h::doubles({0, 0});
  auto neg = h::scalar(-1), nan = h::scalar(NAN), huge = h::scalar(2147483648.0);
  auto fh = h::function_handle(), text = h::text("ab"), spn = h::sparse(1, 1, {3}), cellx = h::cell({1, 1});
  auto i8neg = h::numeric(mxINT8_CLASS, {1, 1}, {-3}), u8 = h::numeric(mxUINT8_CLASS, {1, 1}, {1});
  auto big64 = h::numeric(mxINT64_CLASS, {1, 2}, {1, 4294967296.0}), i16 = h::numeric(mxINT16_CLASS, {1, 0});
  struct Case {
    std::vector<const mxArray *> args;
    std::string id, message;
  };
  const std::string usage = "Usage: h = tallybins(x, n)", sparse = "Cannot handle sparse matrices.  Sorry.";
  const std::string numeric = "X and N must be full numeric or logical arrays; convert them with double().";
  const std::string empty_n = "N is empty; expected the number of bins.";
  const std::string bad_n = "N must be a number of bins from 0 to 2147483647.", bounds = "value out of bounds";
  const std::vector<Case> cases = {
      {{}, "gatebox:tallybins:usage", usage},
      {{x.get(), one.get(), one.get()}, "gatebox:tallybins:usage", usage},
      {{sp.get()}, "gatebox:tallybins:sparse", sparse},
      {{sp.get(), fh.get()}, "gatebox:tallybins:sparse", sparse},
      {{fh.get()}, "gatebox:tallybins:notNumeric", numeric},
      {{text.get(), one.get()}, "gatebox:tallybins:notNumeric", numeric},
      {{cellx.get()}, "gatebox:tallybins:notNumeric", numeric},
      {{x.get(), fh.get()}, "gatebox:tallybins:notNumeric", numeric},
      {{x.get(), spn.get()}, "gatebox:tallybins:notNumeric", numeric},
      {{x.get(), text.get()}, "gatebox:tallybins:notNumeric", numeric},
      {{x.get(), empty.get()}, "gatebox:tallybins:emptyN", empty_n},
      {{x.get(), i16.get()}, "gatebox:tallybins:emptyN", empty_n},
      {{x.get(), neg.get()}, "gatebox:tallybins:badN", bad_n},
      {{x.get(), i8neg.get()}, "gatebox:tallybins:badN", bad_n},
      {{x.get(), nan.get()}, "gatebox:tallybins:badN", bad_n},
      {{x.get(), huge.get()}, "gatebox:tallybins:badN", bad_n},
      {{x.get(), u8.get()}, "gatebox:tallybins:outOfBounds", bounds},  // 2 is not in bin 1
      {{big64.get()}, "gatebox:tallybins:outOfBounds", bounds},        // 2^32 has no 32-bit bin count
      {{big64.get(), one.get()}, "gatebox:tallybins:outOfBounds", bounds}};
  for (const Case &c : cases) {
    for (h::Gateway *g : {&default_build, &windows_build}) {
      h::CallResult r = g->call(c.args);
      ASSERT_FALSE(r.ok()) << c.id;
      EXPECT_EQ(r.error->message, c.message);
      EXPECT_EQ(r.error->id, c.id);
    }
  }
}

// x and n of any numeric class or logical are read by value: the counts are
// those of the same values as doubles, in both builds.
TEST_F(Tallybins, IntegerSingleAndLogicalArgumentsCountByValue) {
  const std::vector<double> v = {1, 2, 2, 3, 1, 4};
  auto as_double = h::row(v), n = h::scalar(5);
  for (mxClassID id : {mxSINGLE_CLASS, mxINT8_CLASS, mxUINT8_CLASS, mxINT16_CLASS, mxUINT16_CLASS, mxINT32_CLASS,
                       mxUINT32_CLASS, mxINT64_CLASS, mxUINT64_CLASS}) {
    auto x = h::numeric(id, {1, 6}, v), nn = h::numeric(id, {1, 1}, {5});
    for (h::Gateway *g : {&default_build, &windows_build}) {
      EXPECT_EQ(h::values(g->call({x.get()}).out()), (std::vector<double>{2, 2, 1, 1})) << id;
      EXPECT_EQ(h::values(g->call({x.get(), nn.get()}).out()), (std::vector<double>{2, 2, 1, 1, 0})) << id;
      EXPECT_EQ(h::values(g->call({as_double.get(), nn.get()}).out()), (std::vector<double>{2, 2, 1, 1, 0})) << id;
    }
  }
  auto i32 = h::numeric(mxINT32_CLASS, {1, 3}, {1, 2, 2});
  EXPECT_EQ(h::values(default_build.call({i32.get()}).out()), (std::vector<double>{1, 2}));
  auto l = h::logical({1, 3}, {true, true, true}), two = h::logical({1, 1}, {true});
  EXPECT_EQ(h::values(default_build.call({l.get()}).out()), (std::vector<double>{3}));
  EXPECT_EQ(h::values(default_build.call({i32.get(), h::scalar(2).get()}).out()), (std::vector<double>{1, 2}));
  EXPECT_FALSE(default_build.call({i32.get(), two.get()}).ok());  // 2 lies beyond one bin
  auto f = h::numeric(mxSINGLE_CLASS, {1, 2}, {2.5, 1.75});  // truncated: bins 2 and 1
  EXPECT_EQ(h::values(default_build.call({f.get()}).out()), (std::vector<double>{1, 1}));
}

}  // namespace
