// The array kernels of trigamma and gamma on every instruction set this CPU
// offers, against their plain per-element loops, beside the machine's limits:
// the division throughput (trigamma takes two divisions per element at or
// above 8, gamma eight), a copy of the same size, and for gamma the library
// calls that stay per element.
#include "crmath.h"
#include "kernels.h"
#include "simd.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <random>
#include <vector>

namespace simd = gatebox::simd;

namespace {

std::vector<double> uniform_args(std::size_t n, double lo, double hi) {
  std::mt19937_64 rng(1);
  std::uniform_real_distribution<double> u(lo, hi);
  std::vector<double> v(n);
  for (double &x : v) x = u(rng);
  return v;
}

const std::vector<double> &trigamma_args() {
  static const std::vector<double> v = uniform_args(1000000, 0.0, 100.0);
  return v;
}

void BM_TrigammaArray(benchmark::State &state) {
  const auto isa = static_cast<simd::Isa>(state.range(0));
  if (!simd::available(isa)) {
    state.SkipWithError("instruction set not available");
    return;
  }
  const std::vector<double> &x = trigamma_args();
  std::vector<double> y(x.size());
  for (auto _ : state) {
    gatebox::trigamma_array(isa, x.data(), y.data(), x.size());
    benchmark::DoNotOptimize(y.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * x.size()));
}
// 0 plain, 1 base (128-bit), 2 AVX2, 3 AVX-512.
BENCHMARK(BM_TrigammaArray)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

const std::vector<double> &gamma_args() {
  static const std::vector<double> v = uniform_args(1000000, -50.0, 170.0);
  return v;
}

void BM_GammaArray(benchmark::State &state) {
  const auto isa = static_cast<simd::Isa>(state.range(0));
  if (!simd::available(isa)) {
    state.SkipWithError("instruction set not available");
    return;
  }
  const std::vector<double> &x = gamma_args();
  std::vector<double> y(x.size());
  for (auto _ : state) {
    gatebox::gamma_array(isa, x.data(), y.data(), x.size());
    benchmark::DoNotOptimize(y.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * x.size()));
}
// 0 plain (also the 128-bit choice: gamma has no 128-bit lanes), 2 AVX2, 3 AVX-512.
BENCHMARK(BM_GammaArray)->Arg(0)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

// The library calls alone, per element, on the same arguments: the part of
// gamma that stays scalar (cr_log and cr_exp above 12, cr_sin below 0).
void BM_GammaLibraryCalls(benchmark::State &state) {
  const std::vector<double> &x = gamma_args();
  std::vector<double> y(x.size());
  for (auto _ : state) {
    for (std::size_t i = 0; i < x.size(); ++i) {
      const double v = x[i];
      const double a = v <= 0.0 ? 1.0 - v : v;
      double r = a >= 12.0 ? cr_exp(a * 0.5 + cr_log(a)) : 0.0;
      if (v <= 0.0) r += cr_sin(v);
      y[i] = r;
    }
    benchmark::DoNotOptimize(y.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * x.size()));
}
BENCHMARK(BM_GammaLibraryCalls)->Unit(benchmark::kMillisecond);

// The memory floor of an element-wise kernel on the same sizes: one pass
// reading x and writing y.
void BM_CopyFloor(benchmark::State &state) {
  const std::vector<double> &x = trigamma_args();
  std::vector<double> y(x.size());
  for (auto _ : state) {
    std::memcpy(y.data(), x.data(), x.size() * sizeof(double));
    benchmark::DoNotOptimize(y.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * x.size()));
}
BENCHMARK(BM_CopyFloor)->Unit(benchmark::kMillisecond);

// Division throughput: eight independent chains of divisions, so the rate
// is the divider's, not a chain's latency.  Items are divided doubles.
template <class V>
GATEBOX_INLINE void divide_chains(benchmark::State &state) {
  constexpr int W = sizeof(V) / sizeof(double);
  V d[8], q;
  for (int l = 0; l < W; ++l) q[l] = 1.0000001;
  for (int k = 0; k < 8; ++k)
    for (int l = 0; l < W; ++l) d[k][l] = 1.0 + k;
  constexpr int kSteps = 1000;
  for (auto _ : state) {
    for (int s = 0; s < kSteps; ++s)
      for (int k = 0; k < 8; ++k) d[k] = d[k] / q;
    benchmark::DoNotOptimize(d);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kSteps * 8 * W);
}

void BM_DivideScalar(benchmark::State &state) {
  double d[8], q = 1.0000001;
  for (int k = 0; k < 8; ++k) d[k] = 1.0 + k;
  constexpr int kSteps = 1000;
  for (auto _ : state) {
    for (int s = 0; s < kSteps; ++s)
      for (int k = 0; k < 8; ++k) {
        d[k] = d[k] / q;
        benchmark::DoNotOptimize(d[k]);
      }
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kSteps * 8);
}
BENCHMARK(BM_DivideScalar);

void BM_DivideBase(benchmark::State &state) { divide_chains<simd::v2d>(state); }
BENCHMARK(BM_DivideBase);

#ifdef GATEBOX_SIMD_WIDE
__attribute__((target("avx2"))) void BM_DivideAvx2(benchmark::State &state) {
  if (!simd::available(simd::Isa::avx2)) return state.SkipWithError("no AVX2");
  divide_chains<simd::v4d>(state);
}
BENCHMARK(BM_DivideAvx2);
__attribute__((target("avx512f"))) void BM_DivideAvx512(benchmark::State &state) {
  if (!simd::available(simd::Isa::avx512)) return state.SkipWithError("no AVX-512");
  divide_chains<simd::v8d>(state);
}
BENCHMARK(BM_DivideAvx512);
#endif

}  // namespace
