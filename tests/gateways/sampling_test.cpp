// What the sampling gateways shapedraw, trialdraw and drawcounts share,
// through the own host: argument checks in order, refused calls drawing
// nothing, streams continuing across calls and private to each library,
// shapes, complex input, the trial count, and generated argument lists.
// Each function's own stream and cases are in <function>_test.cpp.
#include "gateways/sampling_fixture.h"

#include <algorithm>
#include <cmath>

namespace {

using namespace sampling;

// Each refusal, in the order the checks run; the stream is left untouched.
TEST_F(Sampling, RefuseBadArgumentsInOrderWithoutDrawing) {
  auto x = h::scalar(0.4), two = h::row({3, 4}), empty = h::doubles({0, 0}), sp = h::sparse(2, 2, {0.1, 0, 0, 0.2});
  auto fh = h::function_handle(), i32 = h::numeric(mxINT32_CLASS, {2, 2}), text = h::text("");  // a char row is a keyword (state_test.cpp)
  auto single1 = h::numeric(mxSINGLE_CLASS, {1, 1}, {5}), nan = h::scalar(NAN), neg = h::scalar(-1);
  auto big = h::scalar(2147483648.0), inf = h::scalar(INFINITY), ninf = h::scalar(-INFINITY);
  auto cellx = h::cell({1, 1}), logical1 = h::logical({1, 1}, {true});
  struct Case {
    h::Gateway *g;
    std::vector<const mxArray *> in;
    std::string expected;  // "id | message"
  };
  const std::string usage_t = "gatebox:trialdraw:usage | Usage: r = bino_sample(p, n)";
  const std::string usage_d = "gatebox:drawcounts:usage | Usage: h = drawcounts(p, n)";
  std::vector<Case> cases = {
      {&shape, {}, "gatebox:shapedraw:usage | Usage: x = shapedraw(a)"},
      {&shape, {x.get(), x.get()}, "gatebox:shapedraw:usage | Usage: x = shapedraw(a)"},
      {&shape, {sp.get()}, std::string("gatebox:shapedraw:sparse | ") + kSparse},
      {&shape, {fh.get()}, "gatebox:shapedraw:notDouble | a must be a double array; convert it with double(a)."},
      {&shape, {i32.get()}, "gatebox:shapedraw:notDouble | a must be a double array; convert it with double(a)."},
      {&shape, {cellx.get()}, "gatebox:shapedraw:notDouble | a must be a double array; convert it with double(a)."},
  };
  for (h::Gateway *g : {&trial, &counts}) {
    const std::string usage = g == &trial ? usage_t : usage_d, name = g == &trial ? "trialdraw" : "drawcounts";
    const std::string bad = "gatebox:" + name + ":badTrialCount | n must be a number of trials from 0 to 2147483647, not NaN or negative.";
    const std::string nd_n = "gatebox:" + name + ":notDouble | n must be a double scalar; convert it with double(n).";
    const std::string nd_p = "gatebox:" + name + ":notDouble | p must be a double array; convert it with double(p).";
    const std::string scalar = "gatebox:" + name + ":notScalar | n must be scalar";
    const std::string sparse = "gatebox:" + name + ":sparse | " + kSparse;
    std::vector<Case> more = {
        {g, {x.get()}, usage},
        {g, {x.get(), x.get(), x.get()}, usage},
        {g, {sp.get(), two.get()}, scalar},  // the scalar test comes before the sparse one
        {g, {x.get(), empty.get()}, scalar},
        {g, {fh.get(), two.get()}, scalar},
        {g, {x.get(), fh.get()}, nd_n},
        {g, {x.get(), single1.get()}, nd_n},
        {g, {x.get(), logical1.get()}, nd_n},
        {g, {sp.get(), nan.get()}, bad},  // the trial count before the sparse test
        {g, {x.get(), neg.get()}, bad},
        {g, {x.get(), big.get()}, bad},
        {g, {x.get(), inf.get()}, bad},
        {g, {x.get(), ninf.get()}, bad},
        {g, {sp.get(), x.get()}, sparse},
        {g, {fh.get(), x.get()}, nd_p},
        {g, {text.get(), x.get()}, nd_p},
        {g, {i32.get(), x.get()}, nd_p},
    };
    cases.insert(cases.end(), more.begin(), more.end());
  }
  for (const Case &c : cases) EXPECT_EQ(failure(*c.g, c.in), c.expected) << c.g->name();
  // Nothing was drawn: each stream still starts where a fresh library starts.
  auto p = h::row({0.3, 0.6, 2.5}), n = h::scalar(40), pc = h::column({0.2, 0.3, 0.5});
  std::vector<double> s1 = draw(shape, {p.get()}), t1 = draw(trial, {p.get(), n.get()}), c1 = draw(counts, {pc.get(), n.get()});
  shape.reload(), trial.reload(), counts.reload();
  EXPECT_TRUE(same_bits(s1, draw(shape, {p.get()})));
  EXPECT_TRUE(same_bits(t1, draw(trial, {p.get(), n.get()})));
  EXPECT_TRUE(same_bits(c1, draw(counts, {pc.get(), n.get()})));
}

TEST_F(Sampling, OneCallOnTwoPartsEqualsTwoCalls) {
  struct Case {
    h::Gateway *g;
    std::vector<mwSize> dims;
    std::vector<double> both;
    double n;
  };
  const Case cases[] = {
      {&shape, {1, 2}, {0.7, 3.3}, 0},
      {&trial, {1, 2}, {0.4, 0.8}, 12},
      {&counts, {3, 2}, {0.2, 0.3, 0.5, 0.6, 0.1, 0.3}, 500},
  };
  for (const Case &c : cases) {
    c.g->reload();
    auto n = h::scalar(c.n), both = h::doubles(c.dims, c.both);
    auto args = [&](const mxArray *p) { return c.g == &shape ? std::vector<const mxArray *>{p} : std::vector<const mxArray *>{p, n.get()}; };
    std::vector<double> together = draw(*c.g, args(both.get()));
    c.g->reload();
    const std::size_t half = c.both.size() / 2;
    std::vector<mwSize> half_dims = {c.dims[0], 1};
    auto a1 = h::doubles(half_dims, std::vector<double>(c.both.begin(), c.both.begin() + half));
    auto a2 = h::doubles(half_dims, std::vector<double>(c.both.begin() + half, c.both.end()));
    std::vector<double> apart = draw(*c.g, args(a1.get())), second = draw(*c.g, args(a2.get()));
    apart.insert(apart.end(), second.begin(), second.end());
    EXPECT_TRUE(same_bits(together, apart)) << c.g->name();
    // The next call continues the stream instead of repeating it.
    EXPECT_FALSE(same_bits(draw(*c.g, args(both.get())), together)) << c.g->name();
  }
}

// Each library has its own stream: draws in one leave the others where they
// were, and a reload starts a library's stream afresh.
TEST_F(Sampling, EachLibraryHasItsOwnStreamFromTheInitialSeeds) {
  auto a = h::row({1.0, 1.0, 1.0}), p = h::row({0.51, 0.51}), n = h::scalar(14);
  WHState ref = kWHInitialState;
  std::vector<double> expected_gamma;
  for (int i = 0; i < 3; ++i) expected_gamma.push_back(-std::log(Rand(ref)));
  std::vector<double> t1 = draw(trial, {p.get(), n.get()});
  draw(counts, {a.get(), n.get()});
  EXPECT_TRUE(same_bits(draw(shape, {a.get()}), expected_gamma));
  WHState s = kWHInitialState;
  std::vector<double> expected_trial = {double(BinoRand(s, 0.51, 14)), double(BinoRand(s, 0.51, 14))};
  EXPECT_EQ(t1, expected_trial);
  shape.reload();
  EXPECT_TRUE(same_bits(draw(shape, {a.get()}), expected_gamma));
}

// shapedraw and trialdraw keep every dimension of their input; drawcounts
// has the rows of p by the product of its other dimensions.
TEST_F(Sampling, OutputsHaveTheShapeOfPAndDrawNothingWhenEmpty) {
  auto n = h::scalar(10);
  for (std::vector<mwSize> d :
       std::vector<std::vector<mwSize>>{{0, 0}, {0, 3}, {4, 0}, {1, 1}, {2, 3}, {2, 3, 2}, {2, 0, 3}, {1, 2, 1, 3}}) {
    std::size_t count = 1;
    for (mwSize k : d) count *= k;
    auto p = h::doubles(d, std::vector<double>(count, 0.4));
    std::vector<mwSize> expected = {d[0], static_cast<mwSize>(count) / (d[0] ? d[0] : 1)};
    if (d[0] == 0) expected[1] = d.size() > 1 ? d[1] : 0;
    for (h::Gateway *g : {&shape, &trial, &counts}) {
      g->reload();
      h::CallResult r = g == &shape ? g->call(0, {p.get()}) : g->call(0, {p.get(), n.get()});
      ASSERT_TRUE(r.ok()) << g->name();
      EXPECT_EQ(h::dims(r.out()), g == &counts ? expected : d) << g->name();
      EXPECT_EQ(mxGetClassID(r.out()), mxDOUBLE_CLASS);
      EXPECT_FALSE(mxIsComplex(r.out()));
      if (count == 0) {  // nothing drawn: the next call repeats a fresh library's first draws
        auto q = h::column({0.5, 0.5});
        std::vector<double> after = g == &shape ? draw(*g, {q.get()}) : draw(*g, {q.get(), n.get()});
        g->reload();
        EXPECT_TRUE(same_bits(after, g == &shape ? draw(*g, {q.get()}) : draw(*g, {q.get(), n.get()}))) << g->name();
      }
    }
  }
}

TEST_F(Sampling, ComplexPUsesItsRealPartAndInputsStayUnchanged) {
  auto z = h::complex({1, 2}, {0.3, 2.0}, {5, -1}), x = h::row({0.3, 2.0}), n = h::complex({1, 1}, {7.9}, {3});
  auto n7 = h::scalar(7);
  for (h::Gateway *g : {&shape, &trial}) {
    g->reload();
    std::vector<double> from_z = g == &shape ? draw(*g, {z.get()}) : draw(*g, {z.get(), n.get()});
    g->reload();
    EXPECT_TRUE(same_bits(from_z, g == &shape ? draw(*g, {x.get()}) : draw(*g, {x.get(), n7.get()}))) << g->name();
  }
  EXPECT_EQ(h::values(z.get()), (std::vector<double>{0.3, 2.0}));
  EXPECT_EQ(h::imag_values(z.get()), (std::vector<double>{5, -1}));
}

TEST_F(Sampling, TrialCountsAreTruncatedTowardZero) {
  auto p = h::row(std::vector<double>(200, 0.9));
  for (auto [given, trials] : std::vector<std::pair<double, double>>{{10.7, 10}, {-0.5, 0}, {0.0, 0}, {3.999, 3}}) {
    auto n = h::scalar(given);
    for (double r : draw(trial, {p.get(), n.get()})) ASSERT_TRUE(r >= 0 && r <= trials && r == std::floor(r)) << given;
    for (double r : draw(counts, {p.get(), n.get()})) ASSERT_EQ(r, trials) << given;  // one row: all trials
  }
  // The largest count is accepted and handled; a sparse 1-by-1 n is read too.
  auto nmax = h::scalar(2147483647.0), half = h::row({0.5, 1e-12, 1.0});
  std::vector<double> r = draw(trial, {half.get(), nmax.get()});
  EXPECT_NEAR(r[0], 1073741823.5, 6 * 23170.5);
  EXPECT_EQ(r[2], 2147483647.0);
  auto nsp = h::sparse(1, 1, {5}), nzero = h::sparse(1, 1, {0}), certain = h::row({1.0, 1.0});
  EXPECT_EQ(draw(trial, {certain.get(), nsp.get()}), (std::vector<double>{5, 5}));
  EXPECT_EQ(draw(trial, {certain.get(), nzero.get()}), (std::vector<double>{0, 0}));
}

// Property check over many generated argument lists (the fuzzing idea on a
// fixed seed): every call either ends with one of the documented refusals or
// returns one real double output of p's rows and columns whose values are
// what the sampler can give, and no call leaves a block or array behind.
TEST_F(Sampling, GeneratedArgumentListsGiveADocumentedErrorOrAValidOutput) {
  WHState gen = {11, 22, 33};
  auto pick = [&](int k) { return static_cast<int>(Rand(gen) * k); };
  const double specials[] = {0.0, -0.0, 0.5, 1.0, -1.0, 1.7, 10.7, 2147483647.0, 2147483648.0, -0.5,
                             1e-300, 1e300, INFINITY, -INFINITY, NAN, 0.9999999999999998, 4.9e-324};
  auto value = [&]() { return pick(3) ? specials[pick(17)] : Rand(gen) * 3.0 - 0.5; };
  auto argument = [&]() -> h::Array {
    std::vector<mwSize> d = {static_cast<mwSize>(pick(4)), static_cast<mwSize>(pick(4))};
    if (pick(6) == 0) d.push_back(static_cast<mwSize>(pick(3)));
    if (pick(3) == 0) d = {1, 1};
    std::size_t count = 1;
    for (mwSize k : d) count *= static_cast<std::size_t>(k);
    std::vector<double> v(count);
    for (double &x : v) x = value();
    switch (pick(10)) {
      case 0: return h::numeric(pick(2) ? mxSINGLE_CLASS : mxINT32_CLASS, d, std::vector<double>(count, 1.0));
      case 1: return h::sparse(d[0], d[1], std::vector<double>(static_cast<std::size_t>(d[0] * d[1]), 0.25));
      case 2: return h::complex(d, v, v);
      case 3: return pick(2) ? h::function_handle() : h::cell(d);
      default: return h::doubles(d, v);
    }
  };
  const std::vector<std::string> refusals = {"Usage: x = shapedraw(a)", "Usage: r = bino_sample(p, n)",
                                             "Usage: h = drawcounts(p, n)", "n must be scalar", kSparse};
  int ok = 0, refused = 0;
  for (int i = 0; i < 3000; ++i) {
    h::Gateway *g = std::vector<h::Gateway *>{&shape, &trial, &counts, &counts_win}[pick(4)];
    std::vector<h::Array> args;
    int nargs = pick(5) == 0 ? pick(4) : (g == &shape ? 1 : 2);
    for (int k = 0; k < nargs; ++k) args.push_back(argument());
    std::vector<const mxArray *> in;
    for (const auto &a : args) in.push_back(a.get());
    h::CallResult r = g->call(in);
    if (!r.ok()) {
      ++refused;
      const std::string &id = r.error->id;
      bool documented = std::find(refusals.begin(), refusals.end(), r.error->message) != refusals.end() ||
                        id.find(":notDouble") != std::string::npos || id.find(":badTrialCount") != std::string::npos;
      EXPECT_TRUE(documented) << id << " | " << r.error->message;
      continue;
    }
    ++ok;
    const mxArray *p = in[0], *out = r.out();
    ASSERT_NE(out, nullptr);
    if (g == &shape || g == &trial)
      EXPECT_EQ(h::dims(out), h::dims(p));
    else
      EXPECT_EQ(h::dims(out), (std::vector<mwSize>{static_cast<mwSize>(mxGetM(p)), static_cast<mwSize>(mxGetN(p))}));
    EXPECT_TRUE(mxIsDouble(out) && !mxIsComplex(out));
    if (g == &shape) continue;
    // A generated sparse n stores 0.25 or nothing: 0 trials either way.
    double n = mxIsSparse(in[1]) ? 0.0 : std::trunc(h::values(in[1])[0]);
    for (double x : h::values(out)) ASSERT_TRUE(x >= 0 && x <= n && x == std::floor(x)) << g->name() << " n " << n;
  }
  EXPECT_GT(ok, 300);
  EXPECT_GT(refused, 300);
}

}  // namespace
