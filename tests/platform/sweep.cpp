// gatebox_sweep: long streams of every sampler and long sweeps of every
// special function of the support library, one line per stream:
//
//   <name> <count of values> <FNV-1a 64 hash of the values' bytes>
//
// Two builds that print the same lines computed the same bits (Linux and
// Windows, x86-64 and 32-bit x86: tests/tools/compare_sweep.sh).  For a
// stream that differs,
//
//   gatebox_sweep --dump <name> <file>   writes its values (8 bytes each,
//                                        little-endian) to <file>;
//   gatebox_sweep --diff <file> <file>   counts the values two dumps differ
//                                        in and shows the first of them.
//
// Every input is an integer times a power of two, made from a splitmix64
// sequence (Steele, Lea and Flood 2014) by integer arithmetic and exact
// conversions only, so every build sweeps the same arguments; every sampler
// stream starts from the library's initial state on a local WHState.
#include "util.h"
#if defined(GATEBOX_SWEEP_CR_LOG) || defined(GATEBOX_SWEEP_CR_EXP) || defined(GATEBOX_SWEEP_CR_TRIG)
#include "crmath.h"
#endif

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

// The library's sorted-membership routine allocates through the host; the
// sweep never calls it, but the library's object file needs the symbol.
extern "C" void *mxCalloc(std::size_t n, std::size_t size) { return std::calloc(n, size); }

namespace {

constexpr std::size_t kCount = 1000000;  // values per stream

// The argument source: splitmix64, one independent sequence per seed.
struct Ints {
  std::uint64_t x;
  std::uint64_t next() {
    std::uint64_t z = (x += 0x9e3779b97f4a7c15u);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
    return z ^ (z >> 31);
  }
  // An integer in lo .. hi (the slight bias of the remainder is harmless).
  std::int64_t between(std::int64_t lo, std::int64_t hi) {
    return lo + static_cast<std::int64_t>(next() % static_cast<std::uint64_t>(hi - lo + 1));
  }
};

// 2^e for a normal exponent, from its bit pattern.
double pow2(int e) {
  const std::uint64_t bits = static_cast<std::uint64_t>(1023 + e) << 52;
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

// k * 2^-e for k uniform in lo .. hi: an exact dyadic value in a fixed range
// (|k| < 2^53, so the conversion is exact, and so is the scaling).
double dyadic(Ints &g, std::int64_t lo, std::int64_t hi, int e) {
  return static_cast<double>(g.between(lo, hi)) * pow2(-e);
}

// A positive double with a uniform 53-bit significand and a binary exponent
// uniform in lo .. hi (normal numbers): spread evenly over the magnitudes.
double magnitude(Ints &g, int lo, int hi) {
  const std::uint64_t m = (g.next() >> 11) | (std::uint64_t{1} << 52);
  return static_cast<double>(m) * pow2(-52) * pow2(static_cast<int>(g.between(lo, hi)));
}

using Values = std::vector<double>;

// ---- Samplers, each from the initial state ----------------------------------

void rand_stream(Values &v) {
  WHState s = kWHInitialState;
  for (double &x : v) x = Rand(s);
}

// Shapes uniform in (0.05, 12.05) on a 2^-32 grid.
constexpr std::int64_t kShapeLo = 214748365;    // > 0.05 * 2^32
constexpr std::int64_t kShapeHi = 51754002841;  // < 12.05 * 2^32
void gammarand_stream(Values &v) {
  WHState s = kWHInitialState;
  Ints g{1};
  for (double &x : v) x = GammaRand(s, dyadic(g, kShapeLo, kShapeHi, 32));
}

void betarand_stream(Values &v) {
  WHState s = kWHInitialState;
  Ints g{2};
  for (double &x : v) {
    const double a = dyadic(g, kShapeLo, kShapeHi, 32);
    x = BetaRand(s, a, dyadic(g, kShapeLo, kShapeHi, 32));
  }
}

// p in [0, 1] on a 2^-32 grid; n small (the direct and waiting-time
// methods), medium or large (beta splits), in turn.
void binorand_stream(Values &v) {
  WHState s = kWHInitialState;
  Ints g{3};
  const std::int64_t nmax[3] = {20, 1000, 1 << 20};
  for (std::size_t i = 0; i < v.size(); ++i) {
    const double p = dyadic(g, 0, std::int64_t{1} << 32, 32);
    v[i] = BinoRand(s, p, static_cast<int>(g.between(0, nmax[i % 3])));
  }
}

// ---- Special functions ---------------------------------------------------------

template <double (*f)(double)>
void positive_sweep(Values &v, std::uint64_t seed) {
  Ints g{seed};
  for (double &x : v) x = f(magnitude(g, -30, 40));
}
// Negative arguments in (-100, 0) on a 2^-40 grid (whole numbers, the
// poles, are all but never drawn; their values are fixed anyway).
template <double (*f)(double)>
void negative_sweep(Values &v, std::uint64_t seed) {
  Ints g{seed};
  for (double &x : v) x = f(dyadic(g, -(std::int64_t{100} << 40), -1, 40));
}

void gammaln_pos(Values &v) { positive_sweep<gammaln>(v, 10); }
void digamma_pos(Values &v) { positive_sweep<digamma>(v, 11); }
void digamma_neg(Values &v) { negative_sweep<digamma>(v, 12); }
void trigamma_pos(Values &v) { positive_sweep<trigamma>(v, 13); }
void trigamma_neg(Values &v) { negative_sweep<trigamma>(v, 14); }

// The cached sums: x in (0, 50) on a 2^-24 grid, kept for 16 calls in a row
// so that the cache is reused and extended; n in 0 .. 260 reaches the closed
// forms above 200 terms.  The uncached forms: n in 0 .. 40 (closed forms
// above 20).
template <double (*f)(double, int)>
void pochhammer_sweep(Values &v, std::uint64_t seed, int nmax) {
  pochhammer_reset_caches();
  Ints g{seed};
  double x = 0.0;
  for (std::size_t i = 0; i < v.size(); ++i) {
    if (i % 16 == 0) x = dyadic(g, 1, std::int64_t{50} << 24, 24);
    v[i] = f(x, static_cast<int>(g.between(0, nmax)));
  }
}
void pochhammer_cached(Values &v) { pochhammer_sweep<pochhammer>(v, 20, 260); }
void di_pochhammer_cached(Values &v) { pochhammer_sweep<di_pochhammer>(v, 21, 260); }
void tri_pochhammer_cached(Values &v) { pochhammer_sweep<tri_pochhammer>(v, 22, 260); }
void pochhammer_slow(Values &v) { pochhammer_sweep<slow_pochhammer>(v, 23, 40); }
void di_pochhammer_slow(Values &v) { pochhammer_sweep<slow_di_pochhammer>(v, 24, 40); }
void tri_pochhammer_slow(Values &v) { pochhammer_sweep<slow_tri_pochhammer>(v, 25, 40); }

// a in (-50, 50), b within 40 of a, both on a 2^-24 grid.
void logsum_sweep(Values &v) {
  Ints g{30};
  for (double &x : v) {
    const std::int64_t a = g.between(-(std::int64_t{50} << 24), std::int64_t{50} << 24);
    const std::int64_t b = a + g.between(-(std::int64_t{40} << 24), std::int64_t{40} << 24);
    x = logSum(static_cast<double>(a) * pow2(-24), static_cast<double>(b) * pow2(-24));
  }
}

// ---- The project's correctly rounded elementary functions ---------------------
#if defined(GATEBOX_SWEEP_CR_LOG)
// Every binary exponent of the normal range, and (0.5, 2) around 1.
void cr_log_sweep(Values &v) {
  Ints g{40};
  for (std::size_t i = 0; i < v.size(); ++i)
    v[i] = cr_log(i % 2 ? magnitude(g, -1022, 1023) : dyadic(g, (std::int64_t{1} << 51) + 1, (std::int64_t{1} << 53) - 1, 52));
}
#endif
#if defined(GATEBOX_SWEEP_CR_EXP)
// (-746, 710) on a 2^-40 grid: underflow to overflow.
void cr_exp_sweep(Values &v) {
  Ints g{41};
  for (double &x : v) x = cr_exp(dyadic(g, -(std::int64_t{746} << 40), std::int64_t{710} << 40, 40));
}
#endif
#if defined(GATEBOX_SWEEP_CR_TRIG)
// Both signs, magnitudes from 2^-30 to 2^40 and, one in eight, up to 2^1000.
template <double (*f)(double)>
void trig_sweep(Values &v, std::uint64_t seed) {
  Ints g{seed};
  for (std::size_t i = 0; i < v.size(); ++i) {
    const double x = magnitude(g, -30, i % 8 ? 40 : 1000);
    v[i] = f(i % 2 ? -x : x);
  }
}
void cr_sin_sweep(Values &v) { trig_sweep<cr_sin>(v, 42); }
void cr_tan_sweep(Values &v) { trig_sweep<cr_tan>(v, 43); }
#endif

struct Stream {
  const char *name;
  void (*fill)(Values &);
};
const Stream kStreams[] = {
    {"Rand", rand_stream},
    {"GammaRand", gammarand_stream},
    {"BetaRand", betarand_stream},
    {"BinoRand", binorand_stream},
    {"gammaln+", gammaln_pos},
    {"digamma+", digamma_pos},
    {"digamma-", digamma_neg},
    {"trigamma+", trigamma_pos},
    {"trigamma-", trigamma_neg},
    {"pochhammer", pochhammer_cached},
    {"di_pochhammer", di_pochhammer_cached},
    {"tri_pochhammer", tri_pochhammer_cached},
    {"slow_pochhammer", pochhammer_slow},
    {"slow_di_pochhammer", di_pochhammer_slow},
    {"slow_tri_pochhammer", tri_pochhammer_slow},
    {"logSum", logsum_sweep},
#if defined(GATEBOX_SWEEP_CR_LOG)
    {"cr_log", cr_log_sweep},
#endif
#if defined(GATEBOX_SWEEP_CR_EXP)
    {"cr_exp", cr_exp_sweep},
#endif
#if defined(GATEBOX_SWEEP_CR_TRIG)
    {"cr_sin", cr_sin_sweep},
    {"cr_tan", cr_tan_sweep},
#endif
};

std::uint64_t bits_of(double d) {
  std::uint64_t b;
  std::memcpy(&b, &d, sizeof b);
  return b;
}

// FNV-1a, 64-bit (Fowler, Noll and Vo), over each value's bytes, least
// significant first whatever the machine's byte order.
std::uint64_t fnv1a(const Values &v) {
  std::uint64_t h = 0xcbf29ce484222325u;
  for (double d : v) {
    const std::uint64_t b = bits_of(d);
    for (int k = 0; k < 64; k += 8) h = (h ^ ((b >> k) & 0xff)) * 0x100000001b3u;
  }
  return h;
}

// Hexadecimal by hand: the same text from every C runtime.
void print_line(const char *name, std::size_t count, std::uint64_t h) {
  char hex[17];
  for (int i = 15; i >= 0; --i, h >>= 4) hex[i] = "0123456789abcdef"[h & 0xf];
  hex[16] = '\0';
  std::printf("%s %lu %s\n", name, static_cast<unsigned long>(count), hex);
}

bool dump(const Stream &s, const char *path) {
  Values v(kCount);
  s.fill(v);
  std::FILE *f = std::fopen(path, "wb");
  if (!f) return false;
  for (double d : v) {
    unsigned char bytes[8];
    const std::uint64_t b = bits_of(d);
    for (int k = 0; k < 8; ++k) bytes[k] = static_cast<unsigned char>(b >> (8 * k));
    std::fwrite(bytes, 1, 8, f);
  }
  return std::fclose(f) == 0;
}

bool read_dump(const char *path, std::vector<std::uint64_t> &out) {
  std::FILE *f = std::fopen(path, "rb");
  if (!f) return false;
  unsigned char bytes[8];
  while (std::fread(bytes, 1, 8, f) == 8) {
    std::uint64_t b = 0;
    for (int k = 7; k >= 0; --k) b = (b << 8) | bytes[k];
    out.push_back(b);
  }
  std::fclose(f);
  return true;
}

int diff(const char *path_a, const char *path_b) {
  std::vector<std::uint64_t> a, b;
  if (!read_dump(path_a, a) || !read_dump(path_b, b) || a.size() != b.size()) {
    std::fprintf(stderr, "gatebox_sweep: cannot compare %s and %s\n", path_a, path_b);
    return 2;
  }
  std::size_t differ = 0, first = 0;
  for (std::size_t i = a.size(); i-- > 0;)
    if (a[i] != b[i]) {
      ++differ;
      first = i;
    }
  std::printf("%lu of %lu values differ", static_cast<unsigned long>(differ),
              static_cast<unsigned long>(a.size()));
  if (differ) {
    double x, y;
    std::memcpy(&x, &a[first], sizeof x);
    std::memcpy(&y, &b[first], sizeof y);
    std::printf(", the first at index %lu: %a against %a", static_cast<unsigned long>(first), x, y);
  }
  std::printf("\n");
  return differ ? 1 : 0;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc == 4 && std::strcmp(argv[1], "--dump") == 0) {
    for (const Stream &s : kStreams)
      if (std::strcmp(s.name, argv[2]) == 0) return dump(s, argv[3]) ? 0 : 2;
    std::fprintf(stderr, "gatebox_sweep: no stream %s\n", argv[2]);
    return 2;
  }
  if (argc == 4 && std::strcmp(argv[1], "--diff") == 0) return diff(argv[2], argv[3]);
  if (argc != 1) {
    std::fprintf(stderr, "usage: gatebox_sweep [--dump NAME FILE | --diff FILE FILE]\n");
    return 2;
  }
  Values v(kCount);
  for (const Stream &s : kStreams) {
    s.fill(v);
    print_line(s.name, v.size(), fnv1a(v));
  }
  return 0;
}
