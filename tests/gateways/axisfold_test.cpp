// The axisfold gateway through the own host, against the plain odometer walk.
#include "gatebox/host.hpp"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <random>

namespace h = gatebox::host;

namespace {

class Axisfold : public ::testing::Test {
 protected:
  h::Gateway g{h::gateway_path("axisfold")};
  std::size_t blocks0 = h::live_blocks();
  void SetUp() override { h::set_global("flopcount", h::scalar(0).get()); }
  void TearDown() override {
    h::clear_globals();
    EXPECT_EQ(h::live_blocks(), blocks0);
  }
  static double flops() { return h::values(h::global("flopcount"))[0]; }
};

// The reference: one pass in storage order, each element added to its output
// slot, the slot moved by an odometer over all dimensions of A; when nothing
// is summed (every summed dimension of size 1) the data are copied as they are.
std::vector<double> plain_fold(const std::vector<mwSize> &dims, const std::vector<double> &a,
                               const std::vector<bool> &summed) {
  std::size_t d = dims.size(), u = 1;
  std::vector<std::size_t> stride(d), idx(d, 0);
  for (std::size_t k = 0; k < d; ++k) {
    stride[k] = summed[k] ? 0 : u;
    if (!summed[k]) u *= static_cast<std::size_t>(dims[k]);
  }
  if (u == a.size()) return a;
  std::vector<double> out(u, 0.0);
  for (double v : a) {
    std::size_t p = 0;
    for (std::size_t k = 0; k < d; ++k) p += idx[k] * stride[k];
    out[p] += v;
    for (std::size_t k = 0; k < d && ++idx[k] == static_cast<std::size_t>(dims[k]); ++k) idx[k] = 0;
  }
  return out;
}

// Equal to the bit, except that any two NaNs match: when both operands of an
// addition are NaN (a NaN input and the NaN of Inf + -Inf) the one that
// propagates depends on the operand order the compiler picks for a + b, which
// C++ leaves free.
bool same_bits(const std::vector<double> &x, const std::vector<double> &y) {
  if (x.size() != y.size()) return false;
  for (std::size_t i = 0; i < x.size(); ++i)
    if (!(std::isnan(x[i]) && std::isnan(y[i])) && std::memcmp(&x[i], &y[i], sizeof(double)) != 0) return false;
  return true;
}

std::vector<double> random_values(std::size_t n, std::mt19937_64 &rng) {
  const double special[] = {0.0, -0.0, INFINITY, -INFINITY, NAN, 4.9e-324, -2.2e-308, 1e300, -1e300};
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  std::vector<double> v(n);
  for (double &x : v) x = rng() % 50 == 0 ? special[rng() % 9] : u(rng) * std::ldexp(1.0, static_cast<int>(rng() % 40) - 20);
  return v;
}

TEST_F(Axisfold, MatchesThePlainWalkBitForBitOnEverySelection) {
  std::mt19937_64 rng(3);
  const std::vector<std::vector<mwSize>> shapes = {
      {3, 4}, {1, 7}, {9, 1}, {2, 3, 4}, {3, 1, 5}, {17, 13}, {2000, 9}, {5, 2, 3, 4}, {1, 6, 1, 5, 2},
      {11, 3, 2, 1, 2, 3}, {2, 0, 3}, {0, 4}, {8, 9, 10}, {3, 21, 2}, {16, 2, 16}};
  for (const auto &dims : shapes) {
    std::size_t n = 1, d = dims.size();
    for (mwSize k : dims) n *= static_cast<std::size_t>(k);
    std::vector<double> a = random_values(n, rng);
    auto in = h::doubles(dims, a);
    for (unsigned mask = 0; mask + 1 < (1u << d); ++mask) {  // every proper subset, in shuffled order
      std::vector<double> sel;
      std::vector<bool> summed(d);
      for (std::size_t k = 0; k < d; ++k)
        if (mask >> k & 1) summed[k] = true, sel.push_back(static_cast<double>(k + 1));
      std::shuffle(sel.begin(), sel.end(), rng);
      auto s = h::row(sel);
      h::set_global("flopcount", h::scalar(0).get());
      h::CallResult r = g.call({in.get(), s.get()});
      ASSERT_TRUE(r.ok()) << r.error->message;
      std::vector<mwSize> kept;
      for (std::size_t k = 0; k < d; ++k)
        if (!summed[k]) kept.push_back(dims[k]);
      if (kept.size() == 1) kept.push_back(1);
      while (kept.size() > 2 && kept.back() == 1) kept.pop_back();
      EXPECT_EQ(h::dims(r.out()), kept);
      std::vector<double> want = plain_fold(dims, a, summed);
      EXPECT_TRUE(same_bits(h::values(r.out()), want)) << "shape " << ::testing::PrintToString(dims) << " mask " << mask;
      EXPECT_EQ(flops(), n > want.size() ? static_cast<double>(n - want.size()) : 0.0);
    }
  }
}

TEST_F(Axisfold, ExamplesShapesAndCharges) {
  struct Case {
    std::vector<mwSize> dims;
    std::vector<double> sel;
    std::vector<mwSize> out;
    double charge;
  };
  const std::vector<Case> cases = {
      {{3, 4}, {1, 2}, {1, 1}, 11},   {{3, 4}, {2, 1}, {1, 1}, 11},  {{3, 4}, {1}, {4, 1}, 8},
      {{2, 3, 4}, {2}, {2, 4}, 16},   {{3, 1, 5}, {2}, {3, 5}, 0},   {{2, 0, 3}, {2}, {2, 3}, 0},
      {{0, 0}, {1, 2}, {1, 1}, 0},    {{3, 4}, {}, {3, 4}, 0},       {{1, 1}, {1, 2}, {1, 1}, 0},
      {{4, 5}, {2.9}, {4, 1}, 16}};  // 2.9 truncates to 2
  for (const Case &c : cases) {
    std::size_t n = 1;
    for (mwSize k : c.dims) n *= static_cast<std::size_t>(k);
    std::vector<double> a(n);
    for (std::size_t i = 0; i < n; ++i) a[i] = static_cast<double>(i + 1);
    auto in = h::doubles(c.dims, a), s = h::row(c.sel);
    h::set_global("flopcount", h::scalar(0).get());
    h::CallResult r = g.call({in.get(), s.get()});
    ASSERT_TRUE(r.ok()) << r.error->message;
    EXPECT_EQ(h::dims(r.out()), c.out);
    EXPECT_EQ(flops(), c.charge);
    EXPECT_FALSE(mxIsComplex(r.out()));
  }
  auto m = h::matrix({{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}}), one = h::scalar(1), both = h::row({1, 2});
  EXPECT_EQ(h::values(g.call({m.get(), one.get()}).out()), (std::vector<double>{15, 18, 21, 24}));
  EXPECT_EQ(h::values(g.call({m.get(), both.get()}).out()), (std::vector<double>{78}));
}

TEST_F(Axisfold, CopyPathKeepsNegativeZeroAndSumsStartFromZero) {
  auto a = h::doubles({2, 1, 2}, {-0.0, 1, 2, -0.0}), two = h::scalar(2), all = h::row({1, 2, 3});
  std::vector<double> copied = h::values(g.call({a.get(), two.get()}).out());
  EXPECT_TRUE(std::signbit(copied[0]) && std::signbit(copied[3]));  // copied, not added to 0
  auto z = h::doubles({1, 2}, {-0.0, -0.0}), first = h::scalar(2);
  EXPECT_FALSE(std::signbit(h::values(g.call({z.get(), first.get()}).out())[0]));  // 0 + -0 + -0 = +0
}

TEST_F(Axisfold, ComplexInputIsReadThroughItsRealPart) {
  auto z = h::complex({2, 2}, {1, 2, 3, 4}, {9, 9, 9, 9}), one = h::scalar(1);
  h::CallResult r = g.call({z.get(), one.get()});
  ASSERT_TRUE(r.ok());
  EXPECT_FALSE(mxIsComplex(r.out()));
  EXPECT_EQ(h::values(r.out()), (std::vector<double>{3, 7}));
}

TEST_F(Axisfold, ChargingSkipsAMissingEmptyOrNonDoubleCounter) {
  auto a = h::matrix({{1, 2}, {3, 4}}), one = h::scalar(1);
  h::clear_globals();
  EXPECT_TRUE(g.call({a.get(), one.get()}).ok());
  EXPECT_EQ(h::global("flopcount"), nullptr);  // never created
  h::set_global("flopcount", h::doubles({0, 0}).get());
  EXPECT_TRUE(g.call({a.get(), one.get()}).ok());
  EXPECT_TRUE(mxIsEmpty(h::global("flopcount")));
  h::set_global("flopcount", h::numeric(mxINT32_CLASS, {1, 1}, {5}).get());
  EXPECT_TRUE(g.call({a.get(), one.get()}).ok());
  EXPECT_EQ(mxGetClassID(h::global("flopcount")), mxINT32_CLASS);
  h::set_global("flopcount", h::matrix({{10, 20}, {30, 40}}).get());
  EXPECT_TRUE(g.call({a.get(), one.get()}).ok());
  EXPECT_EQ(h::values(h::global("flopcount")), (std::vector<double>{12, 30, 20, 40}));
}

TEST_F(Axisfold, RefusesBadArgumentsWithClearErrors) {
  auto a = h::doubles({2, 3, 4}), m = h::matrix({{1, 2}}), one = h::scalar(1);
  auto zero = h::scalar(0), four = h::scalar(4), nan = h::scalar(NAN), rep = h::row({2, 2}), many = h::row({1, 2, 3, 1});
  auto half = h::scalar(0.5), single = h::numeric(mxSINGLE_CLASS, {2, 2}), i32 = h::numeric(mxINT32_CLASS, {1, 1}, {1});
  auto sp = h::sparse(2, 2, {1, 0, 0, 1}), fh = h::function_handle(), cell = h::cell({1, 1}), inf = h::scalar(INFINITY);
  auto rep_all = h::row({1, 1});  // as many numbers as dimensions, but repeated
  struct Case {
    std::vector<const mxArray *> args;
    const char *id;
  };
  const std::vector<Case> cases = {
      {{}, "usage"},                           {{a.get()}, "usage"},
      {{a.get(), one.get(), one.get()}, "usage"},
      {{single.get(), one.get()}, "notDouble"}, {{sp.get(), one.get()}, "notDouble"},
      {{fh.get(), one.get()}, "notDouble"},     {{cell.get(), one.get()}, "notDouble"},
      {{a.get(), i32.get()}, "notDouble"},      {{a.get(), fh.get()}, "notDouble"},
      {{a.get(), many.get()}, "tooManyDims"},   {{a.get(), zero.get()}, "badDim"},
      {{a.get(), four.get()}, "badDim"},        {{a.get(), nan.get()}, "badDim"},
      {{a.get(), half.get()}, "badDim"},        {{a.get(), inf.get()}, "badDim"},
      {{a.get(), rep.get()}, "repeatedDim"},    {{m.get(), rep_all.get()}, "repeatedDim"}};
  for (const Case &c : cases) {
    h::CallResult r = g.call(c.args);
    ASSERT_FALSE(r.ok()) << c.id;
    EXPECT_EQ(r.error->id, std::string("gatebox:axisfold:") + c.id);
  }
  EXPECT_EQ(flops(), 0);  // nothing charged by a refused call
}

TEST_F(Axisfold, InputIsNeverChanged) {
  auto a = h::matrix({{1, 2}, {3, 4}}), sel = h::row({2});
  g.call({a.get(), sel.get()});
  EXPECT_EQ(h::values(a.get()), (std::vector<double>{1, 3, 2, 4}));
  EXPECT_EQ(h::values(sel.get()), (std::vector<double>{2}));
}

}  // namespace
