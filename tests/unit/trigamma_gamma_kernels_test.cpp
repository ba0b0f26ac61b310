// The trigamma and gamma array kernels on every instruction set the CPU
// offers, compared bit for bit with their plain per-element loops on random
// arguments and on special ones placed in every lane position; the lanes of
// cr_log and cr_exp that gamma uses, compared with the scalar functions.
#include "crmath.h"
#include "kernels.h"
#include "simd.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <vector>

namespace {

using gatebox::simd::Isa;
const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const Isa kIsas[] = {Isa::base, Isa::avx2, Isa::avx512};

std::uint64_t bits(double v) {
  std::uint64_t u;
  std::memcpy(&u, &v, sizeof u);
  return u;
}

// Index of the first element whose bits differ, or -1.
long first_difference(const std::vector<double> &x, const std::vector<double> &y) {
  for (std::size_t i = 0; i < x.size(); ++i)
    if (bits(x[i]) != bits(y[i])) return static_cast<long>(i);
  return -1;
}

std::vector<double> uniform(std::size_t n, double lo, double hi, unsigned seed) {
  std::mt19937_64 rng(seed);
  std::uniform_real_distribution<double> u(lo, hi);
  std::vector<double> v(n);
  for (double &x : v) x = u(rng);
  return v;
}

// Random arguments with the special values scattered through them: every
// special value lands in every lane position of every vector width.
std::vector<double> with_specials(const std::vector<double> &specials, std::size_t n, double lo, double hi) {
  std::vector<double> v = uniform(n, lo, hi, 7);
  std::size_t at = 0;
  for (int shift = 0; shift < 9; ++shift)
    for (double s : specials) {
      at += 9 + static_cast<std::size_t>(shift);
      if (at >= n) return v;
      v[at] = s;
    }
  return v;
}

// Sizes around the vector widths and the kernels' block of 512.
const std::size_t kSizes[] = {0, 1, 2, 3, 4, 5, 7, 8, 9, 15, 17, 31, 511, 512, 513, 1023, 1031, 4099};

template <class Array, class Element>
void expect_same_as_loop(Array array, Element element, const std::vector<double> &x, const char *what) {
  std::vector<double> want(x.size());
  for (std::size_t i = 0; i < x.size(); ++i) want[i] = element(x[i]);
  for (Isa isa : kIsas) {
    if (!gatebox::simd::available(isa)) continue;
    std::vector<double> y(x.size(), -1.0);
    array(isa, x.data(), y.data(), x.size());
    long d = first_difference(y, want);
    EXPECT_EQ(d, -1) << what << ", isa " << static_cast<int>(isa) << ", n " << x.size() << ": x = " << x[d < 0 ? 0 : d]
                     << " gives " << y[d < 0 ? 0 : d] << ", the loop " << want[d < 0 ? 0 : d];
    // The same call in place.
    std::vector<double> z = x;
    array(isa, z.data(), z.data(), z.size());
    EXPECT_EQ(first_difference(z, want), -1) << what << " in place, isa " << static_cast<int>(isa);
  }
}

void trigamma_isa(Isa isa, const double *x, double *y, std::size_t n) { gatebox::trigamma_array(isa, x, y, n); }

TEST(TrigammaArray, MatchesTheLoopOnRandomArgumentsOfEverySize) {
  struct Range {
    double lo, hi;
  };
  for (Range r : {Range{0.0, 100.0}, Range{0.0, 10.0}, Range{7.0, 9.0}, Range{-20.0, 20.0}, Range{1e-6, 1e-3}})
    for (std::size_t n : kSizes) expect_same_as_loop(trigamma_isa, trigamma, uniform(n, r.lo, r.hi, static_cast<unsigned>(1 + n)), "random");
  // The default dispatch too.
  std::vector<double> x = uniform(3000, 0.0, 100.0, 3), y(x.size()), want(x.size());
  gatebox::trigamma_array(x.data(), y.data(), x.size());
  for (std::size_t i = 0; i < x.size(); ++i) want[i] = trigamma(x[i]);
  EXPECT_EQ(first_difference(y, want), -1);
}

TEST(TrigammaArray, MatchesTheLoopOnSpecialArguments) {
  // Zeros, NaN, infinities, subnormals, poles, the series bound 1e-4 and
  // the recurrence bound 8 with their neighbours, whole numbers below 8
  // (exactly 8 steps or fewer), the reflection, huge values.
  const std::vector<double> specials = {0.0,
                                        -0.0,
                                        kNaN,
                                        -kNaN,
                                        kInf,
                                        -kInf,
                                        4.9e-324,
                                        -4.9e-324,
                                        DBL_MIN,
                                        1e-4,
                                        std::nextafter(1e-4, 0.0),
                                        std::nextafter(1e-4, 1.0),
                                        8.0,
                                        std::nextafter(8.0, 0.0),
                                        std::nextafter(8.0, 9.0),
                                        1.0,
                                        2.0,
                                        7.0,
                                        std::nextafter(1.0, 0.0),
                                        -1.0,
                                        -2.5,
                                        -1e-300,
                                        -7.999,
                                        1e300,
                                        DBL_MAX,
                                        1e-300};
  for (std::size_t n : {std::size_t{300}, std::size_t{1500}}) {
    expect_same_as_loop(trigamma_isa, trigamma, with_specials(specials, n, 0.0, 100.0), "specials");
    expect_same_as_loop(trigamma_isa, trigamma, with_specials(specials, n, 0.0, 8.0), "specials below 8");
  }
  // An array of nothing but special values, each size.
  for (std::size_t n = 1; n <= specials.size(); ++n)
    expect_same_as_loop(trigamma_isa, trigamma, std::vector<double>(specials.begin(), specials.begin() + n),
                        "only specials");
}

void gamma_isa(Isa isa, const double *x, double *y, std::size_t n) { gatebox::gamma_array(isa, x, y, n); }

TEST(GammaArray, MatchesTheLoopOnRandomArgumentsOfEverySize) {
  struct Range {
    double lo, hi;
  };
  // The benchmark's range, the rational form, the reflection near its poles,
  // the switch at 12, the ends of the finite range.
  for (Range r : {Range{-50.0, 170.0}, Range{0.0, 12.0}, Range{-12.0, 0.0}, Range{11.0, 13.0}, Range{-172.0, -168.0},
                  Range{168.0, 172.0}})
    for (std::size_t n : kSizes) expect_same_as_loop(gamma_isa, gatebox::gamma_element, uniform(n, r.lo, r.hi, static_cast<unsigned>(5 + n)), "random");
  std::vector<double> x = uniform(3000, -50.0, 170.0, 3), y(x.size()), want(x.size());
  gatebox::gamma_array(x.data(), y.data(), x.size());
  for (std::size_t i = 0; i < x.size(); ++i) want[i] = gatebox::gamma_element(x[i]);
  EXPECT_EQ(first_difference(y, want), -1);
}

TEST(GammaArray, MatchesTheLoopOnSpecialArguments) {
  // Zeros, NaN (two payloads, passed through), infinities, subnormals, the
  // factorial table and whole numbers past it, poles, the bounds of the
  // reciprocal path (eps, xminin), of the rational form (1, 12), of the
  // finite range (xbig 171.624, its reflection) and the lanes' own bounds
  // (-170, 171).
  const std::vector<double> specials = {0.0,   -0.0,  kNaN, -kNaN,  kInf,  -kInf, 4.9e-324, -4.9e-324, DBL_MIN,
                                        1.0,   2.0,   23.0, 24.0,   170.0, 171.0, -1.0,     -2.0,      -170.0,
                                        -171.0, 2.22e-16, std::nextafter(2.22e-16, 0.0), std::nextafter(2.22e-16, 1.0),
                                        2.23e-308, 1e-300, 12.0, std::nextafter(12.0, 0.0), std::nextafter(12.0, 13.0),
                                        std::nextafter(1.0, 0.0), std::nextafter(1.0, 2.0), 0.5, -0.5, -1e-300,
                                        -49.5, 171.5, 171.624, 171.7, -170.5, -170.7, -171.5, 1e300, -1e300,
                                        std::nextafter(-170.0, 0.0), std::nextafter(171.0, 0.0), 11.5, -10.5};
  for (std::size_t n : {std::size_t{300}, std::size_t{1500}}) {
    expect_same_as_loop(gamma_isa, gatebox::gamma_element, with_specials(specials, n, -50.0, 170.0), "specials");
    expect_same_as_loop(gamma_isa, gatebox::gamma_element, with_specials(specials, n, -3.0, 3.0), "specials near 0");
  }
  for (std::size_t n = 1; n <= specials.size(); ++n)
    expect_same_as_loop(gamma_isa, gatebox::gamma_element,
                        std::vector<double>(specials.begin(), specials.begin() + n), "only specials");
}

// Arguments of the logarithm in [12, 171.7] whose first-step rounding test
// fails (found by a search over random arguments): the lanes must leave
// every one to cr_log.
const double kLogUndecided[] = {0x1.a1478a0dfca8cp+5, 0x1.7224a778de15dp+4, 0x1.1b433b44c0d78p+7, 0x1.6ceebf7abf6b8p+6,
                                0x1.b317d1e0e9d5p+5, 0x1.77dd424bf39c2p+4, 0x1.fb84609114124p+3, 0x1.2bf8238422a3p+6,
                                0x1.1ddb215f82cb6p+6, 0x1.30aa3ed368acp+4, 0x1.3be331762cb3p+7, 0x1.5b94e740f97a6p+5};

// Many arguments of Stirling's path, where the logarithm and exp run in
// lanes, and of the reflected range, where cr_sin adds to them; and the
// arguments whose logarithm the lanes leave undecided, as they are and
// reflected (x = 1 - y, exact, gives y back).
TEST(GammaArray, MatchesTheLoopOnManyStirlingAndReflectedArguments) {
  expect_same_as_loop(gamma_isa, gatebox::gamma_element, uniform(1000000, 12.0, 171.6, 21), "Stirling");
  expect_same_as_loop(gamma_isa, gatebox::gamma_element, uniform(1000000, -170.0, -11.0, 22), "reflected");
  std::vector<double> undecided;
  for (double y : kLogUndecided) {
    undecided.push_back(y);
    undecided.push_back(1.0 - y);
  }
  expect_same_as_loop(gamma_isa, gatebox::gamma_element, with_specials(undecided, 3000, -170.0, 171.6), "undecided");
}

double from_bits(std::uint64_t u) {
  double v;
  std::memcpy(&v, &u, sizeof v);
  return v;
}

// The elements of lanes(isa, ...) that differ from f, per instruction set;
// the returned counts of scalar elements in `scalar`.
template <class Lanes, class F>
void expect_lanes_match(Lanes lanes, F f, const std::vector<double> &x, const char *what,
                        std::size_t *scalar = nullptr) {
  std::vector<double> want(x.size());
  for (std::size_t i = 0; i < x.size(); ++i) want[i] = f(x[i]);
  for (Isa isa : {Isa::avx2, Isa::avx512}) {
    if (!gatebox::simd::available(isa)) continue;
    std::vector<double> y(x.size(), -1.0);
    const std::size_t n = lanes(isa, x.data(), y.data(), x.size());
    if (scalar) scalar[isa == Isa::avx512] = n;
    const long d = first_difference(y, want);
    EXPECT_EQ(d, -1) << what << ", isa " << static_cast<int>(isa) << ": x = " << std::hexfloat << x[d < 0 ? 0 : d]
                     << " gives " << y[d < 0 ? 0 : d] << ", the scalar function " << want[d < 0 ? 0 : d];
  }
}

TEST(GammaLanes, LogMatchesCrLog) {
  std::size_t scalar[2] = {0, 0};
  // Random arguments over the lanes' domain (about one in 8e5 fails the
  // rounding test, so some of these reach cr_log), uniform in value and in
  // the bit pattern.
  expect_lanes_match(gatebox::gamma_log_lanes, cr_log, uniform(3000000, 12.0, 171.7, 31), "random", scalar);
  for (int wide = 0; wide < 2; ++wide) {
    if (gatebox::simd::available(wide ? Isa::avx512 : Isa::avx2)) {
      EXPECT_GT(scalar[wide], 0u) << wide;
    }
  }
  std::mt19937_64 rng(32);
  std::uniform_int_distribution<std::uint64_t> pattern(bits(12.0), bits(171.7));
  std::vector<double> x(1000000);
  for (double &v : x) v = from_bits(pattern(rng));
  expect_lanes_match(gatebox::gamma_log_lanes, cr_log, x, "random bit patterns");
  // The rows' edges (the top 9 mantissa bits, including the wrap point of
  // the reduction) in each binade of the domain, a few ulps either side,
  // and the binades' and the domain's own ends.
  x.clear();
  for (std::uint64_t e = 1026; e <= 1030; ++e)
    for (std::uint64_t t = 0; t < 512; ++t)
      for (std::uint64_t d = 0; d < 4; ++d) {
        const std::uint64_t u = e << 52 | t << 43;
        x.push_back(from_bits(u + d));
        x.push_back(from_bits(u - d - 1));
      }
  for (double edge : {12.0, 16.0, 32.0, 64.0, 128.0, 171.7})
    for (int d = -5; d <= 5; ++d) x.push_back(from_bits(bits(edge) + static_cast<std::uint64_t>(d)));
  expect_lanes_match(gatebox::gamma_log_lanes, cr_log, x, "row edges");
  // Outside the domain (cr_log's special arguments among them), mixed with
  // arguments inside it in every lane position.
  const std::vector<double> outside = {0.0, -0.0, kNaN, -kNaN, kInf, -kInf, 4.9e-324, DBL_MIN, 1.0, 0.5, 11.999,
                                       std::nextafter(171.7, 200.0), 1e300, -12.0, -100.0, DBL_MAX};
  expect_lanes_match(gatebox::gamma_log_lanes, cr_log, with_specials(outside, 3000, 12.0, 171.7), "outside");
  // Undecided arguments: every one to the scalar function, and alone in
  // their vectors or among decided ones, in every lane position.
  x.assign(std::begin(kLogUndecided), std::end(kLogUndecided));
  x.resize(16, x[0]);
  expect_lanes_match(gatebox::gamma_log_lanes, cr_log, x, "undecided", scalar);
  for (int wide = 0; wide < 2; ++wide) {
    if (gatebox::simd::available(wide ? Isa::avx512 : Isa::avx2)) {
      EXPECT_EQ(scalar[wide], 16u) << wide;
    }
  }
  expect_lanes_match(gatebox::gamma_log_lanes, cr_log,
                     with_specials(std::vector<double>(std::begin(kLogUndecided), std::end(kLogUndecided)), 2000,
                                   12.0, 171.7),
                     "undecided among others");
}

TEST(GammaLanes, ExpMatchesCrExp) {
  std::size_t scalar[2] = {0, 0};
  // gamma's sums, ln Gamma(12) to ln Gamma(171.7) (past the lanes' end at
  // 708.39, where cr_exp goes its rare way): about one in 128 fails the
  // rounding test.
  expect_lanes_match(gatebox::gamma_exp_lanes, cr_exp, uniform(3000000, 17.0, 709.8, 41), "random", scalar);
  for (int wide = 0; wide < 2; ++wide) {
    if (gatebox::simd::available(wide ? Isa::avx512 : Isa::avx2)) {
      EXPECT_GT(scalar[wide], 10000u) << wide;
    }
  }
  expect_lanes_match(gatebox::gamma_exp_lanes, cr_exp, uniform(1000000, 1e-16, 17.0, 42), "below gamma's sums");
  // The midpoints between multiples of ln2/128 (where the table row
  // changes), the binades' ends, the domain's ends and the overflow
  // threshold, a few ulps either side.
  std::vector<double> x;
  for (int k = 0; k < 128 * 1022; k += 7) {
    const double mid = (k + 0.5) * 0x1.62e42fefa39efp-8;
    for (int d = -3; d <= 3; ++d) x.push_back(from_bits(bits(mid) + static_cast<std::uint64_t>(d)));
  }
  for (double edge : {0x1p-54, 1.0, 16.0, 32.0, 64.0, 128.0, 256.0, 512.0, 0x1.6231eb851eb85p+9, 0x1.62e42fefa39efp+9})
    for (int d = -5; d <= 5; ++d) x.push_back(from_bits(bits(edge) + static_cast<std::uint64_t>(d)));
  expect_lanes_match(gatebox::gamma_exp_lanes, cr_exp, x, "edges");
  const std::vector<double> outside = {0.0, -0.0, kNaN, -kNaN, kInf, -kInf, 4.9e-324, -1.0, -700.0, -745.0, 709.0,
                                       709.79, 710.0, 1e300, 0x1p-60, -0x1p-60};
  expect_lanes_match(gatebox::gamma_exp_lanes, cr_exp, with_specials(outside, 3000, 17.0, 708.0), "outside");
}

}  // namespace
