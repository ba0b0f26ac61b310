// Long run of cr_sin and cr_tan against MPFR (not in ctest):
//   crtrig_longrun [N [seed]]     N arguments per function (default 1e8)
// Arguments as in crtrig_test: the whole domain and its hard regions.  Prints
// the mismatches against MPFR (expected 0), how often glibc's sin and tan
// differ from MPFR's correctly rounded value, and a few such arguments.
#include "crmath.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mpfr.h>
#include <random>

namespace {

double from_bits(std::uint64_t u) {
  double x;
  std::memcpy(&x, &u, sizeof x);
  return x;
}

bool same(double a, double b) {
  return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0;
}

double argument(std::mt19937_64& g, long i) {
  std::uniform_real_distribution<double> u01(0.0, 1.0);
  const double s = (g() & 1) ? -1.0 : 1.0;
  switch (i % 20) {
    case 0: case 1: case 2: case 3: return s * 10.0 * u01(g);
    case 4: case 5: case 6: {
      for (;;) {
        const double x = from_bits(g());
        if (std::isfinite(x)) return x;
      }
    }
    case 7: case 8: case 9: {
      const double k = static_cast<double>(g() >> (34 + g() % 30));
      double x = k * 1.5707963267948966;
      const int step = static_cast<int>(g() % 5) - 2;
      for (int j = 0; j < (step < 0 ? -step : step); ++j) x = std::nextafter(x, step < 0 ? -INFINITY : INFINITY);
      return s * x;
    }
    case 10: case 11: case 12: return s * std::ldexp(1.0 + u01(g), 20 + static_cast<int>(g() % 980));
    case 13: return s * from_bits(g() & ((std::uint64_t{1} << 52) - 1));
    case 14: return s * std::ldexp(1.0 + u01(g), -32 + static_cast<int>(g() % 10));
    case 15: case 16: return s * std::ldexp(1.0 + u01(g), 18 + static_cast<int>(g() % 4));
    default: return s * 1e6 * u01(g);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const long n = argc > 1 ? std::atol(argv[1]) : 100000000L;
  const std::uint64_t seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1;
  mpfr_set_emin(-1073);
  mpfr_set_emax(1024);
  mpfr_t a, y;
  mpfr_init2(a, 53);
  mpfr_init2(y, 53);
  long bad[2] = {0, 0}, glibc[2] = {0, 0}, shown[2] = {0, 0};
  std::mt19937_64 g(seed);
  for (long i = 0; i < n; ++i) {
    const double x = argument(g, i);
    mpfr_set_d(a, x, MPFR_RNDN);
    for (int t = 0; t < 2; ++t) {
      const int inex = t ? mpfr_tan(y, a, MPFR_RNDN) : mpfr_sin(y, a, MPFR_RNDN);
      mpfr_subnormalize(y, inex, MPFR_RNDN);
      const double want = mpfr_get_d(y, MPFR_RNDN);
      const double mine = t ? cr_tan(x) : cr_sin(x);
      const double libc = t ? std::tan(x) : std::sin(x);
      if (!same(mine, want) && ++bad[t] <= 10)
        std::printf("MISMATCH %s(%a) = %a, MPFR %a\n", t ? "tan" : "sin", x, mine, want);
      if (!same(libc, want)) {
        ++glibc[t];
        if (shown[t] < 8 && (glibc[t] % 97) == 1) {
          ++shown[t];
          std::printf("glibc %s(%.17g) = %.17g, correctly rounded (MPFR, cr_%s) %.17g\n", t ? "tan" : "sin", x, libc,
                      t ? "tan" : "sin", want);
        }
      }
    }
    if ((i + 1) % 1000000 == 0 || i + 1 == n) {
      std::printf("%ld arguments: mismatches sin %ld tan %ld; glibc differs sin %ld tan %ld\n", i + 1, bad[0], bad[1],
                  glibc[0], glibc[1]);
      std::fflush(stdout);
    }
  }
  mpfr_clear(a);
  mpfr_clear(y);
  return bad[0] + bad[1] ? 1 : 0;
}
