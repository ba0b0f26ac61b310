// The call boundary: mexCallMATLAB into functions the embedding program
// registers, nested call contexts, and how every way out of a call (return,
// the error call, another exception) leaves the host.
#include "gatebox/host.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <stdexcept>
#include <string>

namespace h = gatebox::host;

namespace {

std::string probe(const char *which) { return h::gateway_path(which, "testing"); }

// The counters of the host before a test, compared with those after it.
struct Live {
  std::size_t blocks = h::live_blocks(), arrays = h::live_arrays(), bytes = h::live_bytes();
  void expect_unchanged() const {
    EXPECT_EQ(h::live_blocks(), blocks);
    EXPECT_EQ(h::live_arrays(), arrays);
    EXPECT_EQ(h::live_bytes(), bytes);
  }
};

// The built-in the gamma gateway delegates to: builtin("gamma", x).
void builtin(int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]) {
  (void)nlhs;
  char *fn = mxArrayToString(prhs[0]);
  if (nrhs != 2 || std::strcmp(fn, "gamma") != 0) mexErrMsgIdAndTxt("test:builtin", "no built-in %s", fn);
  mxMalloc(128);                         // temporaries of the built-in's own call
  mxCreateDoubleMatrix(3, 3, mxREAL);
  std::size_t n = mxGetNumberOfElements(prhs[1]);
  plhs[0] = mxCreateDoubleMatrix(mxGetM(prhs[1]), mxGetN(prhs[1]), mxREAL);
  for (std::size_t i = 0; i < n; ++i) mxGetPr(plhs[0])[i] = std::tgamma(mxGetPr(prhs[1])[i]);
}

struct Registered {
  Registered(const std::string &n, h::Function fn) : name(n) { h::register_function(name, std::move(fn)); }
  ~Registered() { h::unregister_function(name); }
  std::string name;
};

TEST(CallMatlab, DelegatesToARegisteredBuiltinAndReclaimsItsTemporaries) {
  Registered reg("builtin", builtin);
  h::Gateway g(probe("probe_a"));
  Live live;
  {
    auto mode = h::scalar(6), name = h::text("builtin"), fn = h::text("gamma"), x = h::row({0.5, 5, -1.5});
    h::CallResult r = g.call({mode.get(), name.get(), fn.get(), x.get()});
    ASSERT_TRUE(r.ok()) << r.error->message;
    std::vector<double> y = h::values(r.out());
    ASSERT_EQ(y.size(), 3u);
    // Within a few units in the last place: the C library's tgamma is what is
    // delegated to, and its accuracy differs between runtimes.
    EXPECT_DOUBLE_EQ(y[0], 1.7724538509055160273);  // sqrt(pi)
    EXPECT_EQ(y[1], 24.0);
    EXPECT_DOUBLE_EQ(y[2], 2.3632718012073547031);  // 4 sqrt(pi) / 3
  }
  live.expect_unchanged();
}

TEST(CallMatlab, CalleeOutputsBelongToTheCallersCall) {
  Registered reg("builtin", builtin);
  h::Gateway g(probe("probe_a"));
  Live live;
  auto mode = h::scalar(7), name = h::text("builtin"), fn = h::text("gamma"), x = h::doubles({20, 20});
  // The probe drops the built-in's output: it goes with the probe's call.
  EXPECT_TRUE(g.call(0, {mode.get(), name.get(), fn.get(), x.get()}).ok());
  x.reset();
  mode.reset(), name.reset(), fn.reset();
  live.expect_unchanged();
}

TEST(CallMatlab, NestedCallsSeeTheirOwnContextAndUnwindInOrder) {
  std::vector<std::string> names;
  std::vector<std::size_t> arrays_inside;
  Registered inner("inner", [&](int, mxArray *plhs[], int, const mxArray *prhs[]) {
    names.push_back(mexFunctionName());
    arrays_inside.push_back(h::live_arrays());
    plhs[0] = mxCreateDoubleScalar(mxGetScalar(prhs[0]) + 1);
  });
  Registered outer("outer", [&](int, mxArray *plhs[], int, const mxArray *prhs[]) {
    names.push_back(mexFunctionName());
    mxArray *in[1] = {mxDuplicateArray(prhs[0])};
    mxArray *once[1], *twice[1];
    mexCallMATLAB(1, once, 1, in, "inner");
    mexCallMATLAB(1, twice, 1, once, "inner");
    names.push_back(mexFunctionName());  // back in this call after both returned
    plhs[0] = twice[0];
  });
  h::Gateway g(probe("probe_a"));
  Live live;
  {
    auto mode = h::scalar(6), name = h::text("outer"), x = h::scalar(40);
    h::CallResult r = g.call({mode.get(), name.get(), x.get()});
    ASSERT_TRUE(r.ok()) << r.error->message;
    EXPECT_EQ(h::values(r.out()), std::vector<double>{42});
    EXPECT_EQ(names, (std::vector<std::string>{"outer", "inner", "inner", "outer"}));
    // The first inner result stays alive in the outer call for the second.
    ASSERT_EQ(arrays_inside.size(), 2u);
    EXPECT_EQ(arrays_inside[1], arrays_inside[0] + 1);
  }
  live.expect_unchanged();
}

TEST(CallMatlab, EveryWayOutOfACalleeEndsTheCallersCallAndRestoresTheHost) {
  Registered fails("fails", [](int, mxArray *[], int, const mxArray *[]) {
    mxCreateDoubleMatrix(4, 4, mxREAL);
    mxMalloc(32);
    mexErrMsgIdAndTxt("test:inner", "inner failed at %d", 7);
  });
  Registered throws("throws", [](int, mxArray *[], int, const mxArray *[]) {
    mxCreateDoubleMatrix(4, 4, mxREAL);
    throw std::runtime_error("thrown inside");
  });
  Registered silent("silent", [](int, mxArray *[], int, const mxArray *[]) { mxCreateDoubleScalar(1); });
  struct Case {
    const char *name, *id, *message;
  } cases[] = {
      {"fails", "test:inner", "inner failed at 7"},
      {"throws", "gatebox:host:exception", "thrown inside"},
      {"silent", "gatebox:host:unassignedOutputs", "One or more output arguments not assigned during call."},
      {"nosuch", "gatebox:host:undefinedFunction", "Undefined function 'nosuch'."},
  };
  h::Gateway g(probe("probe_a"));
  Live live;
  for (const Case &c : cases) {
    {
      auto mode = h::scalar(6), name = h::text(c.name);
      h::CallResult r = g.call({mode.get(), name.get()});
      ASSERT_FALSE(r.ok()) << c.name;
      EXPECT_EQ(r.error->id, c.id);
      EXPECT_EQ(r.error->message, c.message);
      EXPECT_TRUE(r.outputs.empty());
    }
    live.expect_unchanged();
    // The embedding program is the current context again: what it makes now
    // outlives the next call.
    auto kept = h::scalar(3);
    auto count = h::scalar(0);
    EXPECT_TRUE(g.call({count.get()}).ok());
    EXPECT_EQ(h::values(kept.get()), std::vector<double>{3});
  }
  live.expect_unchanged();
}

TEST(CallMatlab, OutputsNotAskedForAreReclaimed) {
  Registered reg("builtin", builtin);
  h::Gateway g(probe("probe_a"));
  Live live;
  auto mode = h::scalar(6), name = h::text("builtin"), fn = h::text("gamma"), x = h::scalar(3);
  EXPECT_TRUE(g.call(0, {mode.get(), name.get(), fn.get(), x.get()}).ok());  // nlhs 0 all the way down
  mode.reset(), name.reset(), fn.reset(), x.reset();
  live.expect_unchanged();
}

TEST(CallMatlab, FromTheEmbeddingProgramErrorsAreExceptions) {
  Registered reg("builtin", builtin);
  Live live;
  h::Array fn = h::text("gamma"), x = h::scalar(4);
  mxArray *in[2] = {fn.get(), x.get()}, *out[1] = {nullptr};
  ASSERT_EQ(mexCallMATLAB(1, out, 2, in, "builtin"), 0);
  h::Array y(out[0]);  // the embedding program owns it
  EXPECT_EQ(h::values(y.get()), std::vector<double>{6});
  y.reset();
  EXPECT_THROW(mexCallMATLAB(1, out, 2, in, "nosuch"), std::runtime_error);
  h::Array other = h::text("digamma");
  in[0] = other.get();
  EXPECT_THROW(mexCallMATLAB(1, out, 2, in, "builtin"), std::runtime_error);
  fn.reset(), x.reset(), other.reset();
  live.expect_unchanged();
}

}  // namespace
