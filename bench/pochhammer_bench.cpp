// Pochhammer sums stepped n = 1 .. 200 at one x, the use the caches are for:
// the cached form adds one term per call, the uncached one all n terms (and
// the closed form beyond 20).
#include "util.h"

#include <benchmark/benchmark.h>

template <double (*F)(double, int)>
static void BM_PochhammerSteps(benchmark::State &state) {
  double x = 0.75;
  for (auto _ : state) {
    double s = 0;
    for (int n = 1; n <= 200; ++n) s += F(x, n);
    benchmark::DoNotOptimize(s);
    x += 1.0;  // a new x each round: the cache restarts as in real use
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * 200));
}
BENCHMARK_TEMPLATE(BM_PochhammerSteps, pochhammer);
BENCHMARK_TEMPLATE(BM_PochhammerSteps, slow_pochhammer);
BENCHMARK_TEMPLATE(BM_PochhammerSteps, di_pochhammer);
BENCHMARK_TEMPLATE(BM_PochhammerSteps, slow_di_pochhammer);
