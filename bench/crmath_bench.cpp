// cr_log and cr_exp beside the C library's log and exp, call for call, over
// each function's test distribution (the arguments of crmath_test: the whole
// domain and the hard regions), mixed (BM_cr_log, BM_libm_log, ...) and one
// region at a time (BM_cr_log/unit, ...).  Compare a function with its peer
// in the same run: the machine is shared.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "crmath.h"

namespace {

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

constexpr int kMixed = -1;

// Region `which` of log's distribution, or all four mixed.
std::vector<double> log_args(int which) {
  Rng g{7};
  std::vector<double> v(4096);
  for (double& x : v) {
    const int region = static_cast<int>(g.next() % 4);
    switch (which == kMixed ? region : which) {
      case 0: {
        std::uint64_t u;
        u = (g.next() & 0x7fefffffffffffffULL) | 1;  // any positive finite double
        std::memcpy(&x, &u, sizeof x);
        break;
      }
      case 1: x = g.uniform(0.0, 100.0); break;
      case 2: x = g.uniform(0.99, 1.01); break;
      default: x = g.uniform(0.0, 1.0); break;  // the samplers' -log(U)
    }
  }
  return v;
}

std::vector<double> exp_args(int which) {
  Rng g{8};
  std::vector<double> v(4096);
  for (double& x : v) {
    const int region = static_cast<int>(g.next() % 4);
    switch (which == kMixed ? region : which) {
      case 0: x = g.uniform(-746.0, 710.0); break;
      case 1: x = g.uniform(-1.0, 1.0); break;
      case 2: x = g.uniform(-745.2, -707.0); break;  // subnormal results
      default: x = g.uniform(-40.0, 0.0); break;   // the samplers' exp(log(U)/a)
    }
  }
  return v;
}

template <double (*F)(double)>
void run(benchmark::State& state, const std::vector<double>& v) {
  for (auto _ : state) {
    double s = 0;
    for (double x : v) s += F(x);
    benchmark::DoNotOptimize(s);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(v.size()));
}

double libm_log(double x) { return std::log(x); }
double libm_exp(double x) { return std::exp(x); }

void BM_cr_log(benchmark::State& s, int which) { run<cr_log>(s, log_args(which)); }
void BM_libm_log(benchmark::State& s, int which) { run<libm_log>(s, log_args(which)); }
void BM_cr_exp(benchmark::State& s, int which) { run<cr_exp>(s, exp_args(which)); }
void BM_libm_exp(benchmark::State& s, int which) { run<libm_exp>(s, exp_args(which)); }

void BM_cr_log(benchmark::State& s) { BM_cr_log(s, kMixed); }
void BM_libm_log(benchmark::State& s) { BM_libm_log(s, kMixed); }
void BM_cr_exp(benchmark::State& s) { BM_cr_exp(s, kMixed); }
void BM_libm_exp(benchmark::State& s) { BM_libm_exp(s, kMixed); }

}  // namespace

BENCHMARK(BM_cr_log);
BENCHMARK(BM_libm_log);
BENCHMARK(BM_cr_exp);
BENCHMARK(BM_libm_exp);
// One region at a time, each function beside its peer.
BENCHMARK_CAPTURE(BM_cr_log, bits, 0);
BENCHMARK_CAPTURE(BM_libm_log, bits, 0);
BENCHMARK_CAPTURE(BM_cr_log, 0_100, 1);
BENCHMARK_CAPTURE(BM_libm_log, 0_100, 1);
BENCHMARK_CAPTURE(BM_cr_log, near1, 2);
BENCHMARK_CAPTURE(BM_libm_log, near1, 2);
BENCHMARK_CAPTURE(BM_cr_log, unit, 3);
BENCHMARK_CAPTURE(BM_libm_log, unit, 3);
BENCHMARK_CAPTURE(BM_cr_exp, range, 0);
BENCHMARK_CAPTURE(BM_libm_exp, range, 0);
BENCHMARK_CAPTURE(BM_cr_exp, m1_1, 1);
BENCHMARK_CAPTURE(BM_libm_exp, m1_1, 1);
BENCHMARK_CAPTURE(BM_cr_exp, subnormal, 2);
BENCHMARK_CAPTURE(BM_libm_exp, subnormal, 2);
BENCHMARK_CAPTURE(BM_cr_exp, m40_0, 3);
BENCHMARK_CAPTURE(BM_libm_exp, m40_0, 3);
