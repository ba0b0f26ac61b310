// Throughput of the special functions over arguments uniform in (0, 100).
#include "util.h"

#include <benchmark/benchmark.h>
#include <random>
#include <vector>

static std::vector<double> uniform_args(std::size_t n, double lo, double hi) {
  std::mt19937_64 rng(1);
  std::uniform_real_distribution<double> u(lo, hi);
  std::vector<double> v(n);
  for (double &x : v) x = u(rng);
  return v;
}

template <double (*F)(double)>
static void BM_Special(benchmark::State &state) {
  std::vector<double> x = uniform_args(1 << 16, 0.0, 100.0), y(x.size());
  for (auto _ : state) {
    for (std::size_t i = 0; i < x.size(); ++i) y[i] = F(x[i]);
    benchmark::DoNotOptimize(y.data());
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * x.size()));
}
BENCHMARK_TEMPLATE(BM_Special, gammaln);
BENCHMARK_TEMPLATE(BM_Special, digamma);
BENCHMARK_TEMPLATE(BM_Special, trigamma);
