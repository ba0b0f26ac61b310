// The trigamma gateway through the own host.
#include "gatebox/host.hpp"
#include "util.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

namespace h = gatebox::host;

namespace {

class TrigammaGateway : public ::testing::Test {
 protected:
  h::Gateway g{h::gateway_path("trigamma")};
  std::size_t blocks0 = h::live_blocks();
  void TearDown() override { EXPECT_EQ(h::live_blocks(), blocks0); }
  static std::string message(const h::CallResult &r) { return r.ok() ? "" : r.error->message; }
};

bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST_F(TrigammaGateway, ChecksArgumentCountThenSparsenessThenClass) {
  auto x = h::scalar(1), sp = h::sparse(2, 2), single = h::numeric(mxSINGLE_CLASS, {1, 1});
  EXPECT_EQ(message(g.call({})), "Usage: x = trigamma(n)");
  EXPECT_EQ(message(g.call({x.get(), x.get()})), "Usage: x = trigamma(n)");
  EXPECT_EQ(message(g.call({sp.get(), x.get()})), "Usage: x = trigamma(n)");
  EXPECT_EQ(message(g.call({sp.get()})), "Cannot handle sparse matrices.  Sorry.");
  auto sparse_logical = h::Array(mxCreateSparseLogicalMatrix(2, 2, 1));
  EXPECT_EQ(message(g.call({sparse_logical.get()})), "Cannot handle sparse matrices.  Sorry.");
  h::CallResult r = g.call({single.get()});
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error->id, "gatebox:trigamma:notDouble");
}

TEST_F(TrigammaGateway, RefusesEveryNonDoubleClassWithoutReadingIt) {
  std::vector<h::Array> inputs;
  for (mxClassID c : {mxSINGLE_CLASS, mxINT8_CLASS, mxUINT8_CLASS, mxINT16_CLASS, mxUINT16_CLASS, mxINT32_CLASS,
                      mxUINT32_CLASS, mxINT64_CLASS, mxUINT64_CLASS})
    inputs.push_back(h::numeric(c, {3, 2}));
  inputs.push_back(h::logical({2, 2}));
  inputs.push_back(h::text("abc"));
  inputs.push_back(h::cell({1, 2}));
  inputs.push_back(h::structure({1, 1}, {"f"}));
  inputs.push_back(h::function_handle());
  for (const auto &in : inputs) {
    h::CallResult r = g.call({in.get()});
    ASSERT_FALSE(r.ok()) << mxGetClassName(in.get());
    EXPECT_EQ(r.error->id, "gatebox:trigamma:notDouble") << mxGetClassName(in.get());
  }
}

TEST_F(TrigammaGateway, OutputHasTheInputsDimensions) {
  struct Case {
    std::vector<mwSize> in, out;
  };
  for (const Case &c : std::vector<Case>{{{1, 1}, {1, 1}},
                                         {{1, 5}, {1, 5}},
                                         {{4, 3}, {4, 3}},
                                         {{0, 0}, {0, 0}},
                                         {{0, 7}, {0, 7}},
                                         {{3, 0}, {3, 0}},
                                         {{2, 3, 4}, {2, 3, 4}},
                                         {{2, 0, 3}, {2, 0, 3}},
                                         {{1, 1, 1, 2}, {1, 1, 1, 2}}}) {  // every dimension kept
    std::size_t n = 1;
    for (mwSize d : c.in) n *= static_cast<std::size_t>(d);
    std::vector<double> v(n);
    for (std::size_t i = 0; i < n; ++i) v[i] = 0.25 + static_cast<double>(i);
    auto x = h::doubles(c.in, v);
    h::CallResult r = g.call({x.get()});
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(h::dims(r.out()), c.out);
    EXPECT_EQ(mxGetClassID(r.out()), mxDOUBLE_CLASS);
    EXPECT_FALSE(mxIsComplex(r.out()));
    std::vector<double> y = h::values(r.out());
    for (std::size_t i = 0; i < n; ++i) EXPECT_TRUE(same_bits(y[i], trigamma(v[i])));
  }
}

TEST_F(TrigammaGateway, ElementsMatchTheKernelBitForBitIncludingSpecialValues) {
  std::vector<double> v = {1, 0.5, -0.5, 0, -0.0, -2, 1e-5, 1e-300, 7.999999999999999, 8, 1e300,
                           INFINITY, -INFINITY, NAN, -1.5, 123.456};
  auto x = h::row(v);
  h::CallResult r = g.call(0, {x.get()});  // nlhs = 0 still gives the output
  ASSERT_TRUE(r.ok());
  std::vector<double> y = h::values(r.out());
  for (std::size_t i = 0; i < v.size(); ++i) EXPECT_TRUE(same_bits(y[i], trigamma(v[i]))) << v[i];
}

TEST_F(TrigammaGateway, ComplexInputUsesTheRealPart) {
  auto z = h::complex({1, 3}, {1, 2, 3}, {5, NAN, -1});
  h::CallResult r = g.call({z.get()});
  ASSERT_TRUE(r.ok());
  EXPECT_FALSE(mxIsComplex(r.out()));
  EXPECT_EQ(h::values(r.out()), (std::vector<double>{trigamma(1), trigamma(2), trigamma(3)}));
}

TEST_F(TrigammaGateway, InputIsNeverChanged) {
  auto x = h::row({0.5, 2, -3.5});
  g.call({x.get()});
  EXPECT_EQ(h::values(x.get()), (std::vector<double>{0.5, 2, -3.5}));
}

}  // namespace
