// The gamma gateway proper, through the own host (no copy of the result on
// return, unlike Octave 7.3), against the C library's tgamma on the same
// 1e6 arguments uniform in (-50, 170).
#include "gatebox/host.hpp"

#include <benchmark/benchmark.h>
#include <cmath>
#include <random>
#include <vector>

namespace h = gatebox::host;

static std::vector<double> uniform_args(std::size_t n, double lo, double hi) {
  std::mt19937_64 rng(1);
  std::uniform_real_distribution<double> u(lo, hi);
  std::vector<double> v(n);
  for (double &x : v) x = u(rng);
  return v;
}

static const std::vector<double> &args() {
  static const std::vector<double> v = uniform_args(1000000, -50.0, 170.0);
  return v;
}

static void BM_GammaGateway(benchmark::State &state) {
  h::Gateway g(h::gateway_path("gamma"));
  h::Array x = h::row(args());
  for (auto _ : state) {
    h::CallResult r = g.call(1, {x.get()});
    benchmark::DoNotOptimize(r.out());
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * args().size()));
}
BENCHMARK(BM_GammaGateway)->Unit(benchmark::kMillisecond);

static void BM_Tgamma(benchmark::State &state) {
  const std::vector<double> &x = args();
  std::vector<double> y(x.size());
  for (auto _ : state) {
    for (std::size_t i = 0; i < x.size(); ++i) y[i] = std::tgamma(x[i]);
    benchmark::DoNotOptimize(y.data());
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * x.size()));
}
BENCHMARK(BM_Tgamma)->Unit(benchmark::kMillisecond);
