// The axisfold and tallybins gateways proper, called through the own host
// (which hands outputs back without copying them), beside the machine's read
// bandwidth over an input of the same size.  A gateway's target is a ratio
// against the read benchmark of the same size, taken in the same run.
#include "gatebox/host.hpp"
#include "kernels.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <cstring>
#include <emmintrin.h>
#include <random>
#include <vector>

namespace h = gatebox::host;

namespace {

h::Array random_doubles(std::vector<mwSize> dims) {
  std::size_t n = 1;
  for (mwSize d : dims) n *= static_cast<std::size_t>(d);
  std::vector<double> v(n);
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  for (double &x : v) x = u(rng);
  return h::doubles(dims, v);
}

// Reads n doubles' worth of memory with four independent integer chains.
void BM_ReadBandwidth(benchmark::State &state) {
  std::size_t n = static_cast<std::size_t>(state.range(0));
  std::vector<std::uint64_t> v(n, 1);
  for (auto _ : state) {
    std::uint64_t a = 0, b = 0, c = 0, d = 0;
    for (std::size_t i = 0; i + 4 <= n; i += 4) {
      a += v[i];
      b ^= v[i + 1];
      c += v[i + 2];
      d ^= v[i + 3];
    }
    benchmark::DoNotOptimize(a + b + c + d);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * n * sizeof(double)));
}
BENCHMARK(BM_ReadBandwidth)->Arg(100 * 200 * 50 * 20)->Arg(2000 * 2000)->Arg(10000000)->Unit(benchmark::kMillisecond);

// The same reads with 16-byte loads and four independent OR chains: the
// floor of a kernel that reads with vector loads.
void BM_ReadBandwidthVector(benchmark::State &state) {
  std::size_t n = static_cast<std::size_t>(state.range(0));
  std::vector<std::uint64_t> v(n, 1);
  for (auto _ : state) {
    __m128i a = _mm_setzero_si128(), b = a, c = a, d = a;
    const std::uint64_t *p = v.data();
    for (std::size_t i = 0; i + 8 <= n; i += 8) {
      a = _mm_or_si128(a, _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i)));
      b = _mm_or_si128(b, _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i + 2)));
      c = _mm_or_si128(c, _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i + 4)));
      d = _mm_or_si128(d, _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i + 6)));
    }
    benchmark::DoNotOptimize(_mm_cvtsi128_si64(_mm_or_si128(_mm_or_si128(a, b), _mm_or_si128(c, d))));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * n * sizeof(double)));
}
BENCHMARK(BM_ReadBandwidthVector)->Arg(100 * 200 * 50 * 20)->Arg(2000 * 2000)->Arg(10000000)->Unit(benchmark::kMillisecond);

void fold(benchmark::State &state, std::vector<mwSize> dims, std::vector<double> sel) {
  h::Gateway g(h::gateway_path("axisfold"));
  h::Array a = random_doubles(dims), s = h::row(sel);
  std::size_t bytes = mxGetNumberOfElements(a.get()) * sizeof(double);
  for (auto _ : state) {
    h::CallResult r = g.call({a.get(), s.get()});
    if (!r.ok()) state.SkipWithError(r.error->message.c_str());
    benchmark::DoNotOptimize(r.out());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
void BM_Axisfold4D(benchmark::State &state) { fold(state, {100, 200, 50, 20}, {2, 4}); }
void BM_AxisfoldColumns(benchmark::State &state) { fold(state, {2000, 2000}, {1}); }
BENCHMARK(BM_Axisfold4D)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AxisfoldColumns)->Unit(benchmark::kMillisecond);

// 1e7 integers uniform in 1..1000 counted into n = 1000 bins (or the maximum).
void BM_Tallybins(benchmark::State &state) {
  h::Gateway g(h::gateway_path("tallybins"));
  const std::size_t n = 10000000;
  std::vector<double> v(n);
  std::mt19937_64 rng(11);
  std::uniform_int_distribution<int> u(1, 1000);
  for (double &x : v) x = u(rng);
  h::Array x = h::column(v), bins = h::scalar(1000);
  std::vector<const mxArray *> args{x.get()};
  if (state.range(0)) args.push_back(bins.get());
  for (auto _ : state) {
    h::CallResult r = g.call(args);
    if (!r.ok()) state.SkipWithError(r.error->message.c_str());
    benchmark::DoNotOptimize(r.out());
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * n));
  state.counters["ns_per_element"] =
      benchmark::Counter(static_cast<double>(state.iterations() * n), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Tallybins)->ArgName("n_given")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// The tally kernel alone on the same data, one way of counting a block each
// (0: bin numbers stored and reloaded, 1: counted from the registers,
// 2: the same with SSE4.1 bounds).
void BM_CountBinsPath(benchmark::State &state) {
  auto path = static_cast<gatebox::TallyPath>(state.range(0));
  if (!gatebox::tally_path_available(path)) {
    state.SkipWithError("not available in this build");
    return;
  }
  const std::size_t n = 10000000;
  std::vector<double> v(n), hist(1000);
  std::vector<std::uint32_t> sub(4000);
  std::mt19937_64 rng(11);
  std::uniform_int_distribution<int> u(1, 1000);
  for (double &x : v) x = u(rng);
  for (auto _ : state) {
    bool ok = gatebox::count_bins_blocked(v.data(), n, 1000, hist.data(), sub.data(), path);
    benchmark::DoNotOptimize(ok);
    benchmark::DoNotOptimize(hist.data());
  }
  state.counters["ns_per_element"] =
      benchmark::Counter(static_cast<double>(state.iterations() * n), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_CountBinsPath)->ArgName("path")->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace
