// The samplers against a plain reference: one uniform per generator step with
// the three divisions, and the samplers written as their published steps
// with cr_log in every comparison and the beta splits as recursion.  Long
// mixed streams must agree bit for bit, draw by draw, with the same state at
// the end, in the normal mode and with every fast decision forced the exact
// way.  GATEBOX_LONG_STREAM=1 runs 10^7 draws instead of 10^6.
#include "crmath.h"
#include "kernels.h"
#include "util.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace {

namespace plain {

double rand(WHState &s) {
  s.ix = (171 * s.ix) % 30269;
  s.iy = (172 * s.iy) % 30307;
  s.iz = (170 * s.iz) % 30323;
  float f = static_cast<float>(s.ix / 30269.0 + s.iy / 30307.0 + s.iz / 30323.0);
  return static_cast<double>(f - static_cast<float>(static_cast<int>(f)));
}

double gamma(WHState &s, double a) {
  const double tiny = 2.220446049250313e-16;
  if (std::isnan(a)) return a;
  if (a < tiny) return 0.0;
  if (a == HUGE_VAL) return a;
  if (std::fabs(a - 1.0) < tiny) return -cr_log(rand(s));
  double boost = 1.0;
  if (a < 1.0) {
    boost = cr_exp(cr_log(rand(s)) / a);
    a = a + 1.0;
  }
  const double d = a - 1.0, c1 = (a - 1.0 / (6.0 * a)) / d, c2 = 2.0 / d, c3 = c2 + 2.0;
  const double c4 = 1.0 / std::sqrt(a);
  for (;;) {
    double u1 = rand(s);
    double u2 = rand(s);
    if (a > 2.5) u1 = u2 + c4 * (1.0 - 1.86 * u1);
    if (u1 <= 0.0 || u1 >= 1.0) continue;
    double w = c1 * u2 / u1;
    if (c2 * u1 + w + 1.0 / w <= c3) return boost * d * w;
    if (c2 * cr_log(u1) - cr_log(w) + w < 1.0) return boost * d * w;
  }
}

double beta(WHState &s, double a, double b) {
  double g1 = gamma(s, a);
  double g2 = gamma(s, b);
  return g1 / (g1 + g2);
}

int bino(WHState &s, double p, int n) {
  if (n < 0 || std::isnan(p) || p < 2.220446049250313e-16) return 0;
  if (p >= 0.9999999999999998) return n;
  if (p > 0.5 && n <= 14) {
    int count = 0;
    for (int i = 0; i < n; ++i) count += rand(s) < p;
    return count;
  }
  const double trials = n;
  if (trials * p >= 10.0) {
    const double kd = std::floor(p * (trials + 1.0));
    const int k = static_cast<int>(kd);
    const double y = beta(s, kd, trials + 1.0 - kd);
    if (p >= y) return k + bino(s, (p - y) / (1.0 - y), n - k);
    return (k - 1) - bino(s, (y - p) / y, k - 1);
  }
  const double q = -cr_log(1.0 - p);
  double sum = -cr_log(rand(s)) / trials;
  if (sum > q) return 0;
  for (int m = n - 1; m > 0; --m) {
    sum = sum - cr_log(rand(s)) / m;
    if (sum > q) return n - m;
  }
  return n;
}

void multi(WHState &s, const double *p, std::size_t m, int trials, double *counts) {
  double r = 1.0;
  int a = trials;
  for (std::size_t k = 0; k + 1 < m; ++k) {
    int b = bino(s, p[k] / r, a);
    counts[k] = b;
    r -= p[k];
    a -= b;
    if (r == 0.0) {
      for (std::size_t j = k + 1; j < m; ++j) counts[j] = 0.0;
      return;
    }
  }
  counts[m - 1] = a;
}

}  // namespace plain

bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }
bool same_state(const WHState &a, const WHState &b) { return a.ix == b.ix && a.iy == b.iy && a.iz == b.iz; }

long stream_length(long normal) {
  const char *e = std::getenv("GATEBOX_LONG_STREAM");
  return e != nullptr && *e != '\0' && *e != '0' ? 10 * normal : normal;
}

// Parameters of the mixed stream: shapes in every branch (tiny, below 1,
// exactly 1, GKM1, GKM2, large) with runs of equal shapes, probabilities
// near 0, 1/2 and 1, and trial counts from 0 to 10^6 across the direct,
// split and waiting-time branches.
struct Mix {
  WHState g = {4242, 17, 999};
  double shape() {
    static const double fixed[] = {1e-300, 0.0, -1.0, 1.0, 2.5, 1e-3, 1.0 + 1e-10, 5.0, 1e4, double(NAN), HUGE_VAL};
    double u = plain::rand(g);
    if (u < 0.05) return fixed[static_cast<int>(plain::rand(g) * 11)];
    if (u < 0.4) return 0.1 + 9.9 * plain::rand(g);
    if (u < 0.6) return plain::rand(g);
    return 1.0 + 3.0 * plain::rand(g);
  }
  double prob() {
    static const double fixed[] = {0.0, 1e-17, 0.5, 0.9999999999999998, 1.0, double(NAN), 1e-9, 0.999};
    double u = plain::rand(g);
    if (u < 0.05) return fixed[static_cast<int>(plain::rand(g) * 8)];
    return plain::rand(g);
  }
  int trials() {
    static const int n[] = {0, 1, 5, 14, 15, 30, 100, 100, 1000, 1000000, -3};
    return n[static_cast<int>(plain::rand(g) * 11)];
  }
};

// Draws `count` variates on the fast samplers and the plain ones, from two
// streams used in turn (so that each sampler call finds the other stream's
// uniforms cached), comparing every value and the states at the end.
void compare_streams(long count) {
  Mix mix;
  WHState fast[2] = {kWHInitialState, SeedState(77)}, ref[2] = {kWHInitialState, SeedState(77)};
  double shape = 2.0;
  std::vector<double> p(7), cf(7), cr(7);
  for (long i = 0; i < count; ++i) {
    const int k = static_cast<int>((i / 3) & 1);
    WHState &f = fast[k], &r = ref[k];
    const int kind = static_cast<int>(plain::rand(mix.g) * 6);
    if (kind == 0) {
      ASSERT_TRUE(same_bits(Rand(f), plain::rand(r))) << "Rand, draw " << i;
    } else if (kind == 1) {
      if (plain::rand(mix.g) < 0.7) shape = mix.shape();  // else the shape repeats
      ASSERT_TRUE(same_bits(GammaRand(f, shape), plain::gamma(r, shape))) << "GammaRand(" << shape << "), draw " << i;
    } else if (kind == 2) {
      const double a = mix.shape(), b = mix.shape();
      ASSERT_TRUE(same_bits(BetaRand(f, a, b), plain::beta(r, a, b))) << "BetaRand(" << a << ", " << b << "), draw " << i;
    } else if (kind <= 4) {
      const double q = mix.prob();
      const int n = mix.trials();
      ASSERT_EQ(BinoRand(f, q, n), plain::bino(r, q, n)) << "BinoRand(" << q << ", " << n << "), draw " << i;
    } else {
      double total = 0.0;
      for (double &v : p) total += (v = plain::rand(mix.g));
      for (double &v : p) v /= total;
      const int n = mix.trials();
      gatebox::MultiRand(f, p.data(), p.size(), n, cf.data(), false);
      plain::multi(r, p.data(), p.size(), n, cr.data());
      ASSERT_EQ(cf, cr) << "MultiRand(" << n << "), draw " << i;
    }
    if ((i & 1023) == 0) {
      ASSERT_TRUE(same_state(f, r)) << "state after draw " << i;
    }
  }
  for (int k = 0; k < 2; ++k) {
    EXPECT_TRUE(same_state(fast[k], ref[k])) << "stream " << k;
  }
}

TEST(FastSamplers, AgreeWithThePlainSamplersOnALongMixedStream) { compare_streams(stream_length(1000000)); }

// Each way of making the blocks of uniforms that this build and processor
// have (portable, SSE2, AVX) gives the same streams.
TEST(FastSamplers, EveryUniformPathGivesTheSameStreams) {
  int paths = 0;
  for (int kind = 1; kind <= 3; ++kind) {
    if (!gatebox_random_test::set_uniform_path(kind)) continue;
    ++paths;
    SCOPED_TRACE("uniform path " + std::to_string(kind));
    compare_streams(stream_length(200000));
    WHState a = kWHInitialState, b = kWHInitialState;
    for (int i = 0; i < 1000000; ++i) {
      ASSERT_TRUE(same_bits(Rand(a), plain::rand(b))) << "Rand, draw " << i;
    }
  }
  gatebox_random_test::set_uniform_path(0);
  EXPECT_GE(paths, 1);
}

// Every decision the exact way: the fallbacks (exact uniform sums, exact
// log tests, the waiting time restarted after consumed uniforms) give the
// same streams.
TEST(FastSamplers, AgreeWithThePlainSamplersWhenEveryDecisionIsExact) {
  gatebox_random_test::set_exact_decisions(true);
  compare_streams(stream_length(100000));
  gatebox_random_test::set_exact_decisions(false);
}

// Each way this build and processor have of taking the waiting time's
// logarithms (one at a time, eight ahead in AVX2 or AVX-512 lanes) gives
// the same streams, in the normal mode and with every decision exact (the
// restarts from the saved state after a window of logarithms was made).
TEST(FastSamplers, EveryWaitingPathGivesTheSameStreams) {
  int paths = 0;
  for (int kind = 1; kind <= 3; ++kind) {
    if (!gatebox_random_test::set_waiting_path(kind)) continue;
    ++paths;
    for (bool exact : {false, true}) {
      SCOPED_TRACE("waiting path " + std::to_string(kind) + (exact ? ", exact decisions" : ""));
      gatebox_random_test::set_exact_decisions(exact);
      compare_streams(stream_length(exact ? 50000 : 200000));
    }
  }
  gatebox_random_test::set_exact_decisions(false);
  gatebox_random_test::set_waiting_path(0);
  EXPECT_GE(paths, 1);
}

// The waiting time decides as the plain loop where the sum after some term
// lies within an ulp to 2^20 ulps of q on either side (p set from that sum,
// then moved), where a bound too small shows: the count and the state after
// it, on each waiting path, for trial counts from 15 to 2^31 - 1.
TEST(FastSamplers, WaitingTimeDecidesAsThePlainLoopNextToItsBoundaries) {
  long cases = 0, stops = 0;
  for (int kind = 1; kind <= 3; ++kind) {
    if (!gatebox_random_test::set_waiting_path(kind)) continue;
    WHState seed = {11, 12, 13};
    for (int n : {15, 40, 100, 1000, 100000, 2147483647}) {
      for (int rep = 0; rep < 30; ++rep) {
        plain::rand(seed);
        WHState t = seed;
        double sum = 0.0;
        for (int j = 0; j < 12 && j < n; ++j) {
          sum = j == 0 ? -cr_log(plain::rand(t)) / n : sum - cr_log(plain::rand(t)) / (n - j);
          const double p0 = -std::expm1(-sum);
          for (int i = -1; i < 42; ++i) {
            const double ulp = std::nextafter(p0, HUGE_VAL) - p0;
            const double p = i < 0 ? p0 : p0 + ((i & 1) ? -1.0 : 1.0) * std::ldexp(ulp, i / 2);
            if (!(p * n < 10.0) || !(p > 1e-15) || (p > 0.5 && n <= 14)) continue;
            WHState a = seed, b = seed;
            const int want = plain::bino(a, p, n);
            ASSERT_EQ(BinoRand(b, p, n), want) << "path " << kind << ", n " << n << ", p " << p;
            ASSERT_TRUE(a.ix == b.ix && a.iy == b.iy && a.iz == b.iz) << "path " << kind << ", n " << n;
            ++cases;
            stops += want == j;
          }
        }
      }
    }
  }
  gatebox_random_test::set_waiting_path(0);
  EXPECT_GT(cases, 10000);
  EXPECT_GT(stops, 1000);
}

// The binomial's code for each processor this build can choose gives the
// same streams.
TEST(FastSamplers, EveryBinomialPathGivesTheSameStreams) {
  int paths = 0;
  for (int kind = 1; kind <= 2; ++kind) {
    if (!gatebox_random_test::set_binomial_path(kind)) continue;
    ++paths;
    SCOPED_TRACE("binomial path " + std::to_string(kind));
    compare_streams(stream_length(200000));
  }
  gatebox_random_test::set_binomial_path(0);
  EXPECT_GE(paths, 1);
}

// MultiRand over many columns in one call draws as one call per column:
// against the plain chain column by column (the state compared at the end,
// after columns that stop early at a zero mass left, near the start and, with
// 70 categories, in the middle), and with stop_at_nan against single-column
// calls on a NaN probability.
TEST(FastSamplers, MultiRandOverManyColumnsDrawsAsOneCallPerColumn) {
  Mix mix;
  for (std::size_t m : {1, 2, 10, 70}) {
    for (int n : {0, 7, 100, 1000, 100000}) {
      const std::size_t columns = 3001;
      std::vector<double> p(m * columns), cf(p.size()), cr(p.size());
      for (std::size_t j = 0; j < columns; ++j) {
        double total = 0.0;
        for (std::size_t i = 0; i < m; ++i) total += (p[j * m + i] = plain::rand(mix.g));
        for (std::size_t i = 0; i < m; ++i) p[j * m + i] /= total;
        if (m > 2 && j % 7 == 0) {  // the mass runs out at the second category
          p[j * m] = 0.5;
          p[j * m + 1] = 0.5;
        }
        if (m > 40 && j % 7 == 3) {  // at category 40: exactly the mass left
          double left = 1.0;
          for (std::size_t i = 0; i < 40; ++i) left -= p[j * m + i];
          p[j * m + 40] = left;
        }
      }
      WHState f = SeedState(static_cast<std::uint32_t>(m * 1000 + n)), r = f;
      cf.assign(p.size(), -1.0);  // every count must be written
      gatebox::MultiRand(f, p.data(), m, n, cf.data(), false, columns);
      for (std::size_t j = 0; j < columns; ++j) plain::multi(r, p.data() + j * m, m, n, cr.data() + j * m);
      ASSERT_EQ(cf, cr) << "m = " << m << ", n = " << n;
      EXPECT_TRUE(same_state(f, r)) << "m = " << m << ", n = " << n;
      if (m >= 10) {
        for (std::size_t j = 3; j < columns; j += 5) p[j * m + (j % 2 == 0 ? 4 : m - 5)] = NAN;
        WHState a = SeedState(9), b = a;
        cf.assign(p.size(), -1.0);
        gatebox::MultiRand(a, p.data(), m, n, cf.data(), true, columns);
        for (std::size_t j = 0; j < columns; ++j) gatebox::MultiRand(b, p.data() + j * m, m, n, cr.data() + j * m, true);
        ASSERT_EQ(cf, cr) << "stop at NaN, n = " << n;
        EXPECT_TRUE(same_state(a, b)) << "stop at NaN, n = " << n;
      }
    }
  }
}

// The array forms on the library's stream give the plain draws one by one
// and leave the stream where the plain samplers leave it.
TEST(FastSamplers, ArrayFormsDrawAsTheCallsOneByOne) {
  Mix mix;
  std::vector<double> a(20001), x(a.size());  // chunks of shapes and an odd tail
  for (std::size_t i = 0; i < a.size(); ++i) {
    a[i] = i > 0 && plain::rand(mix.g) < 0.4 ? a[i - 1] : mix.shape();  // runs of equal shapes too
  }
  SetRandState(SeedState(5));
  WHState r = SeedState(5);
  GammaRandArray(a.data(), x.data(), a.size());
  for (std::size_t i = 0; i < a.size(); ++i) {
    ASSERT_TRUE(same_bits(x[i], plain::gamma(r, a[i]))) << "GammaRandArray, element " << i;
  }
  EXPECT_TRUE(same_state(RandState(), r));
  for (int n : {0, 7, 100, 5000}) {
    for (double &v : a) v = mix.prob();
    BinoRandArray(a.data(), n, x.data(), a.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
      ASSERT_EQ(x[i], plain::bino(r, a[i], n)) << "BinoRandArray(" << n << "), element " << i;
    }
    EXPECT_TRUE(same_state(RandState(), r)) << n;
  }
  GammaRandArray(a.data(), x.data(), 0);  // nothing to draw: the stream stays
  EXPECT_TRUE(same_state(RandState(), r));
}

// GammaRandArray on every way this build and processor have of making its
// attempts (one element at a time, four lanes, eight lanes), in the normal
// mode and with every decision exact, against the plain sampler element by
// element.  The arrays mix runs of one shape (short and long, across the
// chunks of 64 shapes) in each branch of the attempts with shapes below 1 and
// the special ones; between calls a varying number of uniforms is drawn, so
// that the calls start at every position of a block of uniforms, and the
// state is compared after each call.
TEST(FastSamplers, GammaArrayOnEveryAttemptPathDrawsAsTheCallsOneByOne) {
  static const double runs[] = {1.5, 5.0, 2.5, 2.5000000000000004, 1.0 + 1e-10, 1.0000000000000004, 1e4,
                                1.7, 3.2, 0.5, 1e-3, 1.0, 0.0, double(NAN), HUGE_VAL};
  const long rounds = stream_length(2000);
  int paths = 0;
  for (int kind = 1; kind <= 3; ++kind) {
    if (!gatebox_random_test::set_gamma_path(kind)) continue;
    ++paths;
    for (bool exact : {false, true}) {
      SCOPED_TRACE("attempt path " + std::to_string(kind) + (exact ? ", exact decisions" : ""));
      gatebox_random_test::set_exact_decisions(exact);
      Mix mix;
      SetRandState(SeedState(11));
      WHState r = SeedState(11);
      std::vector<double> a, x;
      long drawn = 0;
      for (long round = 0; round < rounds; ++round) {
        a.clear();
        const int pieces = 1 + static_cast<int>(plain::rand(mix.g) * 8);
        for (int p = 0; p < pieces; ++p) {
          const double u = plain::rand(mix.g);
          if (u < 0.5) {  // a run of one shape, 1 to 200 long
            const double shape = u < 0.3 ? runs[static_cast<int>(plain::rand(mix.g) * 15)] : 1.0 + 9.0 * plain::rand(mix.g);
            const int length = 1 + static_cast<int>(plain::rand(mix.g) * (plain::rand(mix.g) < 0.5 ? 8 : 200));
            a.insert(a.end(), length, shape);
          } else {
            const int length = 1 + static_cast<int>(plain::rand(mix.g) * 70);
            for (int i = 0; i < length; ++i) a.push_back(mix.shape());
          }
        }
        x.assign(a.size(), -1.0);
        GammaRandArray(a.data(), x.data(), a.size());
        for (std::size_t i = 0; i < a.size(); ++i) {
          ASSERT_TRUE(same_bits(x[i], plain::gamma(r, a[i]))) << "round " << round << ", element " << i << " of "
                                                              << a.size() << ", shape " << a[i];
        }
        ASSERT_TRUE(same_state(RandState(), r)) << "round " << round;
        const int between = static_cast<int>(plain::rand(mix.g) * 130);  // moves the block position
        for (int i = 0; i < between; ++i) ASSERT_TRUE(same_bits(Rand(), plain::rand(r)));
        drawn += static_cast<long>(a.size());
      }
      EXPECT_GE(drawn, rounds * 100);
    }
  }
  gatebox_random_test::set_exact_decisions(false);
  gatebox_random_test::set_gamma_path(0);
  EXPECT_GE(paths, 1);
}

// The bound of the fast logarithm holds with room to spare (it is a
// quarter of the stated bound at most, measured against cr_log, which is
// within half an ulp of log x) on uniforms, on arguments near 1 and near
// the table's wrap point, and across the whole exponent range; anything
// but a positive normal gives NaN.
TEST(FastSamplers, FastLogStaysWithinItsBound) {
  WHState s = {1, 2, 3};
  long checked = 0, singles = 0;
  auto check = [&](double x) {
    double err;
    const double f = gatebox_random_test::fast_log(x, err);
    const double c = cr_log(x);
    const double slack = std::fabs(std::nextafter(c, 0.0) - c) / 2;  // half an ulp of cr_log
    ASSERT_TRUE(std::fabs(f - c) <= slack + err / 4) << x;
    ++checked;
    const float xf = static_cast<float>(x);  // the single-precision form
    if (static_cast<double>(xf) == x) {
      const double g = gatebox_random_test::fast_log_single(xf, err);
      ASSERT_TRUE(std::fabs(g - c) <= slack + err / 4) << "single " << x;
      ++singles;
    }
  };
  for (int i = 0; i < 300000; ++i) {
    const double u = plain::rand(s), v = plain::rand(s);
    check(u > 0.0 ? u : 0.5);                                   // the uniforms themselves
    check(1.0 + (u - 0.5) * 0x1p-20);                           // near 1
    check(std::ldexp(1.0 + u, static_cast<int>(v * 2040) - 1020));  // any exponent
    check(std::ldexp(0x1.6ap0 + (u - 0.5) * 0x1p-12, static_cast<int>(v * 20) - 10));  // the wrap point
  }
  EXPECT_EQ(checked, 1200000);
  EXPECT_GE(singles, 300000);  // at least the uniforms
  double err;
  for (double x : {0.0, -0.0, -1.0, 0x1p-1070, HUGE_VAL, -HUGE_VAL, double(NAN)}) {
    EXPECT_TRUE(std::isnan(gatebox_random_test::fast_log(x, err))) << x;
    EXPECT_TRUE(std::isnan(gatebox_random_test::fast_log_single(static_cast<float>(x), err))) << x;
  }
}

// The gamma attempts' logarithmic test without cr_log decides only as the
// exact test does (c2 cr_log(u1) - cr_log(w) + w < 1 with w = p / u1), on
// arguments from 1 to 2^43 ulps of p away from either root in w, where a
// bound too tight or a logarithm too far off shows, for shapes from just
// above 1 to 10^5 and
// for u1 a uniform (a float) or any double in (0, 1) (a squeezed one); and
// it decides most of them, leaving the closest to the exact test.
TEST(FastSamplers, GammaLogTestDecidesOnlyAsTheExactTestDoes) {
  WHState s = {5, 6, 7};
  long decided = 0, left = 0;
  for (double a : {1.0 + 1e-10, 1.1, 1.5, 2.0, 2.5, 3.0, 5.0, 10.0, 1e3, 1e5}) {
    const double c2 = 2.0 / (a - 1.0);
    for (int i = 0; i < 4000; ++i) {
      double u1 = plain::rand(s);
      if (i & 1) u1 = u1 * (1.0 - 0x1p-30) + plain::rand(s) * 0x1p-30;  // not a float
      if (!(u1 > 0.0)) continue;
      // The roots of w - ln w = K, K = 1 - c2 ln u1 > 1: below 1 by the
      // fixed point w = exp(w - K), above 1 by Newton's method.
      const double k = 1.0 - c2 * std::log(u1);
      double lo = std::exp(-k), hi = k + std::log(k);
      for (int it = 0; it < 60; ++it) {
        lo = std::exp(lo - k);
        hi -= (hi - std::log(hi) - k) / (1.0 - 1.0 / hi);
      }
      for (double w : {lo, hi}) {
        if (!(w > 0x1p-1000 && w < 0x1p1000)) continue;
        const double p0 = w * u1, ulp = std::nextafter(p0, HUGE_VAL) - p0;
        for (int j = -1; j < 2 * 44; ++j) {  // p0, then 2^(j/2) ulps on either side
          const double p = j < 0 ? p0 : p0 + ((j & 1) ? -1.0 : 1.0) * std::ldexp(ulp, j / 2);
          if (!(p > 0.0)) continue;
          const double wq = p / u1;
          const bool exact = c2 * cr_log(u1) - cr_log(wq) + wq < 1.0;
          const int fast = gatebox_random_test::gamma_log_test(c2, u1, p);
          if (fast < 0) {
            ++left;
            continue;
          }
          ASSERT_EQ(fast == 1, exact) << "shape " << a << ", u1 " << u1 << ", p " << p;
          ++decided;
        }
      }
    }
  }
  EXPECT_GT(left, 0);
  EXPECT_GT(decided, left);
}

// Where the fast logarithmic test fails an attempt, the quick test
// c2 u1 + w + 1/w <= c3 fails too, so the attempt is rejected without it:
// checked on arguments from 1 to 2^43 ulps of p away from either root of
// the quick test, for u1 from 1/2 up to 1 - 2^-40, where the two tests'
// boundaries touch (at u1 = w = 1) and a bound too small for the margin
// shows, and for u1 a uniform.
TEST(FastSamplers, GammaFastRejectionAlsoFailsTheQuickTest) {
  WHState s = {8, 9, 10};
  long failed = 0, quick = 0;
  for (double a : {1.0 + 1e-10, 1.5, 2.5, 3.0, 10.0, 1e3, 1e5}) {
    const double c2 = 2.0 / (a - 1.0), c3 = c2 + 2.0;
    for (int i = 0; i < 1200; ++i) {
      const double u1 = i < 40 ? 1.0 - std::ldexp(1.0, -1 - i) : plain::rand(s);
      if (!(u1 > 0.0)) continue;
      // The roots of w + 1/w = B, B = c3 - c2 u1 >= 2.
      const double b = c3 - c2 * u1, r = std::sqrt(std::max(b * b - 4.0, 0.0));
      for (double w : {(b - r) / 2.0, (b + r) / 2.0}) {
        const double p0 = w * u1, ulp = std::nextafter(p0, HUGE_VAL) - p0;
        for (int j = -1; j < 2 * 44; ++j) {
          const double p = j < 0 ? p0 : p0 + ((j & 1) ? -1.0 : 1.0) * std::ldexp(ulp, j / 2);
          if (!(p > 0.0)) continue;
          const double wq = p / u1;
          const bool passes_quick = c2 * u1 + wq + 1.0 / wq <= c3;
          quick += passes_quick;
          if (gatebox_random_test::gamma_log_test(c2, u1, p) != 0) continue;
          ++failed;
          ASSERT_FALSE(passes_quick) << "shape " << a << ", u1 " << u1 << ", p " << p;
        }
      }
    }
  }
  EXPECT_GT(failed, 1000);
  EXPECT_GT(quick, 100000);
}

}  // namespace
