// The gamma gateway (by-reference entry point) through the own host.
#include "gatebox/host.hpp"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

namespace h = gatebox::host;

namespace {

class GammaGateway : public ::testing::Test {
 protected:
  h::Gateway g{h::gateway_path("gamma")};
  std::size_t blocks0 = h::live_blocks();
  void TearDown() override { EXPECT_EQ(h::live_blocks(), blocks0); }
  static std::string message(const h::CallResult &r) { return r.ok() ? "" : r.error->message; }
  // gamma of each value, one call on a row vector.
  std::vector<double> gamma(const std::vector<double> &v) {
    auto x = h::row(v);
    h::CallResult r = g.call({x.get()});
    EXPECT_TRUE(r.ok()) << message(r);
    return r.ok() ? h::values(r.out()) : std::vector<double>(v.size(), -42.0);
  }
};

bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST_F(GammaGateway, IsTheByReferenceEntryPointOfAMatlab5Library) {
  EXPECT_EQ(g.version(), "MATLAB 5 compatible");
  EXPECT_EQ(gamma({5}), std::vector<double>{24});
}

TEST_F(GammaGateway, ChecksCountThenComplexityThenClass) {
  auto x = h::scalar(2), z = h::complex({1, 1}, {1}, {1});
  auto zsingle = h::numeric(mxSINGLE_CLASS, {1, 2}, {1, 2}, true);
  auto zsparse = h::Array(mxCreateSparse(2, 2, 1, mxCOMPLEX));
  struct Case {
    std::vector<const mxArray *> in;
    const char *message;
  };
  for (const Case &c : std::vector<Case>{{{}, "Not enough input arguments."},
                                         {{x.get(), x.get()}, "Too many input arguments."},
                                         {{z.get(), z.get()}, "Too many input arguments."},
                                         {{z.get()}, "Argument must be real."},
                                         {{zsingle.get()}, "Argument must be real."},
                                         {{zsparse.get()}, "Argument must be real."}}) {
    h::CallResult r = g.call(c.in);
    EXPECT_EQ(message(r), c.message) << c.in.size();
    EXPECT_TRUE(r.outputs.empty() || r.out() == nullptr);
  }
}

// Every input but a full real double array goes to the host's builtin('gamma', x):
// here a registered "builtin" that records what it was given and answers a marker.
TEST_F(GammaGateway, DelegatesEveryInputThatIsNotAFullDoubleArrayToTheBuiltin) {
  std::vector<std::string> names;
  std::vector<const mxArray *> seen;
  h::register_function("builtin", [&](int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]) {
    ASSERT_EQ(nrhs, 2);
    char buf[16] = {};
    mxGetString(prhs[0], buf, sizeof buf);
    names.push_back(buf);
    seen.push_back(prhs[1]);
    if (nlhs >= 1) plhs[0] = mxCreateDoubleScalar(-7.0);
  });
  std::vector<h::Array> inputs;
  for (mxClassID c : {mxSINGLE_CLASS, mxINT8_CLASS, mxUINT8_CLASS, mxINT16_CLASS, mxUINT16_CLASS, mxINT32_CLASS,
                      mxUINT32_CLASS, mxINT64_CLASS, mxUINT64_CLASS})
    inputs.push_back(h::numeric(c, {3, 2}));
  inputs.push_back(h::sparse(2, 2, {1, 0, 0, 2}));
  inputs.push_back(h::Array(mxCreateSparseLogicalMatrix(2, 2, 1)));
  inputs.push_back(h::logical({2, 2}));
  inputs.push_back(h::text("abc"));
  inputs.push_back(h::cell({1, 2}));
  inputs.push_back(h::structure({1, 1}, {"f"}));
  inputs.push_back(h::function_handle());
  for (const auto &in : inputs) {
    names.clear();
    seen.clear();
    h::CallResult r = g.call({in.get()});
    ASSERT_TRUE(r.ok()) << mxGetClassName(in.get()) << ": " << message(r);
    ASSERT_EQ(names, std::vector<std::string>{"gamma"}) << mxGetClassName(in.get());
    EXPECT_EQ(seen[0], in.get());
    EXPECT_EQ(h::values(r.out()), std::vector<double>{-7.0});
  }
  // Complex input of any class is refused and never delegated; a full double
  // array is the gateway's own.
  names.clear();
  auto z = h::numeric(mxINT8_CLASS, {1, 1}, {1}, true);
  EXPECT_EQ(message(g.call({z.get()})), "Argument must be real.");
  EXPECT_EQ(gamma({4}), std::vector<double>{6});
  EXPECT_TRUE(names.empty());
  h::unregister_function("builtin");
}

TEST_F(GammaGateway, AnErrorOfTheBuiltinEndsTheCall) {
  auto x = h::numeric(mxSINGLE_CLASS, {1, 1}, {2});
  h::register_function("builtin", [](int, mxArray *[], int, const mxArray *[]) {
    mxCreateDoubleMatrix(10, 10, mxREAL);  // a temporary the host must reclaim
    mexErrMsgIdAndTxt("Octave:some-id", "gamma: wrong type argument");
  });
  h::CallResult r = g.call({x.get()});
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error->id, "Octave:some-id");
  EXPECT_EQ(r.error->message, "gamma: wrong type argument");
  h::unregister_function("builtin");
  // Without a builtin the host's own error for an undefined function ends it.
  r = g.call({x.get()});
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error->id, "gatebox:host:undefinedFunction");
}

TEST_F(GammaGateway, OutputHasTheInputsDimensions) {
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
    for (std::size_t i = 0; i < n; ++i) v[i] = 0.5 + static_cast<double>(i);
    auto x = h::doubles(c.in, v);
    h::CallResult r = g.call(0, {x.get()});  // nlhs = 0 still gives the output
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(h::dims(r.out()), c.out);
    EXPECT_EQ(mxGetClassID(r.out()), mxDOUBLE_CLASS);
    EXPECT_FALSE(mxIsComplex(r.out()));
    EXPECT_FALSE(mxIsSparse(r.out()));
    std::vector<double> y = h::values(r.out());
    for (std::size_t i = 0; i < n; ++i) EXPECT_TRUE(same_bits(y[i], gamma({v[i]})[0])) << v[i];  // per element
    EXPECT_EQ(h::values(x.get()), v);  // the input is never changed
  }
}

TEST_F(GammaGateway, WholeArgumentsUpTo23AreExactFactorials) {
  std::vector<double> x, want;
  double f = 1;  // (k-1)! for k = 1 .. 23: every product is exact in double
  for (int k = 1; k <= 23; ++k) {
    x.push_back(k);
    want.push_back(f);
    f *= k;
  }
  EXPECT_EQ(gamma(x), want);
  EXPECT_EQ(want.back(), 1124000727777607680000.0);
}

TEST_F(GammaGateway, SpecialArguments) {
  const double inf = INFINITY, sqrt_pi = 1.7724538509055160273;
  struct Case {
    double x, want, rel;  // rel < 0: bit for bit
  };
  const std::vector<Case> cases = {
      // poles, whole numbers among them however large: +inf whatever the sign of zero
      {0.0, inf, -1}, {-0.0, inf, -1}, {-1.0, inf, -1}, {-7.0, inf, -1}, {-1e300, inf, -1},
      // overflow
      {inf, inf, -1}, {-inf, inf, -1}, {171.7, inf, -1}, {1e-309, inf, -1},
      {0.5, sqrt_pi, 4e-16}, {-0.5, -2 * sqrt_pi, 4e-16}, {1e-300, 1e300, 1e-15},
      {24.0, 2.585201673888497664e22, 2e-14},  // 23!, through the series: close, not exact
      {171.6, 1.585896909667256509e308, 1e-13},
      // below -170.624, |Gamma| is under the smallest normal: a zero of Gamma's sign
      // (negative on (-2k-1, -2k))
      {-200.5, -0.0, -1}, {-201.5, 0.0, -1}, {-170.7, -0.0, -1}, {-1e10 - 0.5, -0.0, -1},
  };
  std::vector<double> x;
  for (const Case &c : cases) x.push_back(c.x);
  std::vector<double> y = gamma(x);
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const Case &c = cases[i];
    if (c.rel < 0)
      EXPECT_TRUE(same_bits(y[i], c.want)) << "gamma(" << c.x << ") = " << y[i];
    else
      EXPECT_NEAR(y[i], c.want, c.rel * std::fabs(c.want)) << "gamma(" << c.x << ")";
  }
  double nan_in = std::nan("0x5");  // NaN passes through with its payload
  EXPECT_TRUE(same_bits(gamma({nan_in})[0], nan_in));
}

// Gamma at exact doubles, from mpmath at 40 digits: `python3 tests/tools/gamma_reference.py`.
// The tolerance of each region covers Cody's algorithm: about 1e-15 on the
// positive axis, exp of a large ln Gamma near overflow, and the rounding of
// pi * r in the reflection, which grows as r approaches 1 (x just right of a pole).
struct Row {
  double x, gamma;
};
struct Region {
  const char *name;
  double rel;
  std::vector<Row> rows;
};

TEST_F(GammaGateway, AgreesWithHighPrecisionValues) {
  const std::vector<Region> regions = {
      {"tiny", 1e-15,
       {{1e-300, 9.9999999999999997494e+299},
        {1e-200, 1.0000000000000000179e+200},
        {1e-17, 9.9999999999999992269e+16},
        {2.2e-16, 4.5454545454545448705e+15},
        {1e-10, 9.9999999994227839709e+9},
        {1e-05, 9.9999422794225559493e+4}}},
      {"(0, 1)", 1e-15,
       {{0.001, 9.994237724845954453e+2},
        {0.1, 9.5135076986687312858},
        {0.25, 3.6256099082219083119},
        {0.5, 1.7724538509055160273},
        {0.75, 1.2254167024651776451},
        {0.999, 1.0005782056293586485}}},
      {"[1, 12)", 2e-15,
       {{1.0000001, 9.999999422784433667e-1},
        {1.5, 8.8622692545275801365e-1},
        {2.5, 1.3293403881791370205},
        {3.25, 2.5492569667185292818},
        {7.7, 2.769830362327314632e+3},
        {11.99, 3.8953748928808959772e+7},
        {11.999999999, 3.9916799902496754306e+7}}},
      {"[12, 171.624]", 2e-13,
       {{12.0, 3.99168e+7},
        {12.5, 1.3684336546556585726e+8},
        {24.0, 2.585201673888497664e+22},
        {50.5, 4.2904629123519598109e+63},
        {100.1, 1.4784544946514750115e+156},
        {150.3, 1.7112969992195767351e+261},
        {170.5, 5.5620924145599996107e+305},
        {171.0, 7.2574156153079989674e+306},
        {171.6, 1.585896909667256509e+308},
        {171.62, 1.7576826789978127038e+308}}},
      {"negative", 2e-13,
       {{-0.5, -3.5449077018110320546},
        {-1.5, 2.3632718012073547031},
        {-2.25, -1.7428148657282526509},
        {-10.1, -2.2134165830856185893e-6},
        {-49.9, 4.947427708081022281e-64},
        {-100.5, -3.3536908198076786422e-159},
        {-150.25, -2.2197139309494307249e-263},
        {-169.5, 5.6482208842233254718e-306},
        {-170.5, -3.3127395215386073148e-308}}},
      {"near the poles", 1e-9,
       {{-1e-10, -1.0000000000577215301e+10},
        {-0.999999, -1.0000004227569912748e+6},
        {-1.000001, 9.9999957729934337931e+5},
        {-4.999999, -8.3333475498408346638e+3},
        {-5.000001, 8.3333191145463607425e+3},
        {-20.0001, -4.109076346096508722e-15},
        {-99.9999, 1.0720044031405564449e-154}}},
  };
  for (const Region &region : regions) {
    double worst = 0;
    for (const Row &row : region.rows) {
      double y = gamma({row.x})[0], err = std::fabs(y / row.gamma - 1);
      EXPECT_LE(err, region.rel) << region.name << ": gamma(" << row.x << ") = " << y;
      worst = std::fmax(worst, err);
    }
    std::printf("  %-14s worst relative error %.2e\n", region.name, worst);
  }
}

}  // namespace
