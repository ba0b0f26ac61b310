// tilearray, gateway proper, in the own host (which hands the output back
// without copying it), against the machine's memcpy bandwidth on blocks of
// the output's size.  The output's release after each call is not timed.
//
// BM_Memcpy/<bytes>: memcpy between two buffers written beforehand (no page
// faults).  BM_Tilearray/<workload>: the whole call: argument checks, the
// output's creation (fresh pages, advised for huge pages), the tiling.
// BM_TilearrayNoHuge: the same gateway built without the huge-page advice.
// BM_FreshWrite/<bytes>: the floor of any gateway that writes a fresh output:
// allocate, advise huge pages, write every byte once (memset), release.
#include "gatebox/host.hpp"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sys/mman.h>
#include <vector>

namespace h = gatebox::host;

namespace {

struct Workload {
  const char *name;
  std::vector<mwSize> a;
  std::vector<double> counts;
};
const Workload kWorkloads[] = {
    {"1000x1000 [3 4]", {1000, 1000}, {3, 4}},
    {"10x10 [300 300]", {10, 10}, {300, 300}},
    {"1e6x1 [1 1 8]", {1000000, 1}, {1, 1, 8}},
};

void BM_Memcpy(benchmark::State &state) {
  std::size_t bytes = static_cast<std::size_t>(state.range(0));
  std::vector<char> src(bytes, 1), dst(bytes, 2);
  for (auto _ : state) {
    std::memcpy(dst.data(), src.data(), bytes);
    benchmark::DoNotOptimize(dst.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
// Output sizes of the three workloads in bytes.
BENCHMARK(BM_Memcpy)->Arg(96000000)->Arg(72000000)->Arg(64000000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FreshWrite(benchmark::State &state) {
  std::size_t bytes = static_cast<std::size_t>(state.range(0));
  for (auto _ : state) {
    char *p = static_cast<char *>(std::malloc(bytes));
    std::uintptr_t start = (reinterpret_cast<std::uintptr_t>(p) + 4095) & ~std::uintptr_t{4095};
    std::uintptr_t end = (reinterpret_cast<std::uintptr_t>(p) + bytes) & ~std::uintptr_t{4095};
    madvise(reinterpret_cast<void *>(start), end - start, MADV_HUGEPAGE);
    std::memset(p, 1, bytes);
    benchmark::DoNotOptimize(p);
    benchmark::ClobberMemory();
    state.PauseTiming();
    std::free(p);
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_FreshWrite)->Arg(96000000)->Arg(72000000)->Arg(64000000)->Unit(benchmark::kMillisecond)->UseRealTime();

void run(benchmark::State &state, const char *subdir) {
  const Workload &w = kWorkloads[state.range(0)];
  h::Gateway g(h::gateway_path("tilearray", subdir));
  std::size_t n = 1;
  for (mwSize d : w.a) n *= static_cast<std::size_t>(d);
  std::vector<double> v(n);
  for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<double>(i);
  auto a = h::doubles(w.a, v);
  auto c = h::row(w.counts);
  std::size_t bytes = 0;
  for (auto _ : state) {
    h::CallResult r = g.call({a.get(), c.get()});
    if (!r.ok()) {
      state.SkipWithError(r.error->message.c_str());
      break;
    }
    bytes = mxGetNumberOfElements(r.out()) * sizeof(double);
    benchmark::DoNotOptimize(mxGetData(r.out()));
    state.PauseTiming();
    r.outputs.clear();
    state.ResumeTiming();
  }
  state.SetLabel(w.name);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void BM_Tilearray(benchmark::State &state) { run(state, ""); }
void BM_TilearrayNoHuge(benchmark::State &state) { run(state, "bench/nohuge"); }
BENCHMARK(BM_Tilearray)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TilearrayNoHuge)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
