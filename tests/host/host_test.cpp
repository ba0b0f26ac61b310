// The own host: reclamation of what a call leaves behind, the error call
// ending a call, the workspace, and separate static state per library.
#include "gatebox/host.hpp"

#include <gtest/gtest.h>

namespace h = gatebox::host;

namespace {

std::string probe(const char *which) { return h::gateway_path(which, "testing"); }

TEST(Host, ReclaimsBlocksAndArraysACallDidNotHandBack) {
  h::Gateway g(probe("probe_a"));
  std::size_t blocks = h::live_blocks(), arrays = h::live_arrays();
  {
    auto mode = h::scalar(1);
    h::CallResult r = g.call({mode.get()});
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(h::values(r.out())[0], 1.0);
    // Inputs and the one output remain; everything else the call made is gone.
    EXPECT_EQ(h::live_arrays(), arrays + 2);
  }
  EXPECT_EQ(h::live_blocks(), blocks);
  EXPECT_EQ(h::live_arrays(), arrays);
}

TEST(Host, ErrorCallEndsTheCallAndReclaims) {
  h::Gateway g(probe("probe_a"));
  std::size_t blocks = h::live_blocks(), arrays = h::live_arrays();
  {
    auto mode = h::scalar(2);
    h::CallResult r = g.call({mode.get()});
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error->id, "probe:failed");
    EXPECT_EQ(r.error->message, "failed after 2 allocations");
    EXPECT_TRUE(r.outputs.empty());
  }
  EXPECT_EQ(h::live_blocks(), blocks);
  EXPECT_EQ(h::live_arrays(), arrays);
}

TEST(Host, ReallocKeepsLeadingContentsAndSetPrAdoptsTheBlock) {
  h::Gateway g(probe("probe_a"));
  std::size_t blocks = h::live_blocks();
  {
    auto mode = h::scalar(3);
    h::CallResult r = g.call({mode.get()});
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(h::values(r.out()), std::vector<double>{42});
    EXPECT_EQ(h::live_blocks(), blocks + 2);  // the input's data and the adopted block
  }
  EXPECT_EQ(h::live_blocks(), blocks);
}

TEST(Host, UnassignedOutputIsAnError) {
  h::Gateway g(probe("probe_a"));
  auto mode = h::scalar(5);
  EXPECT_EQ(g.call(1, {mode.get()}).error->id, "gatebox:host:unassignedOutputs");
  EXPECT_TRUE(g.call(0, {mode.get()}).ok());  // nothing asked for, nothing needed
}

TEST(Host, EachLibraryHasItsOwnStaticStateAndReloadRestartsIt) {
  h::Gateway a(probe("probe_a")), b(probe("probe_b"));
  auto mode = h::scalar(0);
  auto count = [&](h::Gateway &g) { return h::values(g.call({mode.get()}).out())[0]; };
  double a0 = count(a);
  EXPECT_EQ(count(a), a0 + 1);
  EXPECT_EQ(count(b), 1.0);  // a fresh library starts from its initial state
  a.reload();
  EXPECT_EQ(count(a), 1.0);
  EXPECT_EQ(count(b), 2.0);
}

TEST(Host, GlobalWorkspaceRoundTrip) {
  h::Gateway g(probe("probe_a"));
  h::clear_globals();
  auto mode = h::scalar(4), five = h::scalar(5);
  EXPECT_TRUE(g.call(0, {mode.get(), five.get()}).ok());
  EXPECT_EQ(h::global("flopcount"), nullptr);  // never created by the gateway
  auto start = h::row({10, 20});
  h::set_global("flopcount", start.get());
  std::size_t arrays = h::live_arrays();
  EXPECT_TRUE(g.call(0, {mode.get(), five.get()}).ok());
  EXPECT_EQ(h::values(h::global("flopcount")), (std::vector<double>{15, 20}));
  EXPECT_EQ(h::live_arrays(), arrays);
  h::clear_globals();
}

TEST(Host, MemoryLimitTurnsHugeAllocationsIntoErrors) {
  EXPECT_THROW(h::doubles({1 << 20, 1 << 20}), std::runtime_error);  // 8 TiB
  std::size_t old = h::set_memory_limit(1 << 20);
  EXPECT_THROW(h::doubles({1000, 1000}), std::runtime_error);
  h::set_memory_limit(old);
}

TEST(Host, ShapesOfEveryKindOfInput) {
  struct Case {
    h::Array a;
    mxClassID cls;
    std::vector<mwSize> dims;
    std::size_t elsize;
  };
  Case cases[] = {
      {h::doubles({2, 3, 4}), mxDOUBLE_CLASS, {2, 3, 4}, 8},
      {h::doubles({2, 3, 1, 1}), mxDOUBLE_CLASS, {2, 3}, 8},  // trailing singletons dropped
      {h::numeric(mxINT8_CLASS, {3, 1}, {1, -2, 300}), mxINT8_CLASS, {3, 1}, 1},
      {h::numeric(mxSINGLE_CLASS, {1, 2}), mxSINGLE_CLASS, {1, 2}, 4},
      {h::logical({2, 2}), mxLOGICAL_CLASS, {2, 2}, 1},
      {h::text("abc"), mxCHAR_CLASS, {1, 3}, 2},
      {h::cell({0, 3}), mxCELL_CLASS, {0, 3}, sizeof(void *)},
      {h::structure({1, 1}, {"a", "b"}), mxSTRUCT_CLASS, {1, 1}, sizeof(void *)},
      {h::sparse(3, 3, {1, 0, 0, 0, 2, 0, 0, 0, 3}), mxDOUBLE_CLASS, {3, 3}, 8},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(mxGetClassID(c.a.get()), c.cls);
    EXPECT_EQ(h::dims(c.a.get()), c.dims);
    EXPECT_EQ(mxGetElementSize(c.a.get()), c.elsize);
  }
  EXPECT_EQ(mxGetN(cases[0].a.get()), 12u);  // product of the trailing dimensions
  EXPECT_EQ(static_cast<int8_t *>(mxGetData(cases[2].a.get()))[2], 127);  // saturated
  EXPECT_TRUE(mxIsSparse(cases[8].a.get()));
  EXPECT_EQ(mxGetJc(cases[8].a.get())[3], 3);
}

}  // namespace
