// The gatekit constructors through the own host, by way of a probe gateway
// that returns what a constructor made.  The host's byte count shows how
// large each data block became.
#include "gatebox/host.hpp"

#include <gtest/gtest.h>

namespace h = gatebox::host;

namespace {

class Gatekit : public ::testing::Test {
 protected:
  h::Gateway g{h::gateway_path("gatekit_probe", "testing")};
  std::size_t blocks0 = h::live_blocks();
  void TearDown() override { EXPECT_EQ(h::live_blocks(), blocks0); }

  // Calls constructor `kind`; returns the result and the bytes it holds.
  std::pair<h::CallResult, std::size_t> make(int kind, const std::vector<double> &dims, mxClassID cls, int cplx) {
    auto k = h::scalar(kind), d = h::row(dims), c = h::scalar(cls), x = h::scalar(cplx);
    std::size_t before = h::live_bytes();
    h::CallResult r = g.call({k.get(), d.get(), c.get(), x.get()});
    return {std::move(r), h::live_bytes() - before};
  }
};

TEST_F(Gatekit, ShapeClassComplexityAndBlockSizes) {
  struct Case {
    int kind;
    std::vector<double> dims;
    mxClassID cls;
    int cplx;
    std::vector<mwSize> out;
    std::size_t bytes;  // both blocks together
  };
  const std::vector<Case> cases = {
      {1, {3, 5}, mxDOUBLE_CLASS, 0, {3, 5}, 120},
      {1, {3, 5, 2}, mxINT16_CLASS, 1, {3, 5, 2}, 2 * 60},     // both blocks resized alike
      {1, {4, 1, 1}, mxUINT8_CLASS, 0, {4, 1}, 4},             // trailing ones dropped by the host
      {1, {1, 1}, mxSINGLE_CLASS, 1, {1, 1}, 8},
      {1, {0, 3}, mxDOUBLE_CLASS, 1, {0, 3}, 16},              // empty: one-element blocks kept
      {1, {2, 0, 4}, mxINT64_CLASS, 0, {2, 0, 4}, 8},
      {2, {3, 5}, mxINT16_CLASS, 1, {3, 5}, 2 * 120},          // m*n doubles whatever the class
      {2, {2, 3}, mxDOUBLE_CLASS, 0, {2, 3}, 48},
      {3, {2, 3}, mxDOUBLE_CLASS, 1, {2, 3}, 96},
      {3, {0, 0}, mxDOUBLE_CLASS, 0, {0, 0}, 8},
      {4, {2, 3, 4}, mxLOGICAL_CLASS, 0, {2, 3, 4}, 24},
      {5, {2, 7}, mxCHAR_CLASS, 0, {2, 7}, 28},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << "kind " << c.kind << " class " << c.cls << " complex " << c.cplx);
    auto [r, bytes] = make(c.kind, c.dims, c.cls, c.cplx);
    ASSERT_TRUE(r.ok()) << r.error->message;
    const mxArray *a = r.out();
    EXPECT_EQ(h::dims(a), c.out);
    EXPECT_EQ(mxGetClassID(a), c.cls);
    EXPECT_EQ(mxIsComplex(a), c.cplx == 1);
    if (c.cplx == 0) {
      EXPECT_EQ(mxGetImagData(a), nullptr);
    }
    EXPECT_EQ(bytes, c.bytes);
    // The leading element is the one the host created: zero.
    if (mxGetNumberOfElements(a) > 0) {
      const unsigned char *p = static_cast<const unsigned char *>(mxGetData(a));
      for (std::size_t i = 0; i < mxGetElementSize(a); ++i) EXPECT_EQ(p[i], 0);
    }
  }
}

TEST_F(Gatekit, DoubleMatrixIsTheNumericMatrixOfClassDouble) {
  for (int cplx : {0, 1}) {
    auto [a, abytes] = make(3, {4, 6}, mxDOUBLE_CLASS, cplx);
    auto [b, bbytes] = make(2, {4, 6}, mxDOUBLE_CLASS, cplx);
    ASSERT_TRUE(a.ok() && b.ok());
    EXPECT_EQ(h::dims(a.out()), h::dims(b.out()));
    EXPECT_EQ(mxGetClassID(a.out()), mxGetClassID(b.out()));
    EXPECT_EQ(mxIsComplex(a.out()), mxIsComplex(b.out()));
    EXPECT_EQ(abytes, bbytes);
  }
}

TEST_F(Gatekit, LargeBlocksAreAllocatedWithoutBeingWritten) {
  // 64 MiB per block: created and resized, never filled.
  auto [r, bytes] = make(1, {4096, 2048}, mxDOUBLE_CLASS, 1);
  ASSERT_TRUE(r.ok()) << r.error->message;
  EXPECT_EQ(bytes, std::size_t{2} << 26);
  EXPECT_EQ(static_cast<const double *>(mxGetData(r.out()))[0], 0.0);
}

TEST_F(Gatekit, NegativeAndOverflowingSizesEndTheCallBeforeTheHostIsAsked) {
  struct Case {
    int kind;
    std::vector<double> dims;
    mxClassID cls;
  };
  for (const Case &c : std::vector<Case>{{1, {-1, 3}, mxDOUBLE_CLASS},
                                         {1, {4294967296.0, 4294967296.0}, mxINT8_CLASS},
                                         {1, {1 << 30, 1 << 30, 16}, mxDOUBLE_CLASS},
                                         {1, {4294967296.0, 4294967296.0, 0}, mxDOUBLE_CLASS},
                                         {2, {3, -2}, mxDOUBLE_CLASS},
                                         {3, {4294967296.0, 4294967296.0}, mxDOUBLE_CLASS},
                                         {4, {-5, 1}, mxLOGICAL_CLASS},
                                         {5, {4294967296.0, 4294967296.0}, mxCHAR_CLASS}}) {
    std::size_t arrays = h::live_arrays();
    auto [r, bytes] = make(c.kind, c.dims, c.cls, 0);
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error->id, "gatebox:gatekit_probe:arrayTooLarge");
    EXPECT_EQ(h::live_arrays(), arrays);
    EXPECT_EQ(bytes, 0u);
  }
}

TEST_F(Gatekit, HostAllocationFailureEndsTheCall) {
  std::size_t old = h::set_memory_limit(std::size_t{1} << 20);
  auto [r, bytes] = make(1, {1024, 1024}, mxDOUBLE_CLASS, 0);
  h::set_memory_limit(old);
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error->id, "gatebox:host:outOfMemory");
}

}  // namespace
