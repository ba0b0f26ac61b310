// cr_log and cr_exp against MPFR's correctly rounded values: a million
// arguments per function over the whole domain and the hard regions
// (near 1 for log, subnormals, the overflow and underflow thresholds for
// exp), the accurate steps on their own, special values, and the fixed-point
// ln 2 digit for digit.
#include <gtest/gtest.h>
#include <mpfr.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>

#include "crfixed.h"
#include "crmath.h"

namespace crdetail {
double log_sse2(double x);  // crlog.cpp: cr_log's plain form, whatever the processor
}

namespace {

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

struct Rng {  // splitmix64: a fixed, platform-independent argument stream
  std::uint64_t s;
  std::uint64_t next() {
    std::uint64_t z = (s += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
  }
  double uniform(double a, double b) { return a + (b - a) * (static_cast<double>(next() >> 11) * 0x1p-53); }
};

// The correctly rounded double of f(x), subnormals rounded once.  The
// exponent range is the double's only here: the error measurements at
// higher precision need MPFR's own, wider one.
double mpfr_ref(int (*f)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t), double x) {
  const mpfr_exp_t emin = mpfr_get_emin(), emax = mpfr_get_emax();
  mpfr_set_emin(-1073);
  mpfr_set_emax(1024);
  mpfr_t a, y;
  mpfr_init2(a, 53);
  mpfr_init2(y, 53);
  mpfr_set_d(a, x, MPFR_RNDN);
  int inex = f(y, a, MPFR_RNDN);
  inex = mpfr_check_range(y, inex, MPFR_RNDN);
  mpfr_subnormalize(y, inex, MPFR_RNDN);
  const double r = mpfr_get_d(y, MPFR_RNDN);
  mpfr_clear(a);
  mpfr_clear(y);
  mpfr_set_emin(emin);
  mpfr_set_emax(emax);
  return r;
}

bool same(double a, double b) { return (std::isnan(a) && std::isnan(b)) || bits(a) == bits(b); }

// Mismatches of fn against MPFR over n arguments from gen; the first few printed.
long mismatches(const char* what, const std::function<double(double)>& fn,
                int (*f)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t), const std::function<double()>& gen, long n) {
  long bad = 0;
  for (long i = 0; i < n; ++i) {
    const double x = gen();
    const double got = fn(x), want = mpfr_ref(f, x);
    if (!same(got, want) && ++bad <= 5)
      std::printf("%s(%a): got %a, MPFR %a\n", what, x, got, want);
  }
  return bad;
}

double random_positive(Rng& g) {  // every positive finite double, uniform in the bit pattern
  for (;;) {
    const double x = from_bits(g.next() & 0x7fffffffffffffffULL);
    if (x > 0 && std::isfinite(x)) return x;
  }
}

TEST(CrLog, MatchesMpfrOverTheDomainAndTheHardRegions) {
  Rng g{1};
  EXPECT_EQ(mismatches("log", cr_log, mpfr_log, [&] { return random_positive(g); }, 300000), 0);
  EXPECT_EQ(mismatches("log", cr_log, mpfr_log, [&] { return g.uniform(0.0, 100.0); }, 200000), 0);
  EXPECT_EQ(mismatches("log", cr_log, mpfr_log, [&] { return g.uniform(0.99, 1.01); }, 200000), 0);
  // Within a few thousand units of the last place of 1, on both sides.
  EXPECT_EQ(mismatches("log", cr_log, mpfr_log, [&] {
    const double k = static_cast<double>(g.next() % 8192) - 4096;
    return k >= 0 ? 1.0 + k * 0x1p-52 : 1.0 + k * 0x1p-53;
  }, 100000), 0);
  EXPECT_EQ(mismatches("log", cr_log, mpfr_log, [&] {  // subnormals
    return from_bits(1 + g.next() % 0x000fffffffffffffULL);
  }, 100000), 0);
  // The lowest and the highest binade of the normals: cr_log sorts the
  // special arguments out by the reduction's k, which these share with
  // the subnormals and with the infinities and NaNs at one end of each.
  EXPECT_EQ(mismatches("log", cr_log, mpfr_log, [&] {
    const std::uint64_t m = g.next() & 0x000fffffffffffffULL;
    return from_bits(g.next() & 1 ? 0x0010000000000000ULL + m : 0x7fe0000000000000ULL + m);
  }, 100000), 0);
  // Table boundaries (the 512 rows of 2^-9 in the mantissa, which hold the
  // 256 of the second step), the wrap point, and the row starts exactly.
  EXPECT_EQ(mismatches("log", cr_log, mpfr_log, [&] {
    const std::uint64_t t = g.next() % 513;
    const std::uint64_t lowbits = g.next() % 64;
    const std::uint64_t u = 0x3ff0000000000000ULL + (t << 43) + (g.next() & 1 ? lowbits : -lowbits);
    return from_bits(u) * std::ldexp(1.0, static_cast<int>(g.next() % 64) - 32);
  }, 100000), 0);
}

// cr_log runs an AVX-encoded copy of its body where the processor has it;
// the plain SSE2 copy must give the same bits (and both MPFR's), on every
// kind of argument, special values included.
TEST(CrLog, PlainAndDispatchedFormsAgree) {
  Rng g{11};
  long differ = 0;
  for (long i = 0; i < 400000; ++i) {
    double x;
    switch (i % 4) {
      case 0: x = from_bits(g.next()); break;  // any bits: negatives, NaNs, infinities, zeros
      case 1: x = from_bits(g.next() & 0x000fffffffffffffULL); break;
      case 2: x = g.uniform(0.99, 1.01); break;
      default: x = g.uniform(0.0, 100.0); break;
    }
    if (!same(crdetail::log_sse2(x), cr_log(x)) && ++differ <= 5)
      std::printf("log(%a): plain %a, dispatched %a\n", x, crdetail::log_sse2(x), cr_log(x));
  }
  EXPECT_EQ(differ, 0);
  EXPECT_EQ(mismatches("log_sse2", crdetail::log_sse2, mpfr_log, [&] { return random_positive(g); }, 50000), 0);
}

TEST(CrExp, MatchesMpfrOverTheDomainAndTheHardRegions) {
  Rng g{2};
  EXPECT_EQ(mismatches("exp", cr_exp, mpfr_exp, [&] { return g.uniform(-746.0, 710.0); }, 300000), 0);
  EXPECT_EQ(mismatches("exp", cr_exp, mpfr_exp, [&] { return g.uniform(-1.0, 1.0); }, 150000), 0);
  EXPECT_EQ(mismatches("exp", cr_exp, mpfr_exp, [&] { return g.uniform(709.7, 709.8); }, 100000), 0);
  // Results in the subnormal range and across its edges.
  EXPECT_EQ(mismatches("exp", cr_exp, mpfr_exp, [&] { return g.uniform(-745.2, -707.0); }, 200000), 0);
  EXPECT_EQ(mismatches("exp", cr_exp, mpfr_exp, [&] { return g.uniform(-745.2, -744.0); }, 50000), 0);
  EXPECT_EQ(mismatches("exp", cr_exp, mpfr_exp, [&] {  // tiny arguments of either sign
    const double x = std::ldexp(g.uniform(1.0, 2.0), -static_cast<int>(g.next() % 70));
    return g.next() & 1 ? x : -x;
  }, 200000), 0);
}

// The accurate steps are reached by about one argument in 4000 only, so
// they get their own run on every kind of argument.
TEST(CrAccurate, StepsMatchMpfrOnTheirOwn) {
  Rng g{3};
  EXPECT_EQ(mismatches("exp_accurate", crdetail::exp_accurate, mpfr_exp, [&] {
    switch (g.next() % 3) {
      case 0: return g.uniform(-745.2, 709.78);
      case 1: return g.uniform(-745.2, -707.0);
      default: return std::ldexp(g.uniform(-2.0, 2.0), -static_cast<int>(g.next() % 54));
    }
  }, 20000), 0);
  auto log_acc = [&](double x) {  // from a start value off by up to 2^-62
    const double y = mpfr_ref(mpfr_log, x);
    return crdetail::log_accurate(x, y, y * g.uniform(-0x1p-62, 0x1p-62));
  };
  EXPECT_EQ(mismatches("log_accurate", log_acc, mpfr_log, [&] {
    switch (g.next() % 3) {
      case 0: return random_positive(g);
      case 1: return 1.0 + (static_cast<double>(g.next() % 4096) - 2048) * 0x1p-52;
      default: return g.uniform(0.5, 2.0);
    }
  }, 20000), 0);
}

TEST(CrLogExp, SpecialValues) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(cr_log(0.0), -inf);
  EXPECT_EQ(cr_log(-0.0), -inf);
  EXPECT_TRUE(std::isnan(cr_log(-1.0)));
  EXPECT_TRUE(std::isnan(cr_log(-inf)));
  EXPECT_TRUE(std::isnan(cr_log(-0x1p-1074)));
  EXPECT_TRUE(std::isnan(cr_log(nan)));
  EXPECT_TRUE(std::isnan(cr_log(-nan)));
  // Where the reduction's k of the special arguments changes side, and the
  // normals next to the subnormals and next to the infinities.
  for (double x : {-0.70703125, -0x1.6a00000000001p-1, -0x1.69fffffffffffp-1, -0x1p-1022, -0x1.fffffffffffffp+1023})
    EXPECT_TRUE(std::isnan(cr_log(x))) << x;
  for (double x : {0x1p-1022, 0x0.fffffffffffffp-1022, 0x1.69fffffffffffp-1022, 0x1.6ap-1022, 0x1.69fffffffffffp+1023,
                   0x1.6ap+1023})
    EXPECT_TRUE(same(cr_log(x), mpfr_ref(mpfr_log, x))) << x;
  EXPECT_EQ(cr_log(inf), inf);
  EXPECT_EQ(bits(cr_log(1.0)), bits(0.0));
  EXPECT_TRUE(same(cr_log(0x1p-1074), mpfr_ref(mpfr_log, 0x1p-1074)));
  EXPECT_TRUE(same(cr_log(std::numeric_limits<double>::max()),
                   mpfr_ref(mpfr_log, std::numeric_limits<double>::max())));
  EXPECT_EQ(bits(cr_exp(0.0)), bits(1.0));
  EXPECT_EQ(bits(cr_exp(-0.0)), bits(1.0));
  EXPECT_EQ(cr_exp(inf), inf);
  EXPECT_EQ(bits(cr_exp(-inf)), bits(0.0));
  EXPECT_TRUE(std::isnan(cr_exp(nan)));
  EXPECT_EQ(cr_exp(709.79), inf);
  EXPECT_EQ(cr_exp(1e308), inf);
  EXPECT_EQ(bits(cr_exp(-745.2)), bits(0.0));
  EXPECT_EQ(bits(cr_exp(-1e308)), bits(0.0));
  // ln(DBL_MAX) and its neighbours; exp of the least subnormal's neighbourhood.
  for (double x : {0x1.62e42fefa39efp+9, 0x1.62e42fefa39f0p+9, 0x1.62e42fefa39eep+9, -0x1.74385446d71c3p+9,
                   -0x1.74910d52d3051p+9, -0x1.74910d52d3052p+9, -0x1.6232bdd7abcd2p+9, -0x1.6232bdd7abcd3p+9})
    EXPECT_TRUE(same(cr_exp(x), mpfr_ref(mpfr_exp, x))) << x;
}

// |hi + lo - f(x) 2^-m| / err, with f(x) to 300 bits: at most 1 for the
// first steps' error bounds to hold (the rounding tests rely on them).
double bound_ratio(int (*f)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t), double x, const crdetail::FirstStep& s) {
  mpfr_t a, y, v;
  mpfr_inits2(300, a, y, v, static_cast<mpfr_ptr>(nullptr));
  mpfr_set_d(a, x, MPFR_RNDN);
  f(y, a, MPFR_RNDN);
  mpfr_div_2si(y, y, s.m, MPFR_RNDN);
  mpfr_set_d(v, s.hi, MPFR_RNDN);
  mpfr_add_d(v, v, s.lo, MPFR_RNDN);  // exact at 300 bits
  mpfr_sub(v, v, y, MPFR_RNDN);
  mpfr_abs(v, v, MPFR_RNDN);
  const double diff = mpfr_get_d(v, MPFR_RNDU);
  const double ratio = diff == 0 ? 0.0 : diff / s.err;
  mpfr_clears(a, y, v, static_cast<mpfr_ptr>(nullptr));
  return ratio;
}

// The number of arguments from gen whose first-step error exceeds the bound.
long over_bound(const char* what, int (*f)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t),
                crdetail::FirstStep (*step)(double), const std::function<double()>& gen, long n) {
  double worst = 0;
  long bad = 0;
  for (long i = 0; i < n; ++i) {
    const double x = gen();
    const double q = bound_ratio(f, x, step(x));
    if (!(q <= 1.0) && ++bad <= 5) std::printf("%s(%a): error %g times the bound\n", what, x, q);
    if (q > worst) worst = q;
  }
  std::printf("%s: largest error / bound %.3g\n", what, worst);
  return bad;
}

// The first steps' error bounds where they are tightest: log at the ends of
// the table rows (largest |r|), next to 1 (c = 1, relative error of r^2/2)
// and at large |k|; exp at the midpoints between multiples of ln2/128
// (largest |r|), at the ends of the range and for small |x|.
TEST(CrFirstStep, ErrorBoundsHold) {
  Rng g{4};
  EXPECT_EQ(over_bound("log row ends", mpfr_log, crdetail::log_first, [&] {
    const std::uint64_t t = g.next() % 513;  // rows of 2^-9 in the mantissa
    const std::uint64_t off = g.next() % 4096;
    const std::uint64_t u = 0x3ff0000000000000ULL + (t << 43) + (g.next() & 1 ? off : -off - 1);
    return from_bits(u) * std::ldexp(1.0, static_cast<int>(g.next() % 2000) - 1000);
  }, 60000), 0);
  EXPECT_EQ(over_bound("log near 1", mpfr_log, crdetail::log_first, [&] {
    const double d = std::ldexp(g.uniform(1.0, 2.0), -static_cast<int>(g.next() % 43) - 9);
    return g.next() & 1 ? 1.0 + d : 1.0 - d / 2;
  }, 40000), 0);
  EXPECT_EQ(over_bound("log anywhere", mpfr_log, crdetail::log_first, [&] { return random_positive(g); }, 40000),
            0);
  EXPECT_EQ(over_bound("log subnormal", mpfr_log, crdetail::log_first, [&] {
    return from_bits(1 + g.next() % 0x000fffffffffffffULL);
  }, 10000), 0);
  const double step = 0x1.62e42fefa39efp-8;  // ln2/128
  EXPECT_EQ(over_bound("exp midpoints", mpfr_exp, crdetail::exp_first, [&] {
    const double k = static_cast<double>(static_cast<std::int64_t>(g.next() % 275000) - 137500);
    return (k + 0.5) * step + g.uniform(-0x1p-30, 0x1p-30);
  }, 60000), 0);
  EXPECT_EQ(over_bound("exp range", mpfr_exp, crdetail::exp_first, [&] {
    switch (g.next() % 3) {
      case 0: return g.uniform(-745.19, 745.19);
      case 1: return g.uniform(-1.0, 1.0);
      default: {
        const double x = std::ldexp(g.uniform(1.0, 2.0), -static_cast<int>(g.next() % 54));
        return g.next() & 1 ? x : -x;
      }
    }
  }, 40000), 0);
}

// limb i of floor(v 2^240) equals w[i], for v given in l (400 bits).
void expect_limbs(mpfr_t l, const std::uint64_t* w, const char* what) {
  mpfr_t s;
  mpfr_init2(s, 400);
  mpfr_mul_2ui(l, l, 240, MPFR_RNDN);
  for (int i = 0; i < 4; ++i) {  // floor(v 2^(240 - 64 i)) mod 2^64
    mpfr_div_2ui(s, l, 64 * i, MPFR_RNDN);
    mpfr_floor(s, s);
    mpfr_div_2ui(s, s, 64, MPFR_RNDN);
    mpfr_frac(s, s, MPFR_RNDN);
    mpfr_mul_2ui(s, s, 64, MPFR_RNDN);
    EXPECT_EQ(mpfr_get_uj(s, MPFR_RNDN), w[i]) << what << " limb " << i;
  }
  mpfr_clear(s);
}

TEST(CrFixed, ConstantsAgreeWithMpfr) {
  mpfr_t l;
  mpfr_init2(l, 400);
  mpfr_const_log2(l, MPFR_RNDN);
  expect_limbs(l, crfx::kLn2Fixed, "ln2");
  for (int n = 0; n < static_cast<int>(sizeof crfx::kInvFact / sizeof crfx::kInvFact[0]); ++n) {
    mpfr_fac_ui(l, static_cast<unsigned long>(n), MPFR_RNDN);  // exact at 400 bits
    mpfr_ui_div(l, 1, l, MPFR_RNDN);
    expect_limbs(l, crfx::kInvFact[n], "1/n!");
  }
  mpfr_clear(l);
}

}  // namespace
