// What the uppersubst, lowersubst and backapply gateways share, through the
// own host: the checks in order, the shapes of the result, complex input,
// the plain loops bit for bit, and columns solved apart.  Each function's
// worked examples are in <function>_test.cpp.
#include "gateways/triangular_fixture.h"
#include "unit/trsm_reference.h"

#include <cstdint>
#include <random>

namespace {

using namespace triangular;

TEST_F(Triangular, ChecksInTheDocumentedOrder) {
  auto sq = h::matrix({{1, 2}, {0, 3}}), b = h::column({1, 2}), wide = h::matrix({{1, 2, 3}, {4, 5, 6}});
  auto sp = h::sparse(2, 2, {1, 0, 0, 1}), spwide = h::sparse(2, 3), spb = h::sparse(2, 1, {1, 0});
  auto cube = h::doubles({4, 2, 2}), cube_wide = h::doubles({3, 2, 2}), bcube = h::doubles({2, 1, 2});
  auto single = h::numeric(mxSINGLE_CLASS, {2, 2}), ints = h::numeric(mxINT32_CLASS, {2, 1});
  auto fh = h::function_handle(), txt = h::text("ab"), b3 = h::column({1, 2, 3});
  auto cell = h::cell({2, 2}), lgl = h::logical({2, 1});
  const char *kSparseSub = "Sorry, can't handle sparse matrices yet.";
  const char *kSparseBack = "Cannot handle sparse matrices.  Sorry.";
  struct Case {
    std::vector<const mxArray *> in;
    int nlhs;
    std::string subst, back;  // expected message, or "id:<reason>" for a gatebox identifier
  };
  const std::vector<Case> cases = {
      {{sq.get()}, 1, "usage", "usage"},
      {{sq.get(), b.get(), b.get()}, 1, "usage", "usage"},
      {{sq.get(), b.get()}, 2, "usage", "usage"},
      {{spwide.get(), spb.get(), b.get()}, 1, "usage", "usage"},  // count first
      {{wide.get(), b.get()}, 1, "matrix must be square", "matrix must be square"},
      {{spwide.get(), b.get()}, 1, "matrix must be square", "matrix must be square"},
      {{wide.get(), spb.get()}, 1, "matrix must be square", "matrix must be square"},
      {{cube_wide.get(), b.get()}, 1, "matrix must be square", "matrix must be square"},
      {{sp.get(), b.get()}, 1, kSparseSub, kSparseBack},
      {{sq.get(), spb.get()}, 1, kSparseSub, "id:sparse"},
      {{sp.get(), cube.get()}, 1, kSparseSub, kSparseBack},
      {{cube.get(), b.get()}, 1, "Arguments must be matrices.", "id:sizeMismatch"},  // 4 rows, b has 2
      {{sq.get(), bcube.get()}, 1, "Arguments must be matrices.", ""},  // backapply: 2-by-2 b
      {{single.get(), b.get()}, 1, "id:notDouble", "id:notDouble"},
      {{fh.get(), b.get()}, 1, "id:notDouble", "id:notDouble"},
      {{txt.get(), b.get()}, 1, "matrix must be square", "matrix must be square"},
      {{sq.get(), ints.get()}, 1, "id:notDouble", "id:notDouble"},
      {{sq.get(), cell.get()}, 1, "id:notDouble", "id:notDouble"},
      {{sq.get(), lgl.get()}, 1, "id:notDouble", "id:notDouble"},
      {{sq.get(), b3.get()}, 1, "id:sizeMismatch", "id:sizeMismatch"},
      {{sq.get(), b.get()}, 0, "", ""},
  };
  for (const Case &c : cases)
    for (h::Gateway *g : {&upper, &lower, &back}) {
      const std::string &want = g == &back ? c.back : c.subst;
      h::CallResult r = g->call(c.nlhs, c.in);
      const std::string where = g->name() + " case " + std::to_string(&c - cases.data());
      if (want.empty()) {
        EXPECT_TRUE(r.ok()) << where << ": " << message(r);
        EXPECT_NE(r.out(), nullptr) << where;  // nlhs = 0 still fills the first slot
      } else if (want == "usage") {
        EXPECT_EQ(message(r), "Usage: x = " + g->name() + "(T,b)") << where;
      } else if (want.rfind("id:", 0) == 0) {
        EXPECT_EQ(id(r), "gatebox:" + g->name() + ":" + want.substr(3)) << where << ": " << message(r);
      } else {
        EXPECT_EQ(message(r), want) << where;
      }
    }
}

TEST_F(Triangular, ShapesOfTheResult) {
  struct Case {
    std::vector<mwSize> t, b, x;
    bool subst_ok;
  };
  for (const Case &c : std::vector<Case>{{{0, 0}, {0, 3}, {0, 3}, true},
                                         {{0, 0}, {0, 0}, {0, 0}, true},
                                         {{3, 3}, {3, 0}, {3, 0}, true},
                                         {{1, 1}, {1, 4}, {1, 4}, true},
                                         {{2, 2}, {2, 2, 3}, {2, 6}, false}}) {  // N-D b: backapply only
    std::size_t nt = c.t[0] * c.t[1], nb = 1;
    for (mwSize d : c.b) nb *= static_cast<std::size_t>(d);
    std::vector<double> tv(nt, 2.0), bv(nb);
    for (std::size_t i = 0; i < nb; ++i) bv[i] = static_cast<double>(i) - 1.5;
    auto t = h::doubles(c.t, tv), b = h::doubles(c.b, bv);
    for (h::Gateway *g : {&upper, &lower, &back}) {
      h::CallResult r = g->call({t.get(), b.get()});
      if (g != &back && !c.subst_ok) {
        EXPECT_EQ(message(r), "Arguments must be matrices.");
        continue;
      }
      ASSERT_TRUE(r.ok()) << g->name() << ": " << message(r);
      EXPECT_EQ(h::dims(r.out()), c.x) << g->name();
      EXPECT_EQ(mxGetClassID(r.out()), mxDOUBLE_CLASS);
      EXPECT_FALSE(mxIsComplex(r.out()));
    }
  }
  // backapply on a 2-by-2-by-3 b equals backapply on the 2-by-6 matrix of it.
  auto t = h::matrix({{2, 0}, {1, 4}});
  std::vector<double> bv = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  auto b3 = h::doubles({2, 2, 3}, bv), b2 = h::doubles({2, 6}, bv);
  EXPECT_TRUE(same(solve(back, t.get(), b3.get()), solve(back, t.get(), b2.get())));
}

TEST_F(Triangular, ComplexInputsUseTheirRealParts) {
  auto t = h::complex({2, 2}, {2, 1, 3, 4}, {9, 9, 9, 9}), b = h::complex({2, 1}, {4, 8}, {1, -1});
  auto tr = h::matrix({{2, 3}, {1, 4}}), br = h::column({4, 8});
  for (h::Gateway *g : {&upper, &lower, &back}) {
    h::CallResult r = g->call({t.get(), b.get()});
    ASSERT_TRUE(r.ok()) << g->name();
    EXPECT_FALSE(mxIsComplex(r.out()));
    EXPECT_TRUE(same(h::values(r.out()), solve(*g, tr.get(), br.get()))) << g->name();
  }
}

// Random triangles with zeros of both signs, NaN and infinities, and NaN in
// the triangle that is not used; the gateways against the plain loops.
TEST_F(Triangular, MatchThePlainLoopsBitForBit) {
  std::mt19937_64 rng(11);
  std::uniform_real_distribution<double> u(-1, 1);
  std::uniform_int_distribution<int> pick(0, 49);
  const double odd[] = {0.0, -0.0, kNaN, kInf, -kInf, 1e-300};
  for (long m : {1L, 2L, 7L, 9L, 33L, 70L})
    for (long k : {1L, 3L, 13L, 67L}) {
      std::vector<double> tv(m * m), bv(m * k);
      for (long j = 0; j < m; ++j)
        for (long i = 0; i < m; ++i) tv[i + j * m] = i == j ? 1 + 0.5 * u(rng) : u(rng) / static_cast<double>(m);
      for (double &v : tv)
        if (pick(rng) == 0) v = odd[pick(rng) % 6];
      for (double &v : bv) v = pick(rng) < 5 ? odd[pick(rng) % 6] : u(rng);
      for (int which = 0; which < 3; ++which) {
        std::vector<double> tw = tv;
        const bool use_upper = which == 0 || (which == 2 && m > 1 && !(tw[1] != 0 && tw[1] == tw[1]));
        for (long j = 0; j < m; ++j)
          for (long i = 0; i < m; ++i)
            if (use_upper ? i > j : i < j) tw[i + j * m] = kNaN;  // the unused triangle
        std::vector<double> want = bv;
        if (which < 2)
          reference::trsm(which == 0, m, k, tw.data(), m, want.data(), m);
        else
          reference::rowsubst(!use_upper, tw.data(), m, want.data(), k);
        auto t = h::doubles({static_cast<mwSize>(m), static_cast<mwSize>(m)}, tw);
        auto b = h::doubles({static_cast<mwSize>(m), static_cast<mwSize>(k)}, bv);
        h::Gateway &g = which == 0 ? upper : which == 1 ? lower : back;
        EXPECT_TRUE(same(solve(g, t.get(), b.get()), want)) << g.name() << " m " << m << " k " << k;
        EXPECT_TRUE(same(h::values(b.get()), bv));  // the input is not changed
      }
    }
}

TEST_F(Triangular, SeveralColumnsEqualTheSingleColumnsSideBySide) {
  auto t = h::matrix({{3, 1, -2}, {0.5, 2, 1}, {1, -1, 4}});
  std::vector<double> bv = {1, 2, 3, -0.0, 5, 0, 7, 8, 9};
  auto b = h::doubles({3, 3}, bv);
  for (h::Gateway *g : {&upper, &lower, &back}) {
    std::vector<double> all = solve(*g, t.get(), b.get()), cols;
    for (int j = 0; j < 3; ++j) {
      auto bj = h::column({bv[3 * j], bv[3 * j + 1], bv[3 * j + 2]});
      std::vector<double> xj = solve(*g, t.get(), bj.get());
      cols.insert(cols.end(), xj.begin(), xj.end());
    }
    EXPECT_TRUE(same(all, cols)) << g->name();
  }
}

}  // namespace
