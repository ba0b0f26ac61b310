// The tilearray gateway, current and R12 builds, through the own host.
//
// Reference: output element (j1, ..., jD) is input element (j1 mod dims[0],
// ..., jd mod dims[d-1]), computed here index by index and compared byte for
// byte, so every class (raw bytes, NaN patterns included) is checked alike.
#include "gatebox/host.hpp"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <random>

namespace h = gatebox::host;

namespace {

const char kUsage[] = "Usage: tilearray(A, [M N ...])";
const char kUsageR12[] = "Usage: tilearray(A, [N M ...])";

// The host's shape rule: at least two dimensions, trailing ones beyond dropped.
std::vector<mwSize> host_shape(std::vector<mwSize> d) {
  while (d.size() > 2 && d.back() == 1) d.pop_back();
  return d;
}

// An array of class `cls` with pseudo-random bytes in every block.
h::Array random_array(mxClassID cls, const std::vector<mwSize> &dims, bool cplx, unsigned seed) {
  mxArray *a;
  if (cls == mxLOGICAL_CLASS) a = mxCreateLogicalArray(static_cast<mwSize>(dims.size()), dims.data());
  else if (cls == mxCHAR_CLASS) a = mxCreateCharArray(static_cast<mwSize>(dims.size()), dims.data());
  else a = mxCreateNumericArray(static_cast<mwSize>(dims.size()), dims.data(), cls, cplx ? mxCOMPLEX : mxREAL);
  h::Array arr(a);
  std::mt19937 rng(seed);
  std::size_t bytes = mxGetNumberOfElements(a) * mxGetElementSize(a);
  for (void *block : {mxGetData(a), cplx ? mxGetImagData(a) : nullptr}) {
    auto *p = static_cast<unsigned char *>(block);
    for (std::size_t i = 0; p && i < bytes; ++i) p[i] = cls == mxLOGICAL_CLASS ? rng() & 1 : rng() & 0xff;
  }
  return arr;
}

// The tiled image of `block` (input dims padded to the count list's length).
std::vector<unsigned char> reference(const void *block, std::vector<mwSize> dims, const std::vector<mwSize> &counts,
                                     std::size_t e) {
  dims.resize(std::max(dims.size(), counts.size()), 1);
  std::size_t total = 1;
  for (std::size_t i = 0; i < dims.size(); ++i) total *= static_cast<std::size_t>(dims[i] * (i < counts.size() ? counts[i] : 1));
  std::vector<unsigned char> out(total * e);
  for (std::size_t lin = 0; lin < total; ++lin) {
    std::size_t rest = lin, src = 0, stride = 1;
    for (std::size_t i = 0; i < dims.size(); ++i) {
      std::size_t od = static_cast<std::size_t>(dims[i] * (i < counts.size() ? counts[i] : 1));
      std::size_t j = rest % od;
      rest /= od;
      src += (j % static_cast<std::size_t>(dims[i])) * stride;
      stride *= static_cast<std::size_t>(dims[i]);
    }
    std::memcpy(&out[lin * e], static_cast<const unsigned char *>(block) + src * e, e);
  }
  return out;
}

class Tilearray : public ::testing::Test {
 protected:
  h::Gateway g{h::gateway_path("tilearray")};
  h::Gateway g12{h::gateway_path("tilearray", "r12")};
  std::size_t blocks0 = h::live_blocks();
  void TearDown() override { EXPECT_EQ(h::live_blocks(), blocks0); }

  // Tiles `a` with the count arguments and checks shape, class and bytes
  // against the expected count list.
  static void expect_tiled(h::Gateway &gw, const mxArray *a, const std::vector<const mxArray *> &args,
                           const std::vector<mwSize> &counts) {
    std::vector<const mxArray *> in{a};
    in.insert(in.end(), args.begin(), args.end());
    h::CallResult r = gw.call(in);
    ASSERT_TRUE(r.ok()) << r.error->message;
    const mxArray *b = r.out();
    std::vector<mwSize> dims = h::dims(a), want = dims;
    want.resize(std::max(dims.size(), counts.size()), 1);
    for (std::size_t i = 0; i < counts.size(); ++i) want[i] *= counts[i];
    ASSERT_EQ(h::dims(b), host_shape(want));
    ASSERT_EQ(mxGetClassID(b), mxGetClassID(a));
    ASSERT_EQ(mxIsComplex(b), mxIsComplex(a));
    std::size_t e = mxGetElementSize(a), n = mxGetNumberOfElements(b);
    if (n == 0) return;
    std::vector<unsigned char> re = reference(mxGetData(a), dims, counts, e);
    ASSERT_EQ(std::memcmp(mxGetData(b), re.data(), n * e), 0) << "real part";
    if (mxIsComplex(a)) {
      std::vector<unsigned char> im = reference(mxGetImagData(a), dims, counts, e);
      ASSERT_EQ(std::memcmp(mxGetImagData(b), im.data(), n * e), 0) << "imaginary part";
    }
  }
};

TEST_F(Tilearray, VersionStrings) {
  EXPECT_EQ(g.version(), "MATLAB R13 native");
  EXPECT_EQ(g12.version(), "MATLAB R12 native");
}

// Call forms and the count lists they give, in both builds.
TEST_F(Tilearray, CallFormsGiveTheirCountLists) {
  struct Case {
    const char *what;
    std::vector<mwSize> a;
    std::vector<h::Array> args;
    std::vector<mwSize> counts, counts_r12;  // empty r12 list: same as counts
  };
  std::vector<Case> cases;
  auto add = [&](const char *what, std::vector<mwSize> a, std::vector<h::Array> args, std::vector<mwSize> c,
                 std::vector<mwSize> c12 = {}) {
    cases.push_back(Case{what, std::move(a), std::move(args), std::move(c), std::move(c12)});
  };
  std::vector<h::Array> v;
  v.push_back(h::scalar(3));
  add("single count tiles both ways", {2, 4}, std::move(v), {3, 3});
  v.clear(); v.push_back(h::scalar(3));
  add("single count on 3-D", {2, 4, 5}, std::move(v), {3, 3});
  v.clear(); v.push_back(h::row({2, 3}));
  add("two counts on 3-D leave the third", {2, 2, 2}, std::move(v), {2, 3});
  v.clear(); v.push_back(h::row({1, 1, 4}));
  add("extra factor", {2, 3}, std::move(v), {1, 1, 4});
  v.clear(); v.push_back(h::row({2, 1, 3, 2}));
  add("extra factor over two added dims", {2, 3}, std::move(v), {2, 1, 3, 2});
  v.clear(); v.push_back(h::column({2, 3}));
  add("column vector: one column, first value doubled", {2, 3}, std::move(v), {2, 2});
  v.clear(); v.push_back(h::doubles({1, 2, 2}, {2, 1, 3, 2}));
  add("3-D count vector: all columns", {2, 3}, std::move(v), {2, 1, 3, 2});
  v.clear(); v.push_back(h::doubles({2, 2}, {2, 9, 3, 9}));
  add("2-by-2 count matrix: first N stored values", {2, 3}, std::move(v), {2, 9});
  v.clear(); v.push_back(h::doubles({0, 0}));
  add("empty count vector", {2, 3}, std::move(v), {});
  v.clear(); v.push_back(h::doubles({0, 3}));
  add("0-by-3 count vector has no counts", {2, 3}, std::move(v), {});
  v.clear(); v.push_back(h::scalar(1));
  add("count 1 copies", {2, 3}, std::move(v), {1, 1});
  v.clear(); v.push_back(h::scalar(2.9));
  add("truncation toward zero", {2, 3}, std::move(v), {2, 2});
  v.clear(); v.push_back(h::row({0.5, 3}));
  add("count below one is zero", {2, 3}, std::move(v), {0, 3});
  v.clear(); v.push_back(h::row({-0.5, 3}));
  add("negative fraction truncates to zero", {2, 3}, std::move(v), {0, 3});
  v.clear(); v.push_back(h::row({2, 2}));
  add("empty A", {0, 3}, std::move(v), {2, 2});
  v.clear(); v.push_back(h::scalar(2)); v.push_back(h::scalar(3));
  add("two scalars", {2, 3}, std::move(v), {2, 3});
  v.clear(); v.push_back(h::scalar(3)); v.push_back(h::doubles({0, 0}));
  add("lone count among several is not doubled", {2, 4}, std::move(v), {3}, {3, 0});
  v.clear(); v.push_back(h::row({2, 3})); v.push_back(h::scalar(4));
  add("every element of every argument", {2, 3}, std::move(v), {2, 3, 4}, {2, 4});
  v.clear(); v.push_back(h::scalar(2)); v.push_back(h::column({3, 5})); v.push_back(h::scalar(2));
  add("arguments after arguments", {2, 3}, std::move(v), {2, 3, 5, 2}, {2, 3, 2});

  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    auto a = random_array(mxDOUBLE_CLASS, c.a, true, 7);
    std::vector<const mxArray *> args;
    for (const auto &x : c.args) args.push_back(x.get());
    expect_tiled(g, a.get(), args, c.counts);
    if (c.counts_r12 == std::vector<mwSize>{3, 0}) continue;  // the R12 build refuses it: see below
    expect_tiled(g12, a.get(), args, c.counts_r12.empty() ? c.counts : c.counts_r12);
  }
}

// Every class, real and complex, over shapes that take every path of the
// walk: odd and even counts of block doubling along each dimension, the extra
// factor, singleton dimensions inside the array, rows, columns.
TEST_F(Tilearray, EveryClassRealAndComplexMatchesTheReference) {
  struct Shape {
    std::vector<mwSize> a, counts;
  };
  std::vector<Shape> shapes;
  for (mwSize c = 1; c <= 9; ++c) {
    shapes.push_back({{2, 3}, {c, 1}});
    shapes.push_back({{2, 3}, {1, c}});
    shapes.push_back({{2, 3}, {1, 1, c}});
    shapes.push_back({{3, 2, 2}, {2, 1, c}});
  }
  shapes.push_back({{3, 1, 1, 2}, {2, 2, 3, 1, 2}});
  shapes.push_back({{1, 5}, {4, 1}});
  shapes.push_back({{5, 1}, {7, 7}});
  shapes.push_back({{1, 1}, {13, 11, 2}});
  shapes.push_back({{4, 3, 2}, {2, 3, 2, 2}});
  const mxClassID numeric[] = {mxDOUBLE_CLASS, mxSINGLE_CLASS, mxINT8_CLASS,   mxUINT8_CLASS,
                               mxINT16_CLASS,  mxUINT16_CLASS, mxINT32_CLASS,  mxUINT32_CLASS,
                               mxINT64_CLASS,  mxUINT64_CLASS, mxLOGICAL_CLASS, mxCHAR_CLASS};
  unsigned seed = 1;
  for (mxClassID cls : numeric) {
    for (bool cplx : {false, true}) {
      if (cplx && (cls == mxLOGICAL_CLASS || cls == mxCHAR_CLASS)) continue;
      for (const Shape &s : shapes) {
        SCOPED_TRACE(testing::Message() << "class " << cls << " complex " << cplx << " counts " << s.counts.size()
                                        << ":" << s.counts[0] << "," << s.counts[1]);
        auto a = random_array(cls, s.a, cplx, seed++);
        std::vector<double> cv(s.counts.begin(), s.counts.end());
        auto counts = h::row(cv);
        expect_tiled(g, a.get(), {counts.get()}, s.counts);
      }
    }
  }
}

// Thousands of singleton dimensions inside A: the walk skips them, so it
// neither recurses deeply nor loops over them per column.
TEST_F(Tilearray, ManySingletonDimensions) {
  std::vector<mwSize> dims(3000, 1);
  dims.front() = 2;
  dims.back() = 3;
  auto a = random_array(mxDOUBLE_CLASS, dims, false, 3);
  std::vector<mwSize> counts(3002, 1);
  counts[0] = 2;
  counts[1] = 3;
  counts[2999] = 2;
  counts[3001] = 2;
  std::vector<double> cv(counts.begin(), counts.end());
  auto c = h::row(cv);
  expect_tiled(g, a.get(), {c.get()}, counts);
}

// Counts of any numeric or logical class are read by value.
TEST_F(Tilearray, CountsOfEveryNumericClass) {
  auto a = random_array(mxDOUBLE_CLASS, {2, 3}, false, 5);
  for (mxClassID cls : {mxSINGLE_CLASS, mxINT8_CLASS, mxUINT8_CLASS, mxINT16_CLASS, mxUINT16_CLASS, mxINT32_CLASS,
                        mxUINT32_CLASS, mxINT64_CLASS, mxUINT64_CLASS}) {
    SCOPED_TRACE(testing::Message() << "count class " << cls);
    auto c = h::numeric(cls, {1, 3}, {2, 3, 2});
    expect_tiled(g, a.get(), {c.get()}, {2, 3, 2});
    expect_tiled(g12, a.get(), {c.get()}, {2, 3, 2});
  }
  auto l = h::logical({1, 2}, {true, false});
  expect_tiled(g, a.get(), {l.get()}, {1, 0});
  auto z = h::complex({1, 2}, {3, 2}, {-7, 9});  // the real parts
  expect_tiled(g, a.get(), {z.get()}, {3, 2});
}

// Refusals: the fixed messages in their order, then the checks added for
// unsafe input, each before any output exists.
TEST_F(Tilearray, RefusalsInOrderBeforeAnyOutput) {
  auto a = h::matrix({{1, 2, 3}, {4, 5, 6}});
  auto two = h::scalar(2), sp = h::sparse(2, 2, {1, 0, 0, 1}), cl = h::cell({1, 2});
  auto st = h::structure({1, 1}, {"f"}), fh = h::function_handle(), txt = h::text("ab");
  auto neg = h::scalar(-1), nan = h::scalar(NAN), inf = h::scalar(INFINITY), ninf = h::scalar(-INFINITY);
  auto big = h::scalar(2147483648.0), mixed = h::row({2, -3}), huge64 = h::numeric(mxINT64_CLASS, {1, 1}, {1e12});
  auto wide = h::row({2147483647.0, 2147483647.0, 2147483647.0});
  auto wide0 = h::row({2147483647.0, 2147483647.0, 2147483647.0, 2147483647.0, 0});
  auto empty = h::doubles({0, 0}), empty_sp = h::sparse(1, 5);
  struct Case {
    std::vector<const mxArray *> args;
    std::string id, message, message_r12;  // id empty: a fixed message without identifier
  };
  const std::vector<Case> cases = {
      {{}, "", kUsage, kUsageR12},
      {{a.get()}, "", kUsage, kUsageR12},
      {{cl.get()}, "", kUsage, kUsageR12},
      {{sp.get(), two.get()}, "", "Sorry, can't handle sparse matrices yet.", ""},
      {{cl.get(), two.get()}, "", "Sorry, can't handle cell arrays yet.", ""},
      {{st.get(), two.get()}, "gatebox:tilearray:badClass", "", ""},
      {{fh.get(), two.get()}, "gatebox:tilearray:badClass", "", ""},
      {{a.get(), sp.get()}, "gatebox:tilearray:badCountClass", "", ""},
      {{a.get(), empty_sp.get()}, "gatebox:tilearray:badCountClass", "", ""},
      {{a.get(), txt.get()}, "gatebox:tilearray:badCountClass", "", ""},
      {{a.get(), cl.get()}, "gatebox:tilearray:badCountClass", "", ""},
      {{a.get(), two.get(), st.get()}, "gatebox:tilearray:badCountClass", "", ""},
      {{a.get(), fh.get()}, "gatebox:tilearray:badCountClass", "", ""},
      {{a.get(), neg.get()}, "gatebox:tilearray:badCount", "", ""},
      {{a.get(), nan.get()}, "gatebox:tilearray:badCount", "", ""},
      {{a.get(), inf.get()}, "gatebox:tilearray:badCount", "", ""},
      {{a.get(), ninf.get()}, "gatebox:tilearray:badCount", "", ""},
      {{a.get(), big.get()}, "gatebox:tilearray:badCount", "", ""},
      {{a.get(), mixed.get()}, "gatebox:tilearray:badCount", "", ""},
      {{a.get(), two.get(), huge64.get()}, "gatebox:tilearray:badCount", "", ""},
      {{a.get(), wide.get()}, "gatebox:tilearray:tooLarge", "", ""},
      {{a.get(), wide0.get()}, "gatebox:tilearray:tooLarge", "", ""},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const Case &c = cases[i];
    for (h::Gateway *gw : {&g, &g12}) {
      SCOPED_TRACE(testing::Message() << "case " << i << (gw == &g12 ? " (R12)" : ""));
      std::size_t arrays = h::live_arrays();
      h::CallResult r = gw->call(c.args);
      ASSERT_FALSE(r.ok());
      EXPECT_EQ(r.out(), nullptr);
      EXPECT_EQ(h::live_arrays(), arrays);
      if (c.id.empty()) {
        EXPECT_EQ(r.error->message, gw == &g12 && !c.message_r12.empty() ? c.message_r12 : c.message);
      } else {
        EXPECT_EQ(r.error->id, c.id);
        EXPECT_FALSE(r.error->message.empty());
      }
    }
  }
  // The R12 build takes the first element of each count argument: an empty
  // argument has none.
  h::CallResult r = g12.call({a.get(), two.get(), empty.get()});
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error->id, "gatebox:tilearray:emptyCount");
}

// Random calls against a model of the count list: any numeric or logical
// class and shape of count argument, counts valid and not; the gateway must
// give the model's result or its documented refusal, and leave nothing behind.
TEST_F(Tilearray, RandomCallsAgreeWithTheModel) {
  std::mt19937 rng(2026);
  const mxClassID classes[] = {mxDOUBLE_CLASS, mxSINGLE_CLASS, mxINT8_CLASS, mxUINT16_CLASS, mxINT64_CLASS,
                               mxLOGICAL_CLASS, mxCHAR_CLASS};
  const double values[] = {0, 1, 2, 3, 4, 2.9, 0.5, -0.5, -1, NAN, INFINITY, 2147483648.0};
  int refused = 0, tiled = 0;
  for (int call = 0; call < 400; ++call) {
    std::vector<mwSize> adims(2 + rng() % 3);
    for (mwSize &d : adims) d = static_cast<mwSize>(rng() % 4);
    mxClassID cls = classes[rng() % 7];
    bool cplx = cls != mxLOGICAL_CLASS && cls != mxCHAR_CLASS && rng() % 3 == 0;
    auto a = random_array(cls, adims, cplx, static_cast<unsigned>(call));
    bool r12 = rng() % 4 == 0;
    int nargs = 1 + static_cast<int>(rng() % 3);
    std::vector<h::Array> args;
    std::vector<std::vector<double>> stored;
    for (int j = 0; j < nargs; ++j) {
      std::vector<mwSize> cd = {static_cast<mwSize>(rng() % 3), static_cast<mwSize>(rng() % 4)};
      std::vector<double> v(static_cast<std::size_t>(cd[0] * cd[1]));
      for (double &x : v) x = values[rng() % (rng() % 8 == 0 ? 12 : 5)];
      mxClassID ccls = rng() % 4 == 0 ? mxINT16_CLASS : mxDOUBLE_CLASS;
      bool small = true;
      for (double x : v) small &= x >= 0 && x <= 4;
      if (!small) ccls = mxDOUBLE_CLASS;  // keep the stored values as given
      args.push_back(h::numeric(ccls, cd, v));
      stored.push_back(v);
      if (ccls == mxINT16_CLASS)
        for (double &x : stored.back()) x = std::round(x);  // the host rounds when it stores integers
    }
    // The model: the count list and whether it is valid.
    std::vector<double> list;
    bool empty_arg = false;
    if (nargs == 1) {
      std::size_t n = static_cast<std::size_t>(mxGetN(args[0].get()));
      for (std::size_t i = 0; i < std::min(n, stored[0].size()); ++i) list.push_back(stored[0][i]);
      if (list.size() == 1) list.push_back(list[0]);
    } else {
      for (const auto &v : stored) {
        if (r12) {
          if (v.empty()) empty_arg = true;
          else list.push_back(v[0]);
        } else {
          list.insert(list.end(), v.begin(), v.end());
        }
      }
    }
    bool valid = true;
    std::vector<mwSize> counts;
    for (double x : list) {
      double t = std::trunc(x);
      valid &= t >= 0 && t <= 2147483647.0;
      counts.push_back(valid ? static_cast<mwSize>(t) : 0);
    }
    std::vector<const mxArray *> argp;
    for (const auto &x : args) argp.push_back(x.get());
    h::Gateway &gw = r12 ? g12 : g;
    SCOPED_TRACE(testing::Message() << "call " << call);
    if (empty_arg || !valid) {
      std::vector<const mxArray *> in{a.get()};
      in.insert(in.end(), argp.begin(), argp.end());
      h::CallResult r = gw.call(in);
      ASSERT_FALSE(r.ok());
      // Empty arguments of the R12 build are found before any count is read.
      EXPECT_EQ(r.error->id, empty_arg ? "gatebox:tilearray:emptyCount" : "gatebox:tilearray:badCount");
      ++refused;
    } else {
      expect_tiled(gw, a.get(), argp, counts);
      ++tiled;
    }
  }
  EXPECT_GT(refused, 40);
  EXPECT_GT(tiled, 200);
}

}  // namespace
