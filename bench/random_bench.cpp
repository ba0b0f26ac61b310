// Kernel benchmarks of the random variate generators on a local state, and
// of the multinomial sampler of drawcounts.
#include "kernels.h"
#include "util.h"

#include <benchmark/benchmark.h>
#include <vector>

namespace {

void BM_Rand(benchmark::State &st) {
  WHState s = kWHInitialState;
  for (auto _ : st) benchmark::DoNotOptimize(Rand(s));
}
BENCHMARK(BM_Rand);

// Shapes uniform in (0.1, 10), as in the Octave comparison with randg.
void BM_GammaRandMixedShapes(benchmark::State &st) {
  WHState s = kWHInitialState, shapes = {7, 77, 777};
  std::vector<double> a(4096);
  for (double &v : a) v = 0.1 + 9.9 * Rand(shapes);
  std::size_t i = 0;
  for (auto _ : st) {
    benchmark::DoNotOptimize(GammaRand(s, a[i]));
    i = (i + 1) & 4095;
  }
}
BENCHMARK(BM_GammaRandMixedShapes);

void BM_GammaRandShape(benchmark::State &st) {
  WHState s = kWHInitialState;
  const double a = static_cast<double>(st.range(0)) / 10.0;
  for (auto _ : st) benchmark::DoNotOptimize(GammaRand(s, a));
}
BENCHMARK(BM_GammaRandShape)->Arg(5)->Arg(15)->Arg(50);

void BM_BinoRand(benchmark::State &st) {
  WHState s = kWHInitialState, probs = {7, 77, 777};
  std::vector<double> p(4096);
  for (double &v : p) v = Rand(probs);
  const int n = static_cast<int>(st.range(0));
  std::size_t i = 0;
  for (auto _ : st) {
    benchmark::DoNotOptimize(BinoRand(s, p[i], n));
    i = (i + 1) & 4095;
  }
}
BENCHMARK(BM_BinoRand)->Arg(100)->Arg(1000);

// BinoRand by branch, each at a fixed p: the direct count (n <= 14, p > 1/2),
// the waiting time (n p < 10) and beta splits ahead of a waiting time.
void BM_BinoRandBranch(benchmark::State &st) {
  WHState s = kWHInitialState;
  const int n = static_cast<int>(st.range(0));
  const double p = static_cast<double>(st.range(1)) / 100.0;
  for (auto _ : st) benchmark::DoNotOptimize(BinoRand(s, p, n));
}
BENCHMARK(BM_BinoRandBranch)->Args({10, 70})->Args({100, 5})->Args({100, 50})->Args({1000, 50});

// The array forms on the library stream, as shapedraw and trialdraw call
// them: mixed shapes in (0.1, 10) and probabilities in (0, 1), n = 100.
void BM_GammaRandArray(benchmark::State &st) {
  WHState shapes = {7, 77, 777};
  std::vector<double> a(4096), x(a.size());
  for (double &v : a) v = 0.1 + 9.9 * Rand(shapes);
  for (auto _ : st) {
    GammaRandArray(a.data(), x.data(), a.size());
    benchmark::DoNotOptimize(x.data());
  }
  st.SetItemsProcessed(st.iterations() * static_cast<std::int64_t>(a.size()));
}
BENCHMARK(BM_GammaRandArray);

// One shape for the whole array (shapedraw(5 * ones(...))), in tenths.
void BM_GammaRandArrayEqual(benchmark::State &st) {
  std::vector<double> a(4096, static_cast<double>(st.range(0)) / 10.0), x(a.size());
  for (auto _ : st) {
    GammaRandArray(a.data(), x.data(), a.size());
    benchmark::DoNotOptimize(x.data());
  }
  st.SetItemsProcessed(st.iterations() * static_cast<std::int64_t>(a.size()));
}
BENCHMARK(BM_GammaRandArrayEqual)->Arg(5)->Arg(15)->Arg(50);

void BM_BinoRandArray(benchmark::State &st) {
  WHState probs = {7, 77, 777};
  std::vector<double> p(4096), r(p.size());
  for (double &v : p) v = Rand(probs);
  for (auto _ : st) {
    BinoRandArray(p.data(), 100, r.data(), p.size());
    benchmark::DoNotOptimize(r.data());
  }
  st.SetItemsProcessed(st.iterations() * static_cast<std::int64_t>(p.size()));
}
BENCHMARK(BM_BinoRandArray);

// One multinomial column of 10 categories and 1000 trials a step.
void BM_MultiRand(benchmark::State &st) {
  WHState s = kWHInitialState;
  const std::vector<double> p = {0.05, 0.1, 0.15, 0.2, 0.1, 0.05, 0.1, 0.1, 0.05, 0.1};
  std::vector<double> counts(p.size());
  for (auto _ : st) {
    gatebox::MultiRand(s, p.data(), p.size(), 1000, counts.data(), false);
    benchmark::DoNotOptimize(counts.data());
  }
}
BENCHMARK(BM_MultiRand);

}  // namespace
