// cr_sin and cr_tan against the platform's sin and tan, call for call, on
// the arguments of the tests' distributions: [-10, 10], [-1e6, 1e6], huge
// (2^20 .. 2^1000), and the mix of crtrig_test (whole domain and hard
// regions in its proportions).
#include "crmath.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <random>
#include <vector>

namespace {

std::vector<double> make(int kind) {
  std::mt19937_64 g(42);
  std::uniform_real_distribution<double> u01(0.0, 1.0);
  std::vector<double> xs(1 << 16);
  for (std::size_t i = 0; i < xs.size(); ++i) {
    const double s = (g() & 1) ? -1.0 : 1.0;
    int k = kind;
    if (kind == 3) k = static_cast<int>(i % 20);  // the test mix, by 20ths
    double x;
    switch (k) {
      case 0: x = 10.0 * u01(g); break;
      case 1: x = 1e6 * u01(g); break;
      case 2: x = std::ldexp(1.0 + u01(g), 20 + static_cast<int>(g() % 980)); break;
      default: {
        if (k < 4) { x = 10.0 * u01(g); break; }
        if (k < 7) {
          do {
            const std::uint64_t u = g();
            std::memcpy(&x, &u, sizeof x);
          } while (!std::isfinite(x));
          break;
        }
        if (k < 10) { x = static_cast<double>(g() >> (34 + g() % 30)) * 1.5707963267948966; break; }
        if (k < 13) { x = std::ldexp(1.0 + u01(g), 20 + static_cast<int>(g() % 980)); break; }
        if (k < 15) { x = std::ldexp(1.0 + u01(g), -32 + static_cast<int>(g() % 10)); break; }
        if (k < 17) { x = std::ldexp(1.0 + u01(g), 18 + static_cast<int>(g() % 4)); break; }
        x = 1e6 * u01(g);
      }
    }
    xs[i] = s * x;
  }
  return xs;
}

template <double (*F)(double)>
void run(benchmark::State& st) {
  const std::vector<double> xs = make(static_cast<int>(st.range(0)));
  double acc = 0;
  for (auto _ : st) {
    for (double x : xs) acc += F(x);
    benchmark::DoNotOptimize(acc);
  }
  st.SetItemsProcessed(static_cast<int64_t>(st.iterations()) * static_cast<int64_t>(xs.size()));
}

double libc_sin(double x) { return std::sin(x); }
double libc_tan(double x) { return std::tan(x); }

template <double (*F)(double)>
double seconds(const std::vector<double>& xs, double* acc) {
  // Processor time, not wall time: on a loaded machine a round may be
  // preempted, which would count against whichever function it hit.
  const std::clock_t t0 = std::clock();
  double a = 0;
  for (double x : xs) a += F(x);
  const std::clock_t t1 = std::clock();
  *acc += a;
  return static_cast<double>(t1 - t0) / CLOCKS_PER_SEC;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}

// The two functions timed alternately over the same arguments, so that both
// see the same load of a shared machine; reports the medians of the
// per-round ns per call and of the per-round ratio.
template <double (*F)(double), double (*G)(double)>
void versus(benchmark::State& st) {
  const std::vector<double> xs = make(static_cast<int>(st.range(0)));
  std::vector<double> tf, tg, ratio;
  double acc = 0;
  for (auto _ : st) {
    const bool f_first = (tf.size() & 1) == 0;
    const double a = f_first ? seconds<F>(xs, &acc) : 0.0;
    const double b = seconds<G>(xs, &acc);
    const double c = f_first ? a : seconds<F>(xs, &acc);
    tf.push_back(c);
    tg.push_back(b);
    ratio.push_back(c / b);
    benchmark::DoNotOptimize(acc);
  }
  const double n = static_cast<double>(xs.size());
  st.counters["ns"] = median(tf) * 1e9 / n;
  st.counters["ns_peer"] = median(tg) * 1e9 / n;
  st.counters["ratio"] = median(ratio);
}

}  // namespace

// Argument 0: [-10, 10]; 1: [-1e6, 1e6]; 2: huge; 3: the test mix.
BENCHMARK(run<cr_sin>)->Name("cr_sin")->DenseRange(0, 3);
BENCHMARK(run<libc_sin>)->Name("libc_sin")->DenseRange(0, 3);
BENCHMARK(run<cr_tan>)->Name("cr_tan")->DenseRange(0, 3);
BENCHMARK(run<libc_tan>)->Name("libc_tan")->DenseRange(0, 3);
// cr_sin / sin and cr_tan / tan, timed alternately (see versus).
BENCHMARK(versus<cr_sin, libc_sin>)->Name("sin_vs_libc")->DenseRange(0, 3);
BENCHMARK(versus<cr_tan, libc_tan>)->Name("tan_vs_libc")->DenseRange(0, 3);
