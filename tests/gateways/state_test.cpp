// The 'state' call forms of shapedraw, trialdraw and drawcounts through the
// own host: the state after known draws, setting it (exactly, to the
// load-time state, from a seed), refusals that change nothing, and each
// library's state its own.
#include "gatebox/host.hpp"
#include "util.h"

#include <cstring>
#include <gtest/gtest.h>

namespace h = gatebox::host;

namespace {

const std::string kBadState =
    "The state must be 0 (the initial state), a whole number from 1 to 4294967295 (a seed), "
    "or a 3-element vector of whole numbers [ix iy iz] with 1 <= ix <= 30268, 1 <= iy <= 30306 "
    "and 1 <= iz <= 30322.";
const std::string kStateArgs = "'state' takes at most one value: s = f('state') reads the state, f('state', s) sets it.";
const std::string kUnknown = "The only keyword is 'state': s = f('state') reads the state, f('state', s) sets it.";

std::vector<double> row3(const WHState &s) { return {double(s.ix), double(s.iy), double(s.iz)}; }

class State : public ::testing::Test {
 protected:
  h::Gateway shape{h::gateway_path("shapedraw")};
  h::Gateway trial{h::gateway_path("trialdraw")};
  h::Gateway counts{h::gateway_path("drawcounts")};
  std::vector<h::Gateway *> all{&shape, &trial, &counts};
  h::Array keyword = h::text("state"), one = h::scalar(1);
  std::size_t blocks0 = h::live_blocks(), arrays0 = h::live_arrays();
  void TearDown() override {
    EXPECT_EQ(h::live_blocks(), blocks0);
    EXPECT_EQ(h::live_arrays(), arrays0);
  }
  std::vector<double> get(h::Gateway &g) {
    h::CallResult r = g.call({keyword.get()});
    EXPECT_TRUE(r.ok()) << (r.ok() ? "" : r.error->message);
    if (!r.ok()) return {};
    EXPECT_TRUE(mxIsDouble(r.out()) && !mxIsComplex(r.out()));
    EXPECT_EQ(h::dims(r.out()), (std::vector<mwSize>{1, 3}));
    return h::values(r.out());
  }
  void set(h::Gateway &g, const mxArray *s) {
    h::CallResult r = g.call(0, {keyword.get(), s});
    ASSERT_TRUE(r.ok()) << r.error->id << " | " << r.error->message;
    EXPECT_EQ(r.out(), nullptr);  // no output unless one is asked for
  }
  // `count` draws of one uniform each: Gamma(1), Binomial(1, 0.51) by the
  // direct method, and two categories (one binomial, the rest to the last).
  std::vector<double> draw(h::Gateway &g, std::size_t count) {
    h::CallResult r = &g == &shape ? g.call({h::row(std::vector<double>(count, 1.0)).get()})
                      : &g == &trial ? g.call({h::row(std::vector<double>(count, 0.51)).get(), one.get()})
                                     : g.call({h::doubles({2, static_cast<mwSize>(count)}, pairs(count)).get(), one.get()});
    EXPECT_TRUE(r.ok()) << g.name();
    return r.ok() ? h::values(r.out()) : std::vector<double>{};
  }
  static std::vector<double> pairs(std::size_t count) {
    std::vector<double> p;
    for (std::size_t j = 0; j < count; ++j) p.insert(p.end(), {0.51, 0.49});
    return p;
  }
  // Values of one uniform draw in the stream drawn by draw().
  std::vector<double> tail(h::Gateway &g, const std::vector<double> &v, std::size_t skip) {
    std::size_t per = &g == &counts ? 2 : 1;
    return std::vector<double>(v.begin() + static_cast<long>(skip * per), v.end());
  }
};

// From the load-time state one uniform leaves (17271, 20637, 2082); setting
// that state gives the load-time stream shifted by one uniform; 'state', 0
// restores the load-time stream.
TEST_F(State, ReadSetAndResetFollowTheStream) {
  auto first_state = h::row({17271, 20637, 2082}), zero = h::scalar(0);
  for (h::Gateway *g : all) {
    EXPECT_EQ(get(*g), (std::vector<double>{101, 1001, 10001})) << g->name();
    std::vector<double> fresh = draw(*g, 12);
    g->reload();
    draw(*g, 1);
    EXPECT_EQ(get(*g), (std::vector<double>{17271, 20637, 2082})) << g->name();
    draw(*g, 5);
    set(*g, first_state.get());
    EXPECT_EQ(draw(*g, 11), tail(*g, fresh, 1)) << g->name();
    set(*g, zero.get());
    EXPECT_EQ(get(*g), (std::vector<double>{101, 1001, 10001})) << g->name();
    EXPECT_EQ(draw(*g, 12), fresh) << g->name();
  }
}

TEST_F(State, ASeedGivesItsStateAndTheSameStreamEveryTime) {
  auto seven = h::scalar(7), seven_i = h::numeric(mxINT32_CLASS, {1, 1}, {7}), eight = h::scalar(8);
  auto top = h::scalar(4294967295.0);
  for (h::Gateway *g : all) {
    set(*g, seven.get());
    EXPECT_EQ(get(*g), row3(SeedState(7))) << g->name();
    std::vector<double> a = draw(*g, 30);
    set(*g, seven_i.get());  // any numeric class
    EXPECT_EQ(draw(*g, 30), a) << g->name();
    set(*g, eight.get());
    EXPECT_NE(draw(*g, 30), a) << g->name();
    set(*g, top.get());
    EXPECT_EQ(get(*g), row3(SeedState(4294967295u))) << g->name();
  }
  // Exact states of other classes and shapes; asked for, the new state comes back.
  auto col = h::column({30268, 30306, 30322}), u16 = h::numeric(mxUINT16_CLASS, {1, 3}, {1, 1, 1});
  auto sgl = h::numeric(mxSINGLE_CLASS, {3, 1}, {5, 6, 7});
  set(trial, col.get());
  EXPECT_EQ(get(trial), (std::vector<double>{30268, 30306, 30322}));
  set(trial, u16.get());
  EXPECT_EQ(get(trial), (std::vector<double>{1, 1, 1}));
  h::CallResult r = trial.call(1, {keyword.get(), sgl.get()});
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(h::values(r.out()), (std::vector<double>{5, 6, 7}));
  EXPECT_EQ(get(trial), (std::vector<double>{5, 6, 7}));
}

// Every refusal after 'state', and every keyword but 'state', leaves the
// state where it was.
TEST_F(State, RefusalsChangeNothing) {
  auto k = h::scalar;
  std::vector<h::Array> bad;
  for (double v : std::vector<double>{-1.0, 0.5, 4294967296.0, NAN, INFINITY, -INFINITY}) bad.push_back(k(v));
  for (std::vector<double> v : std::vector<std::vector<double>>{{0, 1, 1}, {1, 30307, 1}, {1, 1, 30323},
                                                                  {30269, 1, 1}, {1.5, 2, 3}, {1, NAN, 3}, {1, 2}, {1, 2, 3, 4}})
    bad.push_back(h::row(v));
  bad.push_back(h::doubles({0, 0}));
  bad.push_back(h::doubles({1, 1, 3}, {1, 2, 3}));
  bad.push_back(h::matrix({{1, 2, 3}, {4, 5, 6}}));
  bad.push_back(h::complex({1, 1}, {5}, {1}));
  bad.push_back(h::sparse(1, 3, {1, 2, 3}));
  bad.push_back(h::logical({1, 1}, {true}));
  bad.push_back(h::text("abc"));
  bad.push_back(h::cell({1, 3}));
  bad.push_back(h::function_handle());
  bad.push_back(h::numeric(mxINT8_CLASS, {1, 1}, {-3}));
  auto seed = h::scalar(3), extra = h::scalar(1);
  std::vector<h::Array> words;
  for (const char *w : {"State", "seed", "twister", "ab", "states", "stat"}) words.push_back(h::text(w));
  for (h::Gateway *g : all) {
    set(*g, seed.get());
    draw(*g, 3);
    const std::vector<double> before = get(*g);
    const std::string id = "gatebox:" + g->name() + ":";
    for (std::size_t i = 0; i < bad.size(); ++i) {
      h::CallResult r = g->call({keyword.get(), bad[i].get()});
      ASSERT_FALSE(r.ok()) << "value " << i;
      EXPECT_EQ(r.error->id + " | " + r.error->message, id + "badState | " + kBadState) << "value " << i;
    }
    h::CallResult r = g->call({keyword.get(), seed.get(), extra.get()});
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error->id + " | " + r.error->message, id + "badState | " + kStateArgs);
    for (const h::Array &w : words)
      for (std::vector<const mxArray *> in : {std::vector<const mxArray *>{w.get()}, {w.get(), seed.get()}}) {
        r = g->call(in);
        ASSERT_FALSE(r.ok());
        EXPECT_EQ(r.error->id + " | " + r.error->message, id + "unknownKeyword | " + kUnknown);
      }
    EXPECT_EQ(get(*g), before) << g->name();
  }
}

// Setting one library's state leaves the others where they are; a reload
// starts a library from the load-time state again.
TEST_F(State, EachLibraryKeepsItsOwnState) {
  auto five = h::scalar(5);
  set(trial, five.get());
  EXPECT_EQ(get(shape), (std::vector<double>{101, 1001, 10001}));
  EXPECT_EQ(get(counts), (std::vector<double>{101, 1001, 10001}));
  draw(counts, 4);
  EXPECT_EQ(get(trial), row3(SeedState(5)));
  // Different seeds give the three functions different streams (from the
  // load-time state their counts coincide).
  auto p = h::row(std::vector<double>(2000, 0.3)), pc = h::doubles({2, 2000}, [] {
    std::vector<double> v;
    for (int j = 0; j < 2000; ++j) v.insert(v.end(), {0.3, 0.7});
    return v;
  }());
  auto twenty = h::scalar(20), six = h::scalar(6);
  set(counts, six.get());
  std::vector<double> t = h::values(trial.call({p.get(), twenty.get()}).out());
  std::vector<double> c = h::values(counts.call({pc.get(), twenty.get()}).out()), first_row;
  for (std::size_t j = 0; j < c.size(); j += 2) first_row.push_back(c[j]);
  EXPECT_NE(t, first_row);
  trial.reload();
  EXPECT_EQ(get(trial), (std::vector<double>{101, 1001, 10001}));
}

}  // namespace
