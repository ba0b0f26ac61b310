// The summing, histogram and tiling kernels against their plain loops, bit
// for bit: foldsum against the odometer walk over every element, the blocked
// tally against count_bins, memrep and tile against element-by-element
// copies.  Shapes are chosen around the vector widths and block sizes (8 and
// 16 columns, 8 rows, blocks of 512 elements) so that every main loop and
// every remainder runs.
#include "kernels.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace {

using std::ptrdiff_t;

bool same_bits(const std::vector<double> &a, const std::vector<double> &b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

// Values of mixed magnitude, so that the order of additions shows in the
// rounding, with zeros of both signs and subnormals among them.
std::vector<double> mixed(std::size_t n, unsigned seed) {
  std::mt19937_64 rng(seed);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  std::uniform_int_distribution<int> e(-40, 40), pick(0, 49);
  std::vector<double> v(n);
  for (double &x : v) {
    int p = pick(rng);
    x = p == 0 ? 0.0 : p == 1 ? -0.0 : p == 2 ? 4.9e-324 * (1 + pick(rng)) : std::ldexp(u(rng), e(rng));
  }
  return v;
}

// The plain walk: every element, in storage order, added to its output slot.
std::vector<double> fold_reference(const std::vector<double> &in, const std::vector<ptrdiff_t> &dims,
                                   const std::vector<unsigned char> &summed) {
  std::size_t kept = 1;
  for (std::size_t i = 0; i < dims.size(); ++i)
    if (!summed[i]) kept *= static_cast<std::size_t>(dims[i]);
  std::vector<double> out(kept, 0.0);
  std::vector<ptrdiff_t> sub(dims.size(), 0);
  for (double x : in) {
    std::size_t slot = 0, stride = 1;
    for (std::size_t i = 0; i < dims.size(); ++i)
      if (!summed[i]) {
        slot += static_cast<std::size_t>(sub[i]) * stride;
        stride *= static_cast<std::size_t>(dims[i]);
      }
    out[slot] += x;
    for (std::size_t i = 0; i < dims.size() && ++sub[i] == dims[i]; ++i) sub[i] = 0;
  }
  return out;
}

std::vector<double> fold(const std::vector<double> &in, std::vector<ptrdiff_t> dims, std::vector<unsigned char> summed) {
  std::vector<double> out = fold_reference(in, dims, summed);
  std::fill(out.begin(), out.end(), 0.0);
  std::vector<ptrdiff_t> work(4 * dims.size());
  gatebox::foldsum(out.data(), in.data(), static_cast<ptrdiff_t>(dims.size()), dims.data(), summed.data(), work.data());
  return out;
}

TEST(Foldsum, MatchesThePlainWalkBitForBit) {
  struct Case {
    std::vector<ptrdiff_t> dims;
    std::vector<unsigned char> summed;
  };
  const std::vector<Case> cases{
      // Column sums: rows around multiples of 8, columns around 8 and 16.
      {{8, 16}, {1, 0}},   {{7, 15}, {1, 0}},   {{9, 17}, {1, 0}},  {{64, 40}, {1, 0}},
      {{203, 35}, {1, 0}}, {{1, 33}, {1, 0}},   {{2, 24}, {1, 0}},  {{300, 1}, {1, 0}},
      // Row sums and blocks added to consecutive outputs.
      {{37, 11}, {0, 1}},  {{100, 3}, {0, 1}},  {{5, 2}, {0, 1}},
      // Several dimensions, runs merged and singletons dropped.
      {{10, 20, 5, 4}, {0, 1, 0, 1}}, {{9, 6, 7}, {1, 1, 0}}, {{3, 1, 8, 17}, {1, 1, 1, 0}},
      {{4, 5, 6}, {1, 0, 1}},         {{17, 1, 19, 2}, {0, 1, 1, 0}},
  };
  unsigned seed = 1;
  for (const Case &c : cases) {
    std::size_t n = 1;
    for (ptrdiff_t d : c.dims) n *= static_cast<std::size_t>(d);
    std::vector<double> in = mixed(n, seed++);
    EXPECT_TRUE(same_bits(fold(in, c.dims, c.summed), fold_reference(in, c.dims, c.summed)))
        << "dims " << c.dims.size() << " first " << c.dims[0] << " seed " << seed - 1;
  }
}

TEST(Foldsum, LargeBlockWalksMatchThePlainWalkBitForBit) {
  // More than 2^17 elements with a kept innermost run: the outputs are
  // split in two by the outermost kept run of length 2 or more and the
  // halves walked side by side.  That run of even and of odd length (the
  // last slice walked alone), merged from two dimensions, shorter than the
  // other kept runs, and absent (one walk); blocks of lengths that are and
  // are not multiples of 8.
  struct Case {
    std::vector<ptrdiff_t> dims;
    std::vector<unsigned char> summed;
  };
  const std::vector<Case> cases{
      {{64, 41, 8, 7}, {0, 1, 0, 1}},          {{100, 30, 7, 7}, {0, 1, 0, 1}},
      {{37, 5, 3, 300}, {0, 1, 0, 0}},         {{13, 2, 3, 5, 2, 181}, {0, 1, 0, 1, 0, 1}},
      {{3, 1, 9, 2, 2700}, {0, 0, 1, 0, 1}},   {{1001, 150}, {0, 1}},
  };
  unsigned seed = 50;
  for (const Case &c : cases) {
    std::size_t n = 1;
    for (ptrdiff_t d : c.dims) n *= static_cast<std::size_t>(d);
    ASSERT_GT(n, std::size_t{1} << 17);
    std::vector<double> in = mixed(n, seed++);
    EXPECT_TRUE(same_bits(fold(in, c.dims, c.summed), fold_reference(in, c.dims, c.summed)))
        << "dims " << c.dims.size() << " first " << c.dims[0] << " seed " << seed - 1;
  }
}

TEST(Foldsum, SpecialValuesStayInTheirColumns) {
  // 24 columns of 19 rows: one special value per column, at varying rows,
  // so that a lane mixed up in the transposition would carry it elsewhere.
  const ptrdiff_t rows = 19, cols = 24;
  std::vector<double> in = mixed(static_cast<std::size_t>(rows * cols), 99);
  const double specials[] = {NAN, INFINITY, -INFINITY, -0.0, 1e308, -1e308, 4.9e-324};
  for (ptrdiff_t j = 0; j < cols; ++j) in[static_cast<std::size_t>(j * rows + (j * 5) % rows)] = specials[j % 7];
  std::vector<double> got = fold(in, {rows, cols}, {1, 0}), want = fold_reference(in, {rows, cols}, {1, 0});
  EXPECT_TRUE(same_bits(got, want));
  EXPECT_TRUE(std::isnan(got[0]) && std::isinf(got[1]) && got[2] < 0);
  // A column of negative zeros sums to negative zero (from an output of -0).
  std::vector<double> zeros(8 * 16, -0.0), out(16, -0.0);
  std::vector<ptrdiff_t> dims{8, 16}, work(8);
  std::vector<unsigned char> summed{1, 0};
  gatebox::foldsum(out.data(), zeros.data(), 2, dims.data(), summed.data(), work.data());
  for (double x : out) EXPECT_TRUE(x == 0 && std::signbit(x));
}

std::vector<double> integers(std::size_t n, int bins, unsigned seed) {
  std::mt19937_64 rng(seed);
  std::uniform_int_distribution<int> u(1, bins);
  std::uniform_real_distribution<double> frac(0.0, 0.999);
  std::vector<double> v(n);
  for (double &x : v) x = u(rng) + frac(rng);  // truncates to the bin
  return v;
}

// Every way of counting a block this build and CPU can run.
std::vector<gatebox::TallyPath> tally_paths() {
  std::vector<gatebox::TallyPath> paths;
  for (gatebox::TallyPath p : {gatebox::TallyPath::two_pass, gatebox::TallyPath::lanes, gatebox::TallyPath::lanes_sse41})
    if (gatebox::tally_path_available(p)) paths.push_back(p);
  return paths;
}

bool tally_blocked(const std::vector<double> &x, std::int32_t bins, std::vector<double> &h,
                   gatebox::TallyPath path) {
  h.assign(static_cast<std::size_t>(bins), 0.0);
  std::vector<std::uint32_t> sub(4 * static_cast<std::size_t>(bins), 0);
  bool ok = gatebox::count_bins_blocked(x.data(), x.size(), bins, h.data(), sub.data(), path);
  if (ok) {
    for (std::uint32_t s : sub) EXPECT_EQ(s, 0u);  // the scratch is left zeroed
  }
  return ok;
}

TEST(CountBinsBlocked, CountsAsThePlainLoop) {
  for (gatebox::TallyPath path : tally_paths()) {
    const int p = static_cast<int>(path);
    // Lengths around the block of 512 and the groups of four and eight.
    for (std::size_t n : {1u, 3u, 4u, 8u, 9u, 511u, 512u, 513u, 1027u, 5000u}) {
      for (std::int32_t bins : {1, 7, 1000, 65536}) {
        std::vector<double> x = integers(n, bins, static_cast<unsigned>(n + bins)), h, want(static_cast<std::size_t>(bins), 0.0);
        ASSERT_TRUE(gatebox::count_bins(x.data(), n, bins, want.data()));
        ASSERT_TRUE(tally_blocked(x, bins, h, path)) << p << " " << n << " " << bins;
        EXPECT_TRUE(same_bits(h, want)) << p << " " << n << " " << bins;
      }
    }
    // The edges of the bins: 1 and just below bins + 1 are in, in the
    // vector part (the first eight) and in the remainder alike.
    std::vector<double> edges{1.0, 3.9999999999999996, 2.5, 1.0000000000000002, 3.0, 1.0, 3.0, 3.5, 1.0, 3.9999999999999996},
        h;
    ASSERT_TRUE(tally_blocked(edges, 3, h, path)) << p;
    EXPECT_EQ(h, (std::vector<double>{4, 1, 5})) << p;
  }
}

TEST(CountBinsBlocked, RefusesEveryValueOutsideTheBinsWhereverItLies) {
  const double outside[] = {0.0, -0.0, 0.9999999999999999, 11.0, -1.0, NAN, INFINITY, -INFINITY,
                            2147483648.0, -2147483649.0, 4294967297.0, 1e300, -5e-324};
  // Positions in the vector part of a block, in its remainder and at the end.
  for (std::size_t n : {5u, 700u, 1030u}) {
    for (std::size_t pos : {std::size_t{0}, std::size_t{1}, std::size_t{3}, n / 2, n - 1}) {
      for (double bad : outside) {
        std::vector<double> x = integers(n, 10, 3), h;
        x[pos] = bad;
        for (gatebox::TallyPath path : tally_paths())
          EXPECT_FALSE(tally_blocked(x, 10, h, path)) << static_cast<int>(path) << " " << n << " " << pos << " " << bad;
        EXPECT_FALSE(gatebox::count_bins(x.data(), n, 10, h.data()));
      }
    }
  }
}

// memrep and tile against copies made one element at a time.
TEST(Tiling, MemrepAndTileMatchElementCopies) {
  for (std::size_t len : {1u, 8u, 24u, 3000u, 5000u, 9000u}) {
    for (std::size_t count : {1u, 2u, 3u, 5u, 8u, 13u}) {
      std::vector<char> buf(len * count), want(len * count);
      for (std::size_t i = 0; i < len; ++i) buf[i] = static_cast<char>(i * 7 + len);
      for (std::size_t i = 0; i < len * count; ++i) want[i] = buf[i % len];
      gatebox::memrep(buf.data(), len, count);
      EXPECT_EQ(buf, want) << len << " x " << count;
    }
  }
  // A 3-by-5 array of doubles tiled [2 3]: out(i, j) = in(i mod 3, j mod 5).
  const std::size_t m = 3, n = 5, cm = 2, cn = 3, e = sizeof(double);
  std::vector<double> in(m * n), out(m * cm * n * cn, -1);
  for (std::size_t i = 0; i < in.size(); ++i) in[i] = static_cast<double>(i);
  gatebox::TileLevel levels[2] = {{m, cm, m * e, m * cm * e}, {n, cn, m * n * e, m * cm * n * cn * e}};
  gatebox::tile(reinterpret_cast<char *>(out.data()), reinterpret_cast<const char *>(in.data()), 1, levels);
  for (std::size_t j = 0; j < n * cn; ++j)
    for (std::size_t i = 0; i < m * cm; ++i) EXPECT_EQ(out[j * m * cm + i], in[(j % n) * m + i % m]);
}

}  // namespace
