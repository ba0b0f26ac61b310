// The triangular solvers: the plain loops against the blocked and vectorised
// kernels on each instruction set, on a well-conditioned m-by-m triangle with
// n right-hand sides (the second argument).
#include "../tests/unit/trsm_reference.h"
#include "dtrsm.h"
#include "rowsubst.h"

#include <benchmark/benchmark.h>
#include <random>
#include <vector>

namespace {

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
