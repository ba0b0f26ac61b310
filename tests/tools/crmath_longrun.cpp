// Long run of cr_log / cr_exp against MPFR (not part of ctest):
//
//   crmath_longrun log|exp N [seed]
//
// draws N arguments from the function's test distribution (the whole domain
// and its hard regions, as in tests/unit/crmath_test.cpp), counts the
// results that differ from MPFR's correctly rounded value, and counts how
// often the C library's log/exp differ from MPFR too, printing a few such
// arguments.
#include <mpfr.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "crmath.h"

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
struct Rng {
  std::uint64_t s;
  std::uint64_t next() {
    std::uint64_t z = (s += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
  }
  double uniform(double a, double b) { return a + (b - a) * (static_cast<double>(next() >> 11) * 0x1p-53); }
};
bool same(double a, double b) { return (std::isnan(a) && std::isnan(b)) || bits(a) == bits(b); }

double log_arg(Rng& g) {
  switch (g.next() % 5) {
    case 0:
      for (;;) {
        const double x = from_bits(g.next() & 0x7fffffffffffffffULL);
        if (x > 0 && std::isfinite(x)) return x;
      }
    case 1: return g.uniform(0.0, 100.0);
    case 2: return g.uniform(0.99, 1.01);
    case 3: {
      const double k = static_cast<double>(g.next() % 8192) - 4096;
      return k >= 0 ? 1.0 + k * 0x1p-52 : 1.0 + k * 0x1p-53;
    }
    default: return from_bits(1 + g.next() % 0x000fffffffffffffULL);
  }
}
double exp_arg(Rng& g) {
  switch (g.next() % 5) {
    case 0: return g.uniform(-746.0, 710.0);
    case 1: return g.uniform(-1.0, 1.0);
    case 2: return g.uniform(709.7, 709.8);
    case 3: return g.uniform(-745.2, -707.0);
    default: {
      const double x = std::ldexp(g.uniform(1.0, 2.0), -static_cast<int>(g.next() % 70));
      return g.next() & 1 ? x : -x;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s log|exp N [seed]\n", argv[0]);
    return 2;
  }
  const bool is_log = std::string(argv[1]) == "log";
  const long n = std::atol(argv[2]);
  Rng g{argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 12345};
  mpfr_set_emin(-1073);
  mpfr_set_emax(1024);
  mpfr_t a, y;
  mpfr_init2(a, 53);
  mpfr_init2(y, 53);
  long bad = 0, libm_bad = 0, shown = 0;
  for (long i = 0; i < n; ++i) {
    const double x = is_log ? log_arg(g) : exp_arg(g);
    mpfr_set_d(a, x, MPFR_RNDN);
    int inex = is_log ? mpfr_log(y, a, MPFR_RNDN) : mpfr_exp(y, a, MPFR_RNDN);
    inex = mpfr_check_range(y, inex, MPFR_RNDN);
    mpfr_subnormalize(y, inex, MPFR_RNDN);
    const double want = mpfr_get_d(y, MPFR_RNDN);
    const double got = is_log ? cr_log(x) : cr_exp(x);
    const double lib = is_log ? std::log(x) : std::exp(x);
    if (!same(got, want)) {
      ++bad;
      std::printf("MISMATCH %s(%a): cr %a, MPFR %a\n", argv[1], x, got, want);
    }
    if (!same(lib, want)) {
      ++libm_bad;
      if (shown++ < 8) {
        mpfr_t hp;
        mpfr_init2(hp, 120);
        if (is_log) mpfr_log(hp, a, MPFR_RNDN); else mpfr_exp(hp, a, MPFR_RNDN);
        mpfr_printf("libm %s(%a): libm %a, cr %a, MPFR(53) %a, MPFR(120) %Ra\n", argv[1], x, lib, got,
                    want, hp);
        mpfr_clear(hp);
      }
    }
    if ((i + 1) % 1000000 == 0) {  // progress, so that a cut-short run still reports
      std::printf("progress %s: %ld arguments, %ld differ from MPFR; the C library differs on %ld\n", argv[1],
                  i + 1, bad, libm_bad);
      std::fflush(stdout);
    }
  }
  std::printf("%s: %ld arguments, %ld differ from MPFR; the C library differs on %ld\n", argv[1], n, bad,
              libm_bad);
  mpfr_clear(a);
  mpfr_clear(y);
  return bad == 0 ? 0 : 1;
}
