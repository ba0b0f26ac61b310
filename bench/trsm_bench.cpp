// The triangular solvers: the plain loops against the blocked and vectorised
// kernels on each instruction set, on a well-conditioned m-by-m triangle with
// n right-hand sides (the second argument).  BM_MulSubRate is the machine's
// limit beside them: the rate of separately rounded multiply-subtracts
// (a = a - x*b, no fused multiply-add, as in the kernels) on independent
// accumulators held in registers, reported as flops (two per lane and step).
#include "../tests/unit/trsm_reference.h"
#include "dtrsm.h"
#include "rowsubst.h"

#include <benchmark/benchmark.h>
#include <random>
#include <vector>

namespace {

using gatebox::simd::v4d;
using gatebox::simd::v8d;

// Steps of 16 independent multiply-subtracts; the accumulators start as
// zeros and the factors are chosen so that the values stay finite and normal.
template <class V>
GATEBOX_INLINE double mulsub_probe(long steps, double x) {
  V acc[16], b[16];
  for (int i = 0; i < 16; ++i) {
    acc[i] = V{} + 1.0 + i;
    b[i] = V{} + 1e-9 * (i + 1);
  }
  for (long s = 0; s < steps; ++s) {
#pragma GCC unroll 16
    for (int i = 0; i < 16; ++i) acc[i] = acc[i] - x * b[i];
    __asm__ volatile("" : "+x"(x));  // x may change: the step loop is not folded
  }
  double sum = 0;
  for (int i = 0; i < 16; ++i)
    for (int l = 0; l < static_cast<int>(sizeof(V) / sizeof(double)); ++l) sum += acc[i][l];
  return sum;
}
__attribute__((target("avx2"))) double mulsub_avx2(long steps, double x) { return mulsub_probe<v4d>(steps, x); }
__attribute__((target("avx512f"))) double mulsub_avx512(long steps, double x) { return mulsub_probe<v8d>(steps, x); }

template <gatebox::simd::Isa I>
void BM_MulSubRate(benchmark::State &state) {
  if (!gatebox::simd::available(I)) return state.SkipWithError("instruction set not available");
  const long steps = 1 << 20;
  const int lanes = I == gatebox::simd::Isa::avx512 ? 8 : 4;
  for (auto _ : state) {
    double r = I == gatebox::simd::Isa::avx512 ? mulsub_avx512(steps, 0.5) : mulsub_avx2(steps, 0.5);
    benchmark::DoNotOptimize(r);
  }
  state.counters["flops"] = benchmark::Counter(static_cast<double>(steps) * 16 * lanes * 2 * static_cast<double>(state.iterations()),
                                               benchmark::Counter::kIsRate);
}

struct Problem {
  long m, n;
  std::vector<double> a, b, x;
  Problem(long m_, long n_) : m(m_), n(n_), a(m_ * m_), b(m_ * n_), x(m_ * n_) {
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> u(-1, 1);
    for (double &v : a) v = u(rng) / static_cast<double>(m);
    for (long i = 0; i < m; ++i) a[i + i * m] = 1 + u(rng) * 0.5;  // diagonally dominant
    for (double &v : b) v = u(rng);
  }
};


template <int Upper>
void BM_TrsmPlain(benchmark::State &state) {
  Problem p(state.range(0), state.range(1));
  for (auto _ : state) {
    p.x = p.b;
    reference::trsm(Upper, p.m, p.n, p.a.data(), p.m, p.x.data(), p.m);
    benchmark::DoNotOptimize(p.x.data());
  }
}

template <int Upper, gatebox::trsm_detail::Isa I>
void BM_Trsm(benchmark::State &state) {
  if (!gatebox::trsm_detail::available(I)) return state.SkipWithError("instruction set not available");
  Problem p(state.range(0), state.range(1));
  const int m = static_cast<int>(p.m), n = static_cast<int>(p.n);
  for (auto _ : state) {
    p.x = p.b;
    gatebox::trsm_detail::solve(I, Upper, m, n, p.a.data(), m, p.x.data(), m);
    benchmark::DoNotOptimize(p.x.data());
  }
}

template <int Lower>
void BM_RowsPlain(benchmark::State &state) {
  Problem p(state.range(0), state.range(1));
  for (auto _ : state) {
    p.x = p.b;
    reference::rowsubst(Lower, p.a.data(), p.m, p.x.data(), p.n);
    benchmark::DoNotOptimize(p.x.data());
  }
}

template <int Lower, gatebox::rowsubst_detail::Isa I>
void BM_Rows(benchmark::State &state) {
  if (!gatebox::rowsubst_detail::available(I)) return state.SkipWithError("instruction set not available");
  Problem p(state.range(0), state.range(1));
  std::vector<double> work(gatebox::rowsubst_workspace(p.m, p.n));
  for (auto _ : state) {
    p.x = p.b;
    gatebox::rowsubst_detail::solve(I, Lower, p.a.data(), p.m, p.x.data(), p.n, work.data());
    benchmark::DoNotOptimize(p.x.data());
  }
}

BENCHMARK_TEMPLATE(BM_MulSubRate, gatebox::simd::Isa::avx2)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_MulSubRate, gatebox::simd::Isa::avx512)->Unit(benchmark::kMicrosecond);

using TI = gatebox::trsm_detail::Isa;
using RI = gatebox::rowsubst_detail::Isa;
BENCHMARK_TEMPLATE(BM_TrsmPlain, 1)->Args({2000, 100})->Args({50, 1})->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_Trsm, 1, TI::base)->Args({2000, 100})->Args({50, 1})->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_Trsm, 1, TI::avx2)->Args({2000, 100})->Args({50, 1})->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_Trsm, 1, TI::avx512)->Args({2000, 100})->Args({50, 1})->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_TrsmPlain, 0)->Args({2000, 100})->Args({50, 1})->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_Trsm, 0, TI::avx512)->Args({2000, 100})->Args({50, 1})->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_RowsPlain, 0)->Args({2000, 100})->Args({50, 1})->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_Rows, 0, RI::base)->Args({2000, 100})->Args({50, 1})->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_Rows, 0, RI::avx2)->Args({2000, 100})->Args({50, 1})->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_Rows, 0, RI::avx512)->Args({2000, 100})->Args({50, 1})->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_RowsPlain, 1)->Args({2000, 100})->Args({50, 1})->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_Rows, 1, RI::avx512)->Args({2000, 100})->Args({50, 1})->Unit(benchmark::kMicrosecond);

}  // namespace
