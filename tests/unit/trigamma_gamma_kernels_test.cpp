// The trigamma and gamma array kernels on every instruction set the CPU
// offers, compared bit for bit with their plain per-element loops on random
// arguments and on special ones placed in every lane position.
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
    for (std::size_t n : kSizes) expect_same_as_loop(trigamma_isa, trigamma, uniform(n, r.lo, r.hi, 1 + n), "random");
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
    for (std::size_t n : kSizes) expect_same_as_loop(gamma_isa, gatebox::gamma_element, uniform(n, r.lo, r.hi, 5 + n), "random");
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

}  // namespace
