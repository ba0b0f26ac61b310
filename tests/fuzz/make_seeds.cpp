// Writes the seed corpus of every gateway: fuzz_seeds <corpus-dir>.
//
// Each seed is one argument list in the decoder's format: the documented
// calls and refusals of a gateway, its edge cases (empty and N-D arrays,
// special values, huge sizes that cannot be allocated, every class), so that
// fuzzing starts from calls that reach every branch of the argument checks.
#include "argument_decoder.hpp"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace fz = gatebox::fuzz;
using fz::CallPlan;
using fz::Plan;

namespace {

const double kNaN = NAN, kInf = INFINITY;

Plan cplx(std::vector<std::uint64_t> d, std::vector<double> re, std::vector<double> im) {
  Plan s = fz::real(std::move(d), std::move(re));
  s.complex = true;
  s.im = std::move(im);
  return s;
}
Plan sparse(std::uint64_t m, std::uint64_t n, std::vector<double> v) { return fz::of(fz::kSparse, {m, n}, std::move(v)); }
Plan handle() { return fz::of(fz::kFunctionHandle, {1, 1}); }
Plan cell_of(Plan inner) {
  Plan s = fz::of(fz::kCell, {1, 2});
  s.elems.push_back({1, std::move(inner)});
  return s;
}
Plan struct_of(Plan inner) {
  Plan s = fz::of(fz::kStruct, {1, 1});
  s.fields = 2;
  s.elems.push_back({0x40, std::move(inner)});  // element 0, field "b"
  return s;
}

CallPlan call(std::vector<Plan> in, int nlhs = 1) {
  CallPlan c;
  c.inputs = std::move(in);
  c.nlhs = nlhs;
  return c;
}
CallPlan with_flop(CallPlan c, Plan flop) {
  c.has_flopcount = true;
  c.flopcount = std::move(flop);
  return c;
}

// Inputs every gateway meets in its first argument: every class, empty and
// huge-but-empty shapes, N-D arrays, special values.
std::vector<Plan> odd_arrays() {
  std::vector<Plan> v;
  for (fz::Kind k : {fz::kSingle, fz::kInt8, fz::kUint8, fz::kInt16, fz::kUint16, fz::kInt32, fz::kUint32, fz::kInt64,
                     fz::kUint64, fz::kLogical, fz::kChar})
    v.push_back(fz::of(k, {2, 3}, {1, -1, 0.5, kNaN, 300}));
  v.push_back(cell_of(fz::scalar(1)));
  v.push_back(struct_of(fz::scalar(2)));
  v.push_back(handle());
  v.push_back(sparse(3, 3, {0, 1, 0, 2}));
  v.push_back(fz::of(fz::kSparseLogical, {2, 2}, {1, 0}));
  v.push_back(fz::real({0, 0}));
  v.push_back(fz::real({0, 4294967296ull}));
  v.push_back(fz::real({2147483648ull, 0, 3}));
  v.push_back(fz::real({0, 1ull << 40, 4096}));
  v.push_back(fz::real({2, 3, 4}, {1, 2.5, -0.0, kInf}));
  v.push_back(fz::real({1, 6}, {0.0, -0.0, kNaN, kInf, -kInf, 5e-324}));
  v.push_back(cplx({2, 2}, {1, 2}, {kNaN, -1}));
  v.push_back(fz::of(fz::kInt32, {2, 2}, {1, 2}));
  return v;
}

using Corpus = std::map<std::string, std::vector<CallPlan>>;

void elementwise(Corpus &c, const std::string &name, std::vector<double> values) {
  auto &s = c[name];
  s.push_back(call({}));
  s.push_back(call({fz::scalar(1), fz::scalar(2)}));
  s.push_back(call({fz::real({1, values.size()}, values)}));
  s.push_back(call({fz::real({2, 3, 2}, values)}, 0));
  s.push_back(call({fz::real({64, 64}, values)}, 3));
  for (const Plan &a : odd_arrays()) s.push_back(call({a}));
}

void with_trials(Corpus &c, const std::string &name) {
  auto &s = c[name];
  s.push_back(call({fz::scalar(0.5)}));
  s.push_back(call({fz::scalar(0.5), fz::scalar(3), fz::scalar(1)}));
  s.push_back(call({fz::real({1, 4}, {0, 0.25, 1, 0.5}), fz::scalar(10.7)}));
  s.push_back(call({fz::real({4, 1}, {0.5, 0.5, 0, 0}), fz::scalar(100)}));
  s.push_back(call({fz::real({3, 1}, {0.2, 0.3, 99}), fz::scalar(12)}));
  s.push_back(call({fz::real({3, 2}, {kNaN, 0.5, 0.5, 2, -1, 0.5}), fz::scalar(7)}));
  s.push_back(call({fz::real({1, 5}, {0.5}), fz::scalar(1e6)}));
  s.push_back(call({fz::real({2, 2}, {0.5}), fz::real({1, 2}, {3, 4})}));
  s.push_back(call({fz::real({2, 2}, {0.5}), fz::real({0, 0})}));
  s.push_back(call({sparse(2, 2, {0.5}), fz::real({1, 2}, {1, 2})}));
  s.push_back(call({sparse(2, 2, {0.5}), fz::scalar(3)}));
  s.push_back(call({fz::real({0, 3}), fz::scalar(5)}));
  s.push_back(call({fz::real({3, 0}), fz::scalar(5)}));
  for (double n : {-1.0, -0.5, kNaN, kInf, -kInf, 2147483648.0, -2147483649.0, 1e300})
    s.push_back(call({fz::real({2, 1}, {0.3, 0.7}), fz::scalar(n)}));
  for (const Plan &a : odd_arrays()) {
    s.push_back(call({a, fz::scalar(4)}));
    s.push_back(call({fz::real({2, 1}, {0.5}), a}));
  }
}

void triangular(Corpus &c, const std::string &name) {
  auto &s = c[name];
  Plan t = fz::real({2, 2}, {2, 0, 1, 4}), b = fz::real({2, 1}, {4, 8});
  s.push_back(call({t}));
  s.push_back(call({t, b, b}));
  s.push_back(call({t, b}, 2));
  s.push_back(call({t, b}, 0));
  s.push_back(call({t, b}));
  s.push_back(call({fz::real({2, 2}, {2, 1, 0, 4}), b}));
  s.push_back(call({fz::real({3, 3}, {2, 0, 1, 0, 4, 0, 0, 0, 5}), fz::real({3, 1}, {2, 4, 6})}));
  s.push_back(call({fz::real({2, 2}, {0, 0, 0, 1}), fz::real({2, 1}, {0, 1})}));
  s.push_back(call({fz::real({2, 2}, {2, kNaN, kNaN, 4}), fz::real({2, 3}, {1, 2, 3})}));
  s.push_back(call({fz::real({0, 0}), fz::real({0, 3})}));
  s.push_back(call({fz::real({0, 0}), fz::real({5, 3})}));
  s.push_back(call({fz::real({1, 1}, {4}), fz::real({1, 2, 3}, {8})}));
  s.push_back(call({fz::real({2, 3}), sparse(2, 1, {1})}));
  s.push_back(call({sparse(2, 2, {1, 0, 0, 1}), b}));
  s.push_back(call({t, sparse(2, 1, {1})}));
  s.push_back(call({fz::real({2, 1, 2}, {1, 0, 0, 1}), b}));
  s.push_back(call({fz::real({4, 2, 2}, {1}), fz::real({4, 1}, {1})}));
  s.push_back(call({t, fz::real({2, 2, 2}, {1})}));
  s.push_back(call({t, fz::real({1, 1}, {1})}));   // b with fewer rows than T
  s.push_back(call({fz::real({3, 3}, {1}), fz::real({2, 5}, {1})}));
  s.push_back(call({cplx({2, 2}, {2, 0, 1, 4}, {1}), cplx({2, 1}, {4, 8}, {kNaN})}));
  s.push_back(call({t, fz::real({2, 4294967296ull}, {1})}));
  s.push_back(call({fz::real({0, 0}), fz::real({0, 1ull << 40})}));
  for (const Plan &a : odd_arrays()) {
    s.push_back(call({a, b}));
    s.push_back(call({t, a}));
  }
  CallPlan alias = call({t, t});
  alias.alias_first = true;
  s.push_back(alias);
}

void tilearray(Corpus &c) {
  auto &s = c["tilearray"];
  Plan a = fz::real({2, 4}, {1, 2, 3, 4, 5, 6, 7, 8});
  s.push_back(call({}));
  s.push_back(call({a}));
  s.push_back(call({sparse(2, 2, {1}), fz::scalar(2)}));
  s.push_back(call({cell_of(fz::scalar(1)), fz::scalar(2)}));
  s.push_back(call({a, fz::scalar(1)}));
  s.push_back(call({a, fz::real({0, 0})}));
  s.push_back(call({a, fz::scalar(3)}));
  s.push_back(call({fz::real({2, 4, 5}, {1, 2, 3}), fz::scalar(3)}));
  s.push_back(call({fz::real({2, 2, 2}, {1, 2, 3, 4, 5}), fz::real({1, 2}, {2, 3})}));
  s.push_back(call({fz::real({2, 3}, {1, 2, 3, 4, 5, 6}), fz::real({1, 3}, {1, 1, 4})}));
  s.push_back(call({a, fz::real({2, 1}, {2, 3})}));
  s.push_back(call({a, fz::real({1, 3}, {0, 2, 3})}));
  s.push_back(call({a, fz::scalar(0.5)}));
  s.push_back(call({fz::real({0, 3}), fz::real({1, 2}, {2, 3})}));
  s.push_back(call({cplx({2, 2}, {1, 2, 3, 4}, {-1, -2}), fz::real({1, 2}, {2, 2})}));
  for (double n : {5.0, 6.0, 7.0}) s.push_back(call({a, fz::real({1, 2}, {n, 1})}));
  s.push_back(call({a, fz::scalar(3), fz::real({0, 0})}));
  s.push_back(call({a, fz::scalar(2), fz::scalar(3), fz::real({1, 2}, {1, 2})}));
  s.push_back(call({a, fz::real({0, 5})}));
  s.push_back(call({a, fz::scalar(2), fz::real({0, 1})}));
  // Counts that are negative, NaN, beyond 32 bits, or whose products overflow.
  for (double n : {-1.0, -0.5, kNaN, kInf, 2147483647.0, 2147483648.0, 4294967296.0, 1e300, 46341.0, 65536.0})
    s.push_back(call({a, fz::real({1, 2}, {n, 2})}));
  s.push_back(call({fz::scalar(1), fz::real({1, 3}, {65536, 65536, 65536})}));
  s.push_back(call({fz::scalar(1), fz::real({1, 2}, {2147483647.0, 2147483647.0})}));
  s.push_back(call({fz::real({0, 1ull << 40}), fz::real({1, 2}, {2, 4294967296.0})}));
  s.push_back(call({fz::real({0, 4294967296ull}), fz::real({1, 2}, {3, 3})}));
  for (fz::Kind k : {fz::kSingle, fz::kInt8, fz::kUint16, fz::kInt32, fz::kUint64, fz::kLogical, fz::kChar})
    s.push_back(call({fz::of(k, {2, 3}, {1, 2, 3}), fz::real({1, 3}, {2, 1, 3})}));
  Plan ci = fz::of(fz::kInt16, {2, 2}, {1, 2, 3, 4});
  ci.complex = true;
  ci.im = {5, 6};
  s.push_back(call({ci, fz::scalar(3)}));
  for (const Plan &x : odd_arrays()) {
    s.push_back(call({x, fz::real({1, 2}, {2, 1})}));
    s.push_back(call({a, x}));
  }
}

void axisfold(Corpus &c) {
  auto &s = c["axisfold"];
  Plan flop = fz::scalar(0);
  std::vector<double> v = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  s.push_back(with_flop(call({fz::real({3, 4}, v), fz::real({1, 2}, {1, 2})}), flop));
  s.push_back(with_flop(call({fz::real({3, 4}, v), fz::scalar(1)}), flop));
  s.push_back(with_flop(call({fz::real({2, 3, 4}, v), fz::scalar(2)}), flop));
  s.push_back(with_flop(call({fz::real({3, 1, 5}, v), fz::scalar(2)}), flop));
  s.push_back(with_flop(call({fz::real({3, 4}, v), fz::real({1, 2}, {2, 1})}), flop));
  s.push_back(with_flop(call({fz::real({2, 0, 3}), fz::scalar(2)}), flop));
  s.push_back(with_flop(call({cplx({3, 4}, v, {kNaN}), fz::scalar(1)}), flop));
  s.push_back(with_flop(call({fz::real({3, 5, 6, 7}, v), fz::real({1, 2}, {2, 4})}), fz::real({2, 2}, {5, 6})));
  s.push_back(call({fz::real({3, 4}, v), fz::scalar(2)}));
  s.push_back(with_flop(call({fz::real({3, 4}, v), fz::scalar(2)}), fz::real({0, 0})));
  s.push_back(with_flop(call({fz::real({3, 4}, v), fz::scalar(2)}), handle()));
  s.push_back(with_flop(call({fz::real({3, 4}, v), fz::scalar(2)}), fz::of(fz::kInt8, {1, 1}, {3})));
  s.push_back(with_flop(call({fz::real({3, 4}, v), fz::scalar(2)}), cell_of(fz::scalar(0))));
  s.push_back(with_flop(call({fz::real({3, 4}, v), fz::scalar(2)}), sparse(1, 1, {4})));
  s.push_back(call({fz::real({3, 4}, v)}));
  s.push_back(call({}));
  s.push_back(call({fz::real({3, 4}, v), fz::scalar(2), fz::scalar(1)}, 2));
  for (double d : {0.0, -1.0, 3.0, 2.9, kNaN, kInf, 2147483648.0, -2147483649.0, 1e300})
    s.push_back(call({fz::real({3, 4}, v), fz::scalar(d)}));
  s.push_back(call({fz::real({2, 3, 4}, v), fz::real({1, 2}, {2, 2})}));
  s.push_back(call({fz::real({2, 3, 4}, v), fz::real({1, 4}, {1, 2, 3, 4})}));
  s.push_back(call({fz::real({2, 3, 4}, v), fz::real({0, 0})}));
  s.push_back(call({fz::real({0, 1ull << 40, 3}), fz::scalar(2)}));
  s.push_back(call({fz::real({4294967296ull, 0}), fz::scalar(1)}));
  for (const Plan &x : odd_arrays()) {
    s.push_back(call({x, fz::scalar(1)}));
    s.push_back(call({fz::real({3, 4}, v), x}));
  }
}

void tallybins(Corpus &c) {
  auto &s = c["tallybins"];
  s.push_back(call({}));
  s.push_back(call({fz::scalar(1), fz::scalar(2), fz::scalar(3)}));
  s.push_back(call({fz::real({1, 6}, {1, 2, 2, 3, 3, 3})}));
  s.push_back(call({fz::real({1, 6}, {1, 2, 2, 3, 3, 3}), fz::scalar(5)}));
  s.push_back(call({fz::scalar(3.7)}));
  s.push_back(call({fz::real({2, 2}, {1, 2, 2, 1})}));
  s.push_back(call({fz::real({1, 2}, {1, 2}), fz::scalar(2.9)}));
  s.push_back(call({fz::real({1, 3}, {2.9, 1.1, 0.5})}));
  s.push_back(call({fz::real({1, 3}, {2.9, 1.1, -0.5})}));
  s.push_back(call({fz::real({1, 2}, {1, 5}), fz::scalar(3)}));
  s.push_back(call({fz::real({0, 0}), fz::scalar(4)}));
  s.push_back(call({fz::real({0, 0}), fz::scalar(0)}));
  s.push_back(call({fz::real({1, 2}, {1, 2}), fz::scalar(0)}));
  s.push_back(call({fz::real({0, 0})}));
  s.push_back(call({fz::real({0, 3})}));
  s.push_back(call({sparse(2, 2, {1, 2})}));
  s.push_back(call({fz::real({1, 3}, {kNaN, 1, 2})}));
  s.push_back(call({fz::real({1, 3}, {1, kNaN, 2})}));
  s.push_back(call({fz::real({1, 2}, {1, kInf})}));
  s.push_back(call({fz::real({1, 2}, {1, 2147483648.0})}));
  s.push_back(call({fz::real({1, 2}, {1, 2}), fz::real({0, 0})}));
  for (double n : {-1.0, -0.5, kNaN, kInf, 2147483647.0, 2147483648.0, 1e300, 1e9})
    s.push_back(call({fz::real({1, 2}, {1, 2}), fz::scalar(n)}));
  s.push_back(call({fz::real({1, 1}, {1e9})}));
  s.push_back(call({fz::real({2, 3, 2}, {1, 2, 3})}));
  s.push_back(call({cplx({1, 3}, {1, 2, 3}, {9})}));
  for (const Plan &x : odd_arrays()) {
    s.push_back(call({x}));
    s.push_back(call({fz::real({1, 2}, {1, 2}), x}));
  }
}

void aliascheck(Corpus &c) {
  auto &s = c["aliascheck"];
  s.push_back(call({}));
  s.push_back(call({fz::scalar(1)}));
  s.push_back(call({fz::scalar(1), fz::scalar(1), fz::scalar(1)}));
  s.push_back(call({fz::scalar(1), fz::scalar(1)}));
  CallPlan same = call({fz::real({2, 2}, {1}), fz::real({2, 2}, {1})});
  same.alias_first = true;
  s.push_back(same);
  s.push_back(call({fz::real({0, 0}), fz::real({0, 0})}));
  for (const Plan &x : odd_arrays()) {
    s.push_back(call({x, fz::scalar(1)}));
    CallPlan twice = call({x, x});
    twice.alias_first = true;
    s.push_back(twice);
  }
  s.push_back(call({handle(), handle()}, 2));
}

void opcharge(Corpus &c) {
  auto &s = c["opcharge"];
  Plan zero = fz::scalar(0);
  s.push_back(call({}, 0));
  s.push_back(call({fz::scalar(1), fz::scalar(2)}, 0));
  s.push_back(with_flop(call({fz::scalar(5)}, 0), zero));
  s.push_back(with_flop(call({fz::scalar(2.9)}, 0), zero));
  s.push_back(with_flop(call({fz::scalar(0)}, 0), fz::real({2, 2}, {1, 2, 3, 4})));
  s.push_back(with_flop(call({fz::real({1, 3}, {7, 8, 9})}, 0), zero));
  s.push_back(call({fz::scalar(10)}, 0));
  s.push_back(with_flop(call({fz::scalar(10)}, 0), fz::real({0, 0})));
  s.push_back(with_flop(call({fz::scalar(10)}, 1), zero));
  s.push_back(with_flop(call({fz::scalar(4294967295.0)}, 0), fz::scalar(1e300)));
  for (double n : {-1.0, -0.5, kNaN, kInf, -kInf, 4294967296.0, 1e300, 2147483648.0})
    s.push_back(with_flop(call({fz::scalar(n)}, 0), zero));
  s.push_back(with_flop(call({fz::real({0, 0})}, 0), zero));
  for (const Plan &f : odd_arrays()) {
    s.push_back(with_flop(call({fz::scalar(3)}, 0), f));
    s.push_back(with_flop(call({f}, 0), zero));
  }
}

// The samplers' keyword calls: reading, setting (exact states at the ends of
// their ranges, seeds, 0, other classes), refused values and keywords, and
// output counts; appended after the other seeds of each sampler.
Plan word(const std::string &w) {
  std::vector<double> v(w.begin(), w.end());
  return fz::of(fz::kChar, {1, static_cast<std::uint64_t>(w.size())}, v);
}
void state_calls(Corpus &c, const std::string &name) {
  auto &s = c[name];
  const Plan state = word("state");
  for (int nlhs : {0, 1, 2}) s.push_back(call({state}, nlhs));
  std::vector<Plan> good = {fz::scalar(0), fz::scalar(1), fz::scalar(7), fz::scalar(4294967295.0),
                            fz::real({1, 3}, {17271, 20637, 2082}), fz::real({3, 1}, {30268, 30306, 30322}),
                            fz::real({1, 3}, {1, 1, 1}), fz::of(fz::kInt32, {1, 1}, {5}),
                            fz::of(fz::kUint16, {1, 3}, {2, 3, 4}), fz::of(fz::kSingle, {1, 3}, {5, 6, 7})};
  std::vector<Plan> bad = {fz::scalar(-1), fz::scalar(0.5), fz::scalar(4294967296.0), fz::scalar(kNaN),
                           fz::scalar(kInf), fz::real({1, 3}, {0, 1, 1}), fz::real({1, 3}, {1, 30307, 1}),
                           fz::real({1, 3}, {1, 1, 30323}), fz::real({1, 3}, {30269, 1, 1}),
                           fz::real({1, 3}, {1.5, 2, 3}), fz::real({1, 2}, {1, 2}), fz::real({1, 4}, {1, 2, 3, 4}),
                           fz::real({0, 0}), fz::real({2, 3}, {1, 2, 3, 4, 5, 6}), fz::real({1, 1, 3}, {1, 2, 3}),
                           cplx({1, 1}, {5}, {1}), sparse(1, 3, {1, 2, 3}), fz::of(fz::kLogical, {1, 1}, {1}),
                           word("abc"), handle(), cell_of(fz::scalar(1))};
  for (const Plan &v : good)
    for (int nlhs : {0, 1}) s.push_back(call({state, v}, nlhs));
  for (const Plan &v : bad) s.push_back(call({state, v}));
  s.push_back(call({state, fz::scalar(1), fz::scalar(2)}));
  for (const char *w : {"State", "seed", "twister", "ab", "states", "stat", "x"}) {
    s.push_back(call({word(w)}));
    s.push_back(call({word(w), fz::scalar(1)}));
  }
  s.push_back(call({word(""), fz::scalar(1)}));  // no keyword: the usual checks
  s.push_back(call({fz::of(fz::kChar, {2, 5}, {115, 116, 97, 116, 101}), fz::scalar(1)}));
}

Corpus corpus() {
  Corpus c;
  elementwise(c, "trigamma", {1, 0.5, -0.5, 0, -0.0, -2, 1e-5, 1e-300, 8, 1e300, kInf, -kInf, kNaN});
  elementwise(c, "shapedraw", {1, 0.5, 1e-300, 0, -1, kNaN, kInf, 3.5, 1e6, 5e-324});
  elementwise(c, "gamma", {5, 23, 24, 0, -0.0, -1, -7, 0.5, -0.5, 171.6, 171.7, 1e-300, 1e-309, -200.5, kInf, -kInf,
                           kNaN});
  with_trials(c, "trialdraw");
  with_trials(c, "drawcounts");
  triangular(c, "uppersubst");
  triangular(c, "lowersubst");
  triangular(c, "backapply");
  tilearray(c);
  axisfold(c);
  tallybins(c);
  aliascheck(c);
  opcharge(c);
  for (const char *name : {"shapedraw", "trialdraw", "drawcounts"}) state_calls(c, name);
  return c;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_seeds <corpus-dir>\n");
    return 2;
  }
  namespace fs = std::filesystem;
  for (const auto &[name, calls] : corpus()) {
    fs::path dir = fs::path(argv[1]) / name;
    fs::create_directories(dir);
    for (std::size_t i = 0; i < calls.size(); ++i) {
      char file[32];
      std::snprintf(file, sizeof file, "seed-%03zu", i);
      std::vector<std::uint8_t> bytes = fz::encode(calls[i]);
      std::ofstream(dir / file, std::ios::binary).write(reinterpret_cast<const char *>(bytes.data()),
                                                        static_cast<std::streamsize>(bytes.size()));
    }
    std::printf("%s: %zu seeds\n", name.c_str(), calls.size());
  }
  return 0;
}
