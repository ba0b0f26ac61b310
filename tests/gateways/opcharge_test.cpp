// The opcharge gateway through the own host: the Linux build and the Windows
// build (build/host/win), whose count conversions agree on every accepted count.
#include "gatebox/host.hpp"

#include <cmath>
#include <gtest/gtest.h>

namespace h = gatebox::host;

namespace {

class Opcharge : public ::testing::Test {
 protected:
  h::Gateway linux_build{h::gateway_path("opcharge")};
  h::Gateway windows_build{h::gateway_path("opcharge", "win")};
  std::size_t blocks0 = h::live_blocks();
  void TearDown() override {
    h::clear_globals();
    EXPECT_EQ(h::live_blocks(), blocks0);
  }
  static void set_counter(double v) { h::set_global("flopcount", h::scalar(v).get()); }
  static double counter() { return h::values(h::global("flopcount"))[0]; }
};

TEST_F(Opcharge, AddsTheTruncatedCountInBothBuilds) {
  struct Case {
    double count, added;
  };
  const std::vector<Case> cases = {{5, 5},
                                   {2.9, 2},
                                   {0, 0},
                                   {-0.0, 0},
                                   {0.999, 0},
                                   {2147483647.9, 2147483647.0},
                                   {2147483648.0, 2147483648.0},
                                   {2147483648.7, 2147483648.0},
                                   {3000000000.5, 3000000000.0},
                                   {4294967295.0, 4294967295.0},
                                   {4294967295.9, 4294967295.0}};
  for (h::Gateway *g : {&linux_build, &windows_build}) {
    for (const Case &c : cases) {
      set_counter(100);
      auto n = h::scalar(c.count);
      h::CallResult r = g->call(0, {n.get()});
      ASSERT_TRUE(r.ok()) << c.count;
      EXPECT_EQ(counter(), 100 + c.added) << g->path() << " " << c.count;
      EXPECT_EQ(r.out(), nullptr);  // no output
    }
  }
}

TEST_F(Opcharge, ChargesAccumulateAndOnlyTheFirstElementGrows) {
  set_counter(0);
  auto five = h::scalar(5), seven = h::row({7, 100, 1000});
  linux_build.call(0, {five.get()});
  linux_build.call(0, {seven.get()});  // first element of the count only
  EXPECT_EQ(counter(), 12);
  h::set_global("flopcount", h::matrix({{1, 2}, {3, 4}}).get());
  linux_build.call(0, {five.get()});
  EXPECT_EQ(h::values(h::global("flopcount")), (std::vector<double>{6, 3, 2, 4}));
  h::set_global("flopcount", h::complex({1, 1}, {1}, {2}).get());
  linux_build.call(0, {five.get()});
  EXPECT_EQ(h::values(h::global("flopcount"))[0], 6);
  EXPECT_EQ(h::imag_values(h::global("flopcount"))[0], 2);
}

TEST_F(Opcharge, MissingOrEmptyCounterIsLeftAloneSilently) {
  auto ten = h::scalar(10);
  h::clear_globals();
  EXPECT_TRUE(linux_build.call(0, {ten.get()}).ok());
  EXPECT_EQ(h::global("flopcount"), nullptr);
  std::vector<h::Array> empties;
  empties.push_back(h::doubles({0, 0}));
  empties.push_back(h::doubles({1, 0}));
  empties.push_back(h::numeric(mxINT8_CLASS, {0, 3}));
  for (const auto &empty : empties) {
    h::set_global("flopcount", empty.get());
    EXPECT_TRUE(linux_build.call(0, {ten.get()}).ok());
    EXPECT_TRUE(mxIsEmpty(h::global("flopcount")));
  }
}

TEST_F(Opcharge, NonDoubleCounterIsLeftUnchangedWithAnError) {
  auto ten = h::scalar(10);
  std::vector<h::Array> others;
  others.push_back(h::numeric(mxINT32_CLASS, {1, 1}, {5}));
  others.push_back(h::numeric(mxSINGLE_CLASS, {1, 1}, {5}));
  others.push_back(h::sparse(1, 1, {5}));
  others.push_back(h::text("a"));
  others.push_back(h::cell({1, 1}));
  others.push_back(h::function_handle());
  for (const auto &value : others) {
    h::set_global("flopcount", value.get());
    h::CallResult r = linux_build.call(0, {ten.get()});
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error->id, "gatebox:opcharge:flopcountNotDouble");
    EXPECT_EQ(mxGetClassID(h::global("flopcount")), mxGetClassID(value.get()));
  }
  h::set_global("flopcount", h::numeric(mxINT32_CLASS, {1, 1}, {5}).get());
  linux_build.call(0, {ten.get()});
  EXPECT_EQ(mxGetScalar(h::global("flopcount")), 5);
}

TEST_F(Opcharge, RefusesBadCountsBeforeTouchingTheCounter) {
  auto one = h::scalar(1), empty = h::doubles({0, 0}), i32 = h::numeric(mxINT32_CLASS, {1, 1}, {3});
  auto sp = h::sparse(1, 1, {3}), fh = h::function_handle(), text = h::text("3");
  struct Case {
    std::vector<const mxArray *> args;
    std::string id;  // empty: the usage message
  };
  std::vector<h::Array> values;
  for (double v : std::vector<double>{-1.0, -0.5, NAN, INFINITY, -INFINITY, 4294967296.0, 1e300})
    values.push_back(h::scalar(v));
  std::vector<Case> cases = {{{}, ""},
                             {{one.get(), one.get()}, ""},
                             {{i32.get()}, "gatebox:opcharge:notDouble"},
                             {{sp.get()}, "gatebox:opcharge:notDouble"},
                             {{fh.get()}, "gatebox:opcharge:notDouble"},
                             {{text.get()}, "gatebox:opcharge:notDouble"},
                             {{empty.get()}, "gatebox:opcharge:emptyCount"}};
  for (const auto &v : values) cases.push_back({{v.get()}, "gatebox:opcharge:badCount"});
  for (h::Gateway *g : {&linux_build, &windows_build}) {
    for (const Case &c : cases) {
      set_counter(7);
      h::CallResult r = g->call(0, c.args);
      ASSERT_FALSE(r.ok());
      if (c.id.empty()) {
        EXPECT_EQ(r.error->message, "Usage: opcharge(count)");
      } else {
        EXPECT_EQ(r.error->id, c.id);
      }
      EXPECT_EQ(counter(), 7);
    }
  }
}

}  // namespace
