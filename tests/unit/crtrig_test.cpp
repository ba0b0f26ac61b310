// cr_sin and cr_tan against MPFR's correctly rounded sin and tan: a million
// arguments per function over the whole domain and its hard regions, the
// special values, the last step on its own, the error bounds of the first
// two steps (the first also on arguments near midpoints),
// and the digits of the constants (2/pi, pi/2, the Cody-Waite split).
#include "crmath.h"
#include "crtrig_tables.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <mpfr.h>
#include <random>
#include <vector>

namespace crtrig_detail {
double slow_sin(double x);
double slow_tan(double x);
bool fast_sin(double x, double* hi, double* lo);
bool fast_tan(double x, double* hi, double* lo);
bool first_sin(double x, double* hi, double* lo);
bool first_tan(double x, double* hi, double* lo);
}  // namespace crtrig_detail

namespace {

using Fn = double (*)(double);

std::uint64_t bits(double x) {
  std::uint64_t u;
  std::memcpy(&u, &x, sizeof u);
  return u;
}

double from_bits(std::uint64_t u) {
  double x;
  std::memcpy(&x, &u, sizeof x);
  return x;
}

struct Mp {
  mpfr_t v;
  explicit Mp(mpfr_prec_t p) { mpfr_init2(v, p); }
  ~Mp() { mpfr_clear(v); }
};

// MPFR's correctly rounded value (its exponent range set to double's, with
// subnormalize, so that tiny results round as doubles do).
double mpfr_ref(double x, bool tangent) {
  Mp a(53), y(53);
  mpfr_set_d(a.v, x, MPFR_RNDN);
  const int t = tangent ? mpfr_tan(y.v, a.v, MPFR_RNDN) : mpfr_sin(y.v, a.v, MPFR_RNDN);
  mpfr_subnormalize(y.v, t, MPFR_RNDN);
  return mpfr_get_d(y.v, MPFR_RNDN);
}

class MpfrRange : public ::testing::Environment {
 public:
  void SetUp() override {
    mpfr_set_emin(-1073);
    mpfr_set_emax(1024);
  }
};
const auto* env = ::testing::AddGlobalTestEnvironment(new MpfrRange);

// Counts the arguments where f differs (bit for bit, NaN by NaN-ness) from
// MPFR, printing the first few.
long mismatches(Fn f, bool tangent, const std::vector<double>& xs) {
  long bad = 0;
  for (double x : xs) {
    const double got = f(x), want = mpfr_ref(x, tangent);
    const bool same = (std::isnan(got) && std::isnan(want)) || bits(got) == bits(want);
    if (!same && ++bad <= 5)
      ADD_FAILURE() << (tangent ? "tan(" : "sin(") << std::hexfloat << x << ") = " << got << ", MPFR " << want;
  }
  return bad;
}

// The test distribution: whole domain and hard regions (200k + 150k + 150k
// + 150k + 100k + 100k + 150k = 1e6 arguments).
std::vector<double> arguments(std::uint64_t seed) {
  std::mt19937_64 g(seed);
  std::uniform_real_distribution<double> u01(0.0, 1.0);
  std::vector<double> xs;
  xs.reserve(1000000);
  auto sign = [&](double x) { return (g() & 1) ? -x : x; };
  for (int i = 0; i < 200000; ++i) xs.push_back(sign(10.0 * u01(g)));  // [-10, 10]
  for (int i = 0; i < 150000;) {                                        // any finite bit pattern
    const double x = from_bits(g());
    if (std::isfinite(x)) xs.push_back(x), ++i;
  }
  for (int i = 0; i < 150000; ++i) {  // doubles nearest k pi/2 and their neighbours, k < 2^30
    const double k = static_cast<double>(g() >> (34 + g() % 30));
    double x = k * 1.5707963267948966;
    const int step = static_cast<int>(g() % 5) - 2;
    for (int s = 0; s < (step < 0 ? -step : step); ++s) x = std::nextafter(x, step < 0 ? -INFINITY : INFINITY);
    xs.push_back(sign(x));
  }
  for (int i = 0; i < 150000; ++i)  // huge: 2^20 .. 2^1000 (1e300 is about 2^997)
    xs.push_back(sign(std::ldexp(1.0 + u01(g), 20 + static_cast<int>(g() % 980))));
  for (int i = 0; i < 100000; ++i) {  // subnormals, and tiny around the x-rounds-to-x thresholds
    if (i & 1)
      xs.push_back(sign(from_bits(g() & ((std::uint64_t{1} << 52) - 1))));
    else
      xs.push_back(sign(std::ldexp(1.0 + u01(g), -32 + static_cast<int>(g() % 10))));
  }
  for (int i = 0; i < 100000; ++i)  // the Cody-Waite / Payne-Hanek boundary
    xs.push_back(sign(std::ldexp(1.0 + u01(g), 18 + static_cast<int>(g() % 4))));
  for (int i = 0; i < 150000; ++i) xs.push_back(sign(1e6 * u01(g)));  // [-1e6, 1e6]
  return xs;
}

TEST(CrTrig, SinMatchesMpfrOnAMillionArguments) {
  EXPECT_EQ(mismatches(cr_sin, false, arguments(17)), 0);
}

TEST(CrTrig, TanMatchesMpfrOnAMillionArguments) {
  EXPECT_EQ(mismatches(cr_tan, true, arguments(18)), 0);
}

TEST(CrTrig, SpecialValues) {
  const double inf = std::numeric_limits<double>::infinity();
  const double dmin = std::numeric_limits<double>::denorm_min();
  for (Fn f : {cr_sin, cr_tan}) {
    EXPECT_EQ(bits(f(0.0)), bits(0.0));
    EXPECT_EQ(bits(f(-0.0)), bits(-0.0));
    EXPECT_TRUE(std::isnan(f(inf)));
    EXPECT_TRUE(std::isnan(f(-inf)));
    EXPECT_TRUE(std::isnan(f(std::numeric_limits<double>::quiet_NaN())));
    EXPECT_EQ(f(dmin), dmin);
    EXPECT_EQ(f(-dmin), -dmin);
  }
  // Arguments at the tiny thresholds, the largest doubles, the double
  // closest to a multiple of pi/2 (6381956970095103 2^797, Muller's book),
  // and near pi/2 where tan is large.
  std::vector<double> xs = {std::ldexp(1.0, -26), std::ldexp(1.0, -27), std::ldexp(1.0, -25),
                            std::numeric_limits<double>::max(), std::numeric_limits<double>::min(),
                            std::ldexp(6381956970095103.0, 797), 1.5707963267948966, 1.5707963267948963,
                            1.5707963267948968, 4.7123889803846897, 355.0, 103348.0, 1e22, 1e300,
                            std::ldexp(1.0, 20), std::nextafter(std::ldexp(1.0, 20), 0.0), 0.78,
                            std::nextafter(0.78, 1.0)};
  for (double& x : std::vector<double>(xs)) {
    xs.push_back(std::nextafter(x, 0.0));
    xs.push_back(std::nextafter(x, INFINITY));
  }
  for (double& x : std::vector<double>(xs)) xs.push_back(-x);
  EXPECT_EQ(mismatches(cr_sin, false, xs), 0);
  EXPECT_EQ(mismatches(cr_tan, true, xs), 0);
  // tan at the double nearest pi/2 is about 1.633e16.
  EXPECT_GT(cr_tan(1.5707963267948966), 1.6e16);
}

// The last step decides every case it is given; it is checked here on
// arguments of all kinds, not only on the rare ones the fast step hands over.
TEST(CrTrig, SecondStepMatchesMpfr) {
  std::vector<double> xs = arguments(19);
  std::vector<double> some;
  for (std::size_t i = 0; i < xs.size(); i += 100)
    if (std::fabs(xs[i]) >= std::ldexp(1.0, -26)) some.push_back(xs[i]);
  some.push_back(std::ldexp(6381956970095103.0, 797));
  EXPECT_EQ(mismatches(crtrig_detail::slow_sin, false, some), 0);
  EXPECT_EQ(mismatches(crtrig_detail::slow_tan, true, some), 0);
}

// The fast step's relative error stays below half the bound the rounding
// test assumes (2^-67 for sin, 2^-66 for tan).
TEST(CrTrig, FastStepErrorWithinBound) {
  std::vector<double> xs = arguments(20);
  Mp a(53), y(300), h(300);
  for (int tangent = 0; tangent < 2; ++tangent) {
    double worst = 0;
    for (std::size_t i = 0; i < xs.size(); i += 20) {
      const double x = xs[i];
      if (std::fabs(x) < std::ldexp(1.0, -26)) continue;
      double hi, lo;
      if (!(tangent ? crtrig_detail::fast_tan : crtrig_detail::fast_sin)(x, &hi, &lo)) continue;
      mpfr_set_d(a.v, x, MPFR_RNDN);
      if (tangent)
        mpfr_tan(y.v, a.v, MPFR_RNDN);
      else
        mpfr_sin(y.v, a.v, MPFR_RNDN);
      mpfr_set_d(h.v, hi, MPFR_RNDN);
      mpfr_add_d(h.v, h.v, lo, MPFR_RNDN);
      mpfr_sub(h.v, h.v, y.v, MPFR_RNDN);
      mpfr_div(h.v, h.v, y.v, MPFR_RNDN);
      worst = std::fmax(worst, std::fabs(mpfr_get_d(h.v, MPFR_RNDN)));
    }
    EXPECT_LT(worst, std::ldexp(1.0, tangent ? -67 : -68)) << (tangent ? "tan" : "sin");
  }
}

using Step = bool (*)(double, double*, double*);

// The largest relative error of a step's double-double value against MPFR,
// over the arguments it does not hand over.
double worst_error(Step step, bool tangent, const std::vector<double>& xs) {
  Mp a(53), y(300), h(300);
  double worst = 0;
  for (double x : xs) {
    double hi, lo;
    if (!step(x, &hi, &lo)) continue;
    mpfr_set_d(a.v, x, MPFR_RNDN);
    if (tangent)
      mpfr_tan(y.v, a.v, MPFR_RNDN);
    else
      mpfr_sin(y.v, a.v, MPFR_RNDN);
    mpfr_set_d(h.v, hi, MPFR_RNDN);
    mpfr_add_d(h.v, h.v, lo, MPFR_RNDN);
    mpfr_sub(h.v, h.v, y.v, MPFR_RNDN);
    mpfr_div(h.v, h.v, y.v, MPFR_RNDN);
    worst = std::fmax(worst, std::fabs(mpfr_get_d(h.v, MPFR_RNDN)));
  }
  return worst;
}

// Arguments whose sin (or tan) lies within 2^-9 of an ulp of a midpoint
// between doubles, the cases that the rounding tests must hand over: picked
// with MPFR from half the test distribution (about 1 in 250 qualifies), plus
// the double nearest a multiple of pi/2 and its neighbours.
std::vector<double> hard_cases(bool tangent, std::uint64_t seed) {
  std::vector<double> hard;
  Mp a(53), y(200), m(200);
  const std::vector<double> xs = arguments(seed);
  for (std::size_t i = 0; i < xs.size(); i += 2) {
    const double x = xs[i];
    if (std::fabs(x) < std::ldexp(1.0, -26)) continue;
    mpfr_set_d(a.v, x, MPFR_RNDN);
    if (tangent)
      mpfr_tan(y.v, a.v, MPFR_RNDN);
    else
      mpfr_sin(y.v, a.v, MPFR_RNDN);
    if (!mpfr_regular_p(y.v)) continue;
    // distance to the midpoint, in ulps: frac(|y| / ulp) - 1/2
    const long ex = mpfr_get_exp(y.v);  // |y| in [2^(ex-1), 2^ex)
    if (ex - 53 < -1074) continue;
    mpfr_abs(m.v, y.v, MPFR_RNDN);
    mpfr_mul_2si(m.v, m.v, 53 - ex, MPFR_RNDN);
    mpfr_frac(m.v, m.v, MPFR_RNDN);
    mpfr_sub_d(m.v, m.v, 0.5, MPFR_RNDN);
    if (std::fabs(mpfr_get_d(m.v, MPFR_RNDN)) < std::ldexp(1.0, -9)) hard.push_back(x);
  }
  const double near = std::ldexp(6381956970095103.0, 797);
  for (double x : {near, std::nextafter(near, 0.0), std::nextafter(near, INFINITY)}) {
    hard.push_back(x);
    hard.push_back(-x);
  }
  return hard;
}

// The first step, in plain double arithmetic, stays within the bounds of
// its error analysis (2^-65.5 for sin, 2^-64.5 for tan; its rounding tests
// assume 2^-64 and 2^-63) on ordinary arguments and on hard ones, and the
// hard ones, which go on to the later steps, are rounded correctly.
TEST(CrTrig, FirstStepErrorWithinBoundAndHardCasesRound) {
  std::vector<double> xs = arguments(21), some;
  for (std::size_t i = 0; i < xs.size(); i += 10) some.push_back(xs[i]);
  for (int tangent = 0; tangent < 2; ++tangent) {
    const Step step = tangent ? crtrig_detail::first_tan : crtrig_detail::first_sin;
    const double bound = std::ldexp(std::sqrt(0.5), tangent ? -64 : -65);
    const std::vector<double> hard = hard_cases(tangent != 0, 22 + tangent);
    EXPECT_GT(hard.size(), 1000u);
    EXPECT_LT(worst_error(step, tangent != 0, some), bound) << (tangent ? "tan" : "sin");
    EXPECT_LT(worst_error(step, tangent != 0, hard), bound) << (tangent ? "tan" : "sin") << ", hard cases";
    EXPECT_EQ(mismatches(tangent ? cr_tan : cr_sin, tangent != 0, hard), 0);
  }
}

// The last step alone rounds the arguments closest to a midpoint correctly:
// there the quotient's round bit and the sticky bit of its remainder decide
// (tan of both quadrants, results above and below 1).
TEST(CrTrig, LastStepRoundsHardCases) {
  EXPECT_EQ(mismatches(crtrig_detail::slow_tan, true, hard_cases(true, 24)), 0);
  EXPECT_EQ(mismatches(crtrig_detail::slow_sin, false, hard_cases(false, 25)), 0);
}

// The first step's Payne-Hanek reduction reads its window of 2/pi and the
// fraction's words at offsets that depend on the exponent mod 32: every
// exponent from 2^20 to 2^1023, with mantissas of all ones, a single one
// and random ones, keeps the error bound, and the results are correct.
TEST(CrTrig, FirstStepAtEveryLargeExponent) {
  std::mt19937_64 g(23);
  std::vector<double> xs;
  for (int e = 20; e <= 1023; ++e) {
    for (int j = 0; j < 6; ++j) {
      const std::uint64_t m = j == 0 ? 0 : j == 1 ? (std::uint64_t{1} << 52) - 1 : g() >> 12;
      const double x = from_bits((static_cast<std::uint64_t>(e + 1023) << 52) | m);
      xs.push_back(j & 1 ? -x : x);
    }
  }
  EXPECT_LT(worst_error(crtrig_detail::first_sin, false, xs), std::ldexp(std::sqrt(0.5), -65));
  EXPECT_LT(worst_error(crtrig_detail::first_tan, true, xs), std::ldexp(std::sqrt(0.5), -64));
  EXPECT_EQ(mismatches(cr_sin, false, xs), 0);
  EXPECT_EQ(mismatches(cr_tan, true, xs), 0);
}

// A table of 32-bit limbs of the fraction of v, from MPFR.
std::vector<std::uint32_t> limbs(mpfr_t v, int n) {
  Mp f(2000);
  mpfr_frac(f.v, v, MPFR_RNDN);
  std::vector<std::uint32_t> out;
  for (int i = 0; i < n; ++i) {
    mpfr_mul_2ui(f.v, f.v, 32, MPFR_RNDN);
    const unsigned long d = mpfr_get_ui(f.v, MPFR_RNDZ);
    out.push_back(static_cast<std::uint32_t>(d));
    mpfr_sub_ui(f.v, f.v, d, MPFR_RNDN);
  }
  return out;
}

TEST(CrTrig, ConstantsMatchMpfrPi) {
  namespace T = crtrig_tables;
  Mp pi(1800), v(1800);
  mpfr_const_pi(pi.v, MPFR_RNDN);
  mpfr_ui_div(v.v, 2, pi.v, MPFR_RNDN);  // 2/pi
  const int n2 = sizeof T::two_over_pi / sizeof T::two_over_pi[0];
  EXPECT_EQ(limbs(v.v, n2), std::vector<std::uint32_t>(T::two_over_pi, T::two_over_pi + n2));
  mpfr_div_2ui(v.v, pi.v, 1, MPFR_RNDN);  // pi/2
  const int np = sizeof T::pio2_frac / sizeof T::pio2_frac[0];
  EXPECT_EQ(limbs(v.v, np), std::vector<std::uint32_t>(T::pio2_frac, T::pio2_frac + np));
  // Cody-Waite: cw1 and cw2 of at most 33 bits, the sum within 2^-170 of pi/2.
  for (double c : {T::cw1, T::cw2}) EXPECT_EQ(bits(c) & ((std::uint64_t{1} << 20) - 1), 0u);
  Mp s(400);
  mpfr_set_d(s.v, T::cw1, MPFR_RNDN);
  for (double c : {T::cw2, T::cw3, T::cw4}) mpfr_add_d(s.v, s.v, c, MPFR_RNDN);
  mpfr_sub(s.v, s.v, v.v, MPFR_RNDN);
  EXPECT_LT(std::fabs(mpfr_get_d(s.v, MPFR_RNDN)), std::ldexp(1.0, -170));
  mpfr_set_d(s.v, T::pio2_hi, MPFR_RNDN);
  mpfr_add_d(s.v, s.v, T::pio2_lo, MPFR_RNDN);
  mpfr_sub(s.v, s.v, v.v, MPFR_RNDN);
  EXPECT_LT(std::fabs(mpfr_get_d(s.v, MPFR_RNDN)), std::ldexp(1.0, -106));
  // sin(i/128), cos(i/128) as double-doubles, to 2^-106 relative.
  for (int i = 1; i < static_cast<int>(sizeof T::sincos_table / sizeof T::sincos_table[0]); ++i) {
    Mp a(400), r(400);
    mpfr_set_ui(a.v, i, MPFR_RNDN);
    mpfr_div_2ui(a.v, a.v, 7, MPFR_RNDN);
    for (int c = 0; c < 2; ++c) {
      if (c) mpfr_cos(r.v, a.v, MPFR_RNDN); else mpfr_sin(r.v, a.v, MPFR_RNDN);
      const double want = mpfr_get_d(r.v, MPFR_RNDN);
      mpfr_sub_d(r.v, r.v, T::sincos_table[i][2 * c], MPFR_RNDN);
      mpfr_sub_d(r.v, r.v, T::sincos_table[i][2 * c + 1], MPFR_RNDN);
      EXPECT_LT(std::fabs(mpfr_get_d(r.v, MPFR_RNDN)), std::ldexp(std::fabs(want), -105)) << i;
    }
  }
}

}  // namespace
