// The triangular solve kernels (dtrsm, rowsubst) on every instruction set the
// CPU offers, compared bit for bit with the plain loops of trsm_reference.h.
#include "dtrsm.h"
#include "rowsubst.h"
#include "unit/trsm_reference.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

using TI = gatebox::trsm_detail::Isa;
using RI = gatebox::rowsubst_detail::Isa;
const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

std::uint64_t bits(double v) {
  std::uint64_t u;
  std::memcpy(&u, &v, sizeof u);
  return u;
}

// Index of the first element whose bits differ, or -1.  Every NaN counts as
// one value: which of two NaN operands a product passes on (and so the sign
// and payload of a NaN result) is left open by IEEE 754 and follows the
// compiler's operand order, which it may swap in a product.
long first_difference(const std::vector<double> &x, const std::vector<double> &y) {
  for (std::size_t i = 0; i < x.size(); ++i)
    if (bits(x[i]) != bits(y[i]) && !(std::isnan(x[i]) && std::isnan(y[i]))) return static_cast<long>(i);
  return -1;
}

// Kinds of test data.  Each makes A (m-by-m, leading dimension lda) and B.
enum class Fill {
  random,    // well-conditioned random triangle, random right-hand sides
  integers,  // small integers: exact zeros appear during the solve
  special,   // zeros of both signs, zero, infinite and huge diagonals, NaN, Inf, tiny values
  sparse,    // few off-diagonal entries, all negative, and non-negative right-hand sides: zeros of
             // both signs last through many steps (a step left out and a step made with a zero
             // differ on a negative zero), and tiny components over huge diagonals divide to zero
};

struct Data {
  std::vector<double> a, b;
};

Data make(Fill fill, long m, long n, long lda, long ldb, unsigned seed) {
  std::mt19937_64 rng(seed);
  std::uniform_real_distribution<double> u(-1, 1);
  std::uniform_int_distribution<int> small(-2, 2), pick(0, 19), rare(0, 199);
  Data d{std::vector<double>(static_cast<std::size_t>(lda * m)), std::vector<double>(static_cast<std::size_t>(ldb * n))};
  auto odd_value = [&](bool diagonal) {
    static const double diag_values[] = {0.0, -0.0, kInf, -kInf, kNaN, 1e300, -1e-300, 3.0};
    static const double other_values[] = {0.0, -0.0, kInf, -kInf, kNaN, 1e-300, -1e300, 0.5};
    return diagonal ? diag_values[pick(rng) % 8] : other_values[pick(rng) % 8];
  };
  for (long k = 0; k < m; ++k)
    for (long i = 0; i < lda; ++i) {
      double &v = d.a[static_cast<std::size_t>(i + k * lda)];
      if (i >= m) {
        v = kNaN;  // beyond the matrix: never read
      } else if (fill == Fill::integers) {
        v = i == k ? (pick(rng) < 10 ? 1.0 : -1.0) : small(rng);
      } else if (fill == Fill::sparse) {
        v = i == k ? (pick(rng) < 3 ? 1e300 : 1 + 0.5 * u(rng)) : rare(rng) == 0 ? -0.5 - 0.5 * u(rng) : 0.0;
      } else {
        v = i == k ? 1 + 0.5 * u(rng) : u(rng) / static_cast<double>(m);
        if (fill == Fill::special && pick(rng) == 0) v = odd_value(i == k);
      }
    }
  for (long j = 0; j < n; ++j)
    for (long i = 0; i < ldb; ++i) {
      double &v = d.b[static_cast<std::size_t>(i + j * ldb)];
      if (i >= m) {
        v = -7.25;  // beyond the rows of B: never written
      } else if (fill == Fill::integers) {
        v = pick(rng) < 4 ? (pick(rng) < 10 ? 0.0 : -0.0) : small(rng);
      } else if (fill == Fill::sparse) {
        const int r = pick(rng);
        v = r < 10 ? (r < 5 ? 0.0 : -0.0) : r < 13 ? 1e-300 : 0.5 + 0.5 * u(rng);
      } else {
        v = u(rng);
        if (pick(rng) < 3) v = pick(rng) < 10 ? 0.0 : -0.0;
        if (fill == Fill::special && pick(rng) == 0) v = odd_value(false);
      }
    }
  return d;
}

// NaN in the strict triangle that is not selected.
void poison_other_triangle(std::vector<double> &a, bool upper, long m, long lda) {
  for (long k = 0; k < m; ++k)
    for (long i = 0; i < m; ++i)
      if (upper ? i > k : i < k) a[static_cast<std::size_t>(i + k * lda)] = kNaN;
}

std::vector<TI> trsm_isas() {
  std::vector<TI> v;
  for (TI i : {TI::plain, TI::base, TI::avx2, TI::avx512})
    if (gatebox::trsm_detail::available(i)) v.push_back(i);
  return v;
}
std::vector<RI> rowsubst_isas() {
  std::vector<RI> v;
  for (RI i : {RI::plain, RI::base, RI::avx2, RI::avx512})
    if (gatebox::rowsubst_detail::available(i)) v.push_back(i);
  return v;
}

TEST(Dtrsm, EveryInstructionSetMatchesThePlainLoopsBitForBit) {
  struct Shape {
    long m, n, lda_extra, ldb_extra;
  };
  // Orders around the block sizes (4, 8, 32 rows) and the 256-row panels
  // (one, two and three panels), and column counts around the tile widths
  // and the 128-column chunk.
  const std::vector<Shape> shapes = {{0, 3, 0, 0},   {3, 0, 0, 0},   {1, 1, 0, 0},   {1, 5, 2, 1},  {2, 3, 0, 0},
                                     {3, 7, 1, 0},   {5, 2, 0, 3},   {7, 9, 0, 0},   {8, 4, 0, 0},  {9, 13, 0, 0},
                                     {15, 6, 1, 1},  {16, 5, 0, 0},  {17, 11, 0, 0}, {31, 3, 0, 2}, {32, 8, 0, 0},
                                     {33, 17, 3, 0}, {63, 1, 0, 0},  {64, 7, 0, 0},  {65, 25, 0, 1}, {97, 130, 0, 0},
                                     {130, 260, 1, 1}, {255, 9, 0, 0},  {257, 14, 1, 0}, {520, 21, 0, 3}, {777, 5, 2, 0}};
  for (Fill fill : {Fill::random, Fill::integers, Fill::special, Fill::sparse})
    for (bool upper : {true, false})
      for (const Shape &s : shapes) {
        const long lda = s.m + s.lda_extra, ldb = s.m + s.ldb_extra;
        Data d = make(fill, s.m, s.n, lda, ldb, static_cast<unsigned>(s.m * 1000 + s.n));
        poison_other_triangle(d.a, upper, s.m, lda);
        std::vector<double> want = d.b;
        reference::trsm(upper, s.m, s.n, d.a.data(), lda, want.data(), ldb);
        for (TI isa : trsm_isas()) {
          std::vector<double> got = d.b;
          gatebox::trsm_detail::solve(isa, upper, static_cast<int>(s.m), static_cast<int>(s.n), d.a.data(),
                                      static_cast<int>(lda), got.data(), static_cast<int>(ldb));
          long at = first_difference(got, want);
          ASSERT_EQ(at, -1) << "isa " << static_cast<int>(isa) << " fill " << static_cast<int>(fill) << " upper "
                            << upper << " m " << s.m << " n " << s.n << ": " << got[at] << " vs " << want[at];
        }
#ifdef GATEBOX_SIMD_WIDE
        // The 512-bit path's blocking, also where the processor lacks AVX-512.
        std::vector<double> got = d.b;
        gatebox::trsm_detail::solve_avx512_generic(upper, static_cast<int>(s.m), static_cast<int>(s.n), d.a.data(),
                                                   static_cast<int>(lda), got.data(), static_cast<int>(ldb));
        long at = first_difference(got, want);
        ASSERT_EQ(at, -1) << "512-bit blocking in generic code, fill " << static_cast<int>(fill) << " upper " << upper
                          << " m " << s.m << " n " << s.n << ": " << got[at] << " vs " << want[at];
#endif
      }
}

TEST(Dtrsm, ReadsOnlyTheCaseSensitiveTriangleSelector) {
  // A = [2 1; 0 4], B = [4; 8]: upper [1; 2], lower [2; 2].
  const double a[] = {2, 0, 1, 4};
  struct Case {
    char side, uplo, transa, diag;
    double alpha;
    double x0, x1;
  };
  for (const Case &c : std::vector<Case>{{'L', 'U', 'N', 'N', 1.0, 1, 2},
                                         {'L', 'L', 'N', 'N', 1.0, 2, 2},
                                         {'L', 'u', 'N', 'N', 1.0, 2, 2},  // lower-case u: lower
                                         {'R', 'U', 'T', 'U', 2.0, 1, 2},  // the other options ignored
                                         {'x', 'Q', 'C', 'x', kNaN, 2, 2}}) {
    double b[] = {4, 8};
    const int m = 2, n = 1, ld = 2;
    gatebox::dtrsm(&c.side, &c.uplo, &c.transa, &c.diag, &m, &n, &c.alpha, a, &ld, b, &ld);
    EXPECT_EQ(b[0], c.x0) << c.uplo << c.side;
    EXPECT_EQ(b[1], c.x1) << c.uplo << c.side;
  }
}

TEST(Dtrsm, EmptyOrNegativeSizesLeaveBAlone) {
  const double a[] = {kNaN};
  const char u = 'U';
  const double one = 1;
  for (auto mn : std::vector<std::pair<int, int>>{{0, 1}, {1, 0}, {-1, 1}, {1, -3}, {0, 0}}) {
    double b[] = {3, -0.0};
    const int ld = 1;
    gatebox::dtrsm(&u, &u, &u, &u, &mn.first, &mn.second, &one, a, &ld, b, &ld);
    EXPECT_EQ(bits(b[0]), bits(3.0));
    EXPECT_EQ(bits(b[1]), bits(-0.0));
  }
}

TEST(Dtrsm, ZeroSkipAndNaNPropagation) {
  struct Case {
    const char *what;
    char uplo;
    std::vector<double> a, b, x;
  };
  const std::vector<Case> cases = {
      {"zero right-hand side over a zero diagonal stays zero", 'U', {0, 0, 1, 1}, {1, 1}, {0, 1}},
      {"negative zero is skipped and kept", 'L', {2, kNaN, 0, 1}, {-0.0, 3}, {-0.0, 3}},
      {"NaN at a step spreads to every updated row", 'L', {1, 1, 0, 1}, {kNaN, 1}, {kNaN, kNaN}},
      {"non-zero over a zero diagonal divides", 'U', {0, 0, 0, 1}, {1, 0}, {kInf, 0}},
  };
  for (const Case &c : cases) {
    std::vector<double> b = c.b;
    const int m = 2, n = 1;
    const double one = 1;
    gatebox::dtrsm(&c.uplo, &c.uplo, &c.uplo, &c.uplo, &m, &n, &one, c.a.data(), &m, b.data(), &m);
    for (int i = 0; i < 2; ++i)
      EXPECT_TRUE(bits(b[i]) == bits(c.x[i]) || (std::isnan(b[i]) && std::isnan(c.x[i]))) << c.what << " " << i;
  }
}

TEST(Rowsubst, EveryInstructionSetMatchesThePlainLoopsBitForBit) {
  struct Shape {
    long m, k;
  };
  // Chunks of up to 64 columns (fewer when m is large: 2100 rows give 56 with
  // a 1 MiB second-level cache, 24 with 512 KiB);
  // upper rows in blocks of 8 from the bottom, whose coefficients are copied.
  const std::vector<Shape> shapes = {{0, 4},  {4, 0},  {1, 1},  {1, 9},  {2, 2},   {3, 5},    {5, 1},
                                     {7, 8},  {8, 3},  {9, 17}, {16, 7}, {17, 33}, {33, 64},  {40, 65},
                                     {64, 2}, {65, 9}, {100, 130}, {2100, 60}};
  for (Fill fill : {Fill::random, Fill::integers, Fill::special})
    for (bool lower : {true, false})
      for (const Shape &s : shapes) {
        if (s.m > 200 && fill != Fill::random) continue;
        Data d = make(fill, s.m, s.k, s.m, s.m, static_cast<unsigned>(s.m * 7 + s.k));
        poison_other_triangle(d.a, !lower, s.m, s.m);
        std::vector<double> want = d.b;
        reference::rowsubst(lower, d.a.data(), s.m, want.data(), s.k);
        std::vector<double> work(gatebox::rowsubst_workspace(s.m, s.k) + 1, kNaN);
        for (RI isa : rowsubst_isas()) {
          std::vector<double> got = d.b;
          gatebox::rowsubst_detail::solve(isa, lower, d.a.data(), s.m, got.data(), s.k, work.data());
          long at = first_difference(got, want);
          ASSERT_EQ(at, -1) << "isa " << static_cast<int>(isa) << " fill " << static_cast<int>(fill) << " lower "
                            << lower << " m " << s.m << " k " << s.k << ": " << got[at] << " vs " << want[at];
          EXPECT_TRUE(std::isnan(work.back()));  // the workspace is not overrun
        }
      }
}

TEST(Rowsubst, WorkspaceAtEveryOffsetFromACacheLine) {
  // The solver starts its rows at the first 64-byte boundary of the
  // workspace: at every offset the result is the plain loops' and nothing
  // past the workspace is written.
  for (bool lower : {true, false})
    for (long m : {9L, 40L}) {
      const long k = 17;
      Data d = make(Fill::random, m, k, m, m, static_cast<unsigned>(m + lower));
      poison_other_triangle(d.a, !lower, m, m);
      std::vector<double> want = d.b;
      reference::rowsubst(lower, d.a.data(), m, want.data(), k);
      const std::size_t size = gatebox::rowsubst_workspace(m, k);
      std::vector<double> buffer(size + 16, kNaN);
      for (std::size_t off = 0; off < 8; ++off) {
        std::fill(buffer.begin(), buffer.end(), kNaN);
        for (RI isa : rowsubst_isas()) {
          std::vector<double> got = d.b;
          gatebox::rowsubst_detail::solve(isa, lower, d.a.data(), m, got.data(), k, buffer.data() + off);
          long at = first_difference(got, want);
          ASSERT_EQ(at, -1) << "isa " << static_cast<int>(isa) << " lower " << lower << " m " << m << " offset "
                            << off;
          for (std::size_t i = off + size; i < buffer.size(); ++i)
            ASSERT_TRUE(std::isnan(buffer[i])) << "isa " << static_cast<int>(isa) << " offset " << off << " at " << i;
        }
      }
    }
}

}  // namespace
