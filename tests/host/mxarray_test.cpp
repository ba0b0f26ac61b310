// The dimension, struct, string and sparse calls of the host's MEX interface,
// called directly: bounds, lengths, terminators and sizes that overflow.
#include "gatebox/host.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <string>

namespace h = gatebox::host;

namespace {

// Run `body` inside a gateway call (the probe calls it through mexCallMATLAB)
// so that the host's errors come back with their identifiers.
h::CallResult inside(const std::function<void()> &body) {
  h::register_function("body", [&](int, mxArray *[], int, const mxArray *[]) { body(); });
  h::Gateway g(h::gateway_path("probe_a", "testing"));
  auto mode = h::scalar(7), name = h::text("body");
  h::CallResult r = g.call(0, {mode.get(), name.get()});
  h::unregister_function("body");
  return r;
}

std::string error_id(const std::function<void()> &body) {
  h::CallResult r = inside(body);
  return r.ok() ? "" : r.error->id;
}

constexpr mwSize kHuge = mwSize(1) << 40;

TEST(Dimensions, SettersNormaliseAndRejectNegativeSizes) {
  auto a = h::doubles({2, 3});
  mwSize d4[4] = {2, 3, 4, 1};
  EXPECT_EQ(mxSetDimensions(a.get(), d4, 4), 0);
  EXPECT_EQ(h::dims(a.get()), (std::vector<mwSize>{2, 3, 4}));  // trailing singleton dropped
  EXPECT_EQ(mxGetN(a.get()), 12u);
  mwSize d1[1] = {5};
  mxSetDimensions(a.get(), d1, 1);
  EXPECT_EQ(h::dims(a.get()), (std::vector<mwSize>{5, 1}));
  mxSetDimensions(a.get(), d4, 3);
  mxSetN(a.get(), 7);  // collapses to two dimensions
  EXPECT_EQ(h::dims(a.get()), (std::vector<mwSize>{2, 7}));
  mxSetM(a.get(), 0);
  EXPECT_TRUE(mxIsEmpty(a.get()));

  mwSize bad[2] = {2, -1};
  EXPECT_EQ(error_id([&] {
              mxArray *b = mxCreateDoubleMatrix(2, 2, mxREAL);
              mxSetDimensions(b, bad, 2);
            }),
            "gatebox:host:badDimension");
  EXPECT_EQ(error_id([] { mxSetM(mxCreateDoubleMatrix(1, 1, mxREAL), -3); }), "gatebox:host:badDimension");
  EXPECT_EQ(error_id([] { mxCreateDoubleMatrix(-1, 2, mxREAL); }), "gatebox:host:badDimension");
  EXPECT_EQ(h::dims(a.get()), (std::vector<mwSize>{0, 7}));  // untouched by the failed calls
}

TEST(Dimensions, ElementCountsSaturateAndHugeArraysAreErrors) {
  auto a = h::doubles({0, 0});
  mwSize d[3] = {kHuge, kHuge, kHuge};  // 2^120 elements
  mxSetDimensions(a.get(), d, 3);
  EXPECT_EQ(mxGetNumberOfElements(a.get()), SIZE_MAX);
  EXPECT_EQ(mxGetN(a.get()), SIZE_MAX);
  // saturated where size_t is narrower than mwSize (32-bit builds)
  EXPECT_EQ(mxGetM(a.get()), static_cast<std::uint64_t>(kHuge) > SIZE_MAX ? SIZE_MAX : static_cast<size_t>(kHuge));
  EXPECT_EQ(error_id([&] { mxCreateNumericArray(3, d, mxINT8_CLASS, mxREAL); }), "gatebox:host:outOfMemory");
  EXPECT_EQ(error_id([&] { mxCreateCharArray(2, d); }), "gatebox:host:outOfMemory");
  EXPECT_EQ(error_id([&] { mxCreateCellArray(2, d); }), "gatebox:host:outOfMemory");
  const char *f[1] = {"x"};
  EXPECT_EQ(error_id([&] { mxCreateStructArray(2, d, 1, f); }), "gatebox:host:outOfMemory");
  EXPECT_EQ(error_id([] { mxCalloc(SIZE_MAX / 2, 4); }), "gatebox:host:outOfMemory");
}

TEST(Structs, FieldsByNameAndNumberStayInBounds) {
  const char *names[2] = {"alpha", "beta"};
  h::Array s(mxCreateStructMatrix(1, 2, 2, names));
  EXPECT_EQ(mxGetNumberOfFields(s.get()), 2);
  EXPECT_STREQ(mxGetFieldNameByNumber(s.get(), 1), "beta");
  EXPECT_EQ(mxGetFieldNameByNumber(s.get(), 2), nullptr);
  EXPECT_EQ(mxGetFieldNameByNumber(s.get(), -1), nullptr);
  EXPECT_EQ(mxGetFieldNumber(s.get(), "gamma"), -1);
  EXPECT_EQ(mxGetFieldNumber(s.get(), nullptr), -1);
  mxSetField(s.get(), 1, "beta", mxCreateDoubleScalar(2));
  EXPECT_EQ(mxGetScalar(mxGetField(s.get(), 1, "beta")), 2.0);
  EXPECT_EQ(mxGetField(s.get(), 0, "beta"), nullptr);
  EXPECT_EQ(mxGetField(s.get(), 2, "beta"), nullptr);   // past the last element
  EXPECT_EQ(mxGetField(s.get(), -1, "beta"), nullptr);
  EXPECT_EQ(mxGetFieldByNumber(s.get(), 0, 2), nullptr);  // past the last field
  mxSetField(s.get(), 1, "beta", mxCreateString("replaced"));  // the old value is destroyed
  EXPECT_TRUE(mxIsChar(mxGetField(s.get(), 1, "beta")));

  EXPECT_EQ(error_id([] {
              const char *n[1] = {"a"};
              mxSetField(mxCreateStructMatrix(1, 1, 1, n), 0, "b", mxCreateDoubleScalar(0));
            }),
            "gatebox:host:badIndex");
  EXPECT_EQ(error_id([] {
              const char *n[1] = {"a"};
              mxSetFieldByNumber(mxCreateStructMatrix(1, 1, 1, n), 1, 0, mxCreateDoubleScalar(0));
            }),
            "gatebox:host:badIndex");
}

TEST(Structs, FieldNamesAreUniqueAndPresent) {
  EXPECT_EQ(error_id([] {
              const char *n[3] = {"a", "b", "a"};
              mxCreateStructMatrix(1, 1, 3, n);
            }),
            "gatebox:host:badField");
  EXPECT_EQ(error_id([] {
              const char *n[2] = {"a", nullptr};
              mxCreateStructMatrix(1, 1, 2, n);
            }),
            "gatebox:host:badField");
  EXPECT_EQ(error_id([] { mxCreateStructMatrix(1, 1, 1, nullptr); }), "gatebox:host:badField");

  const char *names[1] = {"a"};
  h::Array s(mxCreateStructMatrix(2, 1, 1, names));
  mxSetField(s.get(), 1, "a", mxCreateDoubleScalar(5));
  EXPECT_EQ(mxAddField(s.get(), "b"), 1);
  EXPECT_EQ(mxAddField(s.get(), "a"), 0);  // the existing field, not a second one
  EXPECT_EQ(mxGetNumberOfFields(s.get()), 2);
  EXPECT_EQ(mxGetScalar(mxGetField(s.get(), 1, "a")), 5.0);  // values kept across the new layout
  EXPECT_EQ(mxGetField(s.get(), 1, "b"), nullptr);
  h::Array num = h::scalar(1);
  EXPECT_EQ(mxAddField(num.get(), "x"), -1);
}

TEST(Structs, ReshapedStructsReachOnlyTheElementsStored) {
  const char *names[2] = {"a", "b"};
  h::Array s(mxCreateStructMatrix(1, 2, 2, names));
  mxSetField(s.get(), 1, "b", mxCreateDoubleScalar(9));
  mxSetN(s.get(), 50);  // claims 50 elements; two are stored
  EXPECT_EQ(mxGetField(s.get(), 30, "a"), nullptr);
  EXPECT_EQ(mxGetScalar(mxGetField(s.get(), 1, "b")), 9.0);
  EXPECT_EQ(mxAddField(s.get(), "c"), 2);
  EXPECT_EQ(mxGetScalar(mxGetField(s.get(), 1, "b")), 9.0);
  h::Array copy(mxDuplicateArray(s.get()));
  EXPECT_EQ(mxGetScalar(mxGetField(copy.get(), 1, "b")), 9.0);
  EXPECT_EQ(error_id([] {
              const char *n[1] = {"a"};
              mxArray *t = mxCreateStructMatrix(1, 1, 1, n);
              mxSetM(t, 10);
              mxSetField(t, 5, "a", mxCreateDoubleScalar(0));
            }),
            "gatebox:host:badIndex");
}

#if GTEST_HAS_DEATH_TEST && !defined(_WIN32)
void cell_into_itself() {
  mxArray *c = mxCreateCellMatrix(1, 1);
  mxSetCell(c, 0, c);
}
void struct_into_its_own_cell() {
  const char *n[1] = {"x"};
  mxArray *outer = mxCreateStructMatrix(1, 1, 1, n);
  mxArray *inner = mxCreateCellMatrix(1, 1);
  mxSetField(outer, 0, "x", inner);
  mxSetCell(inner, 0, outer);
}
TEST(StructsDeathTest, ACellOrStructCannotHoldItself) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(cell_into_itself(), "inside itself");
  EXPECT_DEATH(struct_into_its_own_cell(), "inside itself");
}
#endif

TEST(Strings, CopiesAreTruncatedAndTerminatedWithinTheBuffer) {
  auto s = h::text("hello");
  char buf[8];
  std::memset(buf, 'x', sizeof buf);
  EXPECT_EQ(mxGetString(s.get(), buf, 6), 0);  // exact fit: five characters and the terminator
  EXPECT_STREQ(buf, "hello");
  std::memset(buf, 'x', sizeof buf);
  EXPECT_EQ(mxGetString(s.get(), buf, 3), 1);  // truncated
  EXPECT_STREQ(buf, "he");
  EXPECT_EQ(buf[3], 'x');  // nothing written past the buffer
  std::memset(buf, 'x', sizeof buf);
  EXPECT_EQ(mxGetString(s.get(), buf, 1), 1);
  EXPECT_EQ(buf[0], '\0');
  EXPECT_EQ(mxGetString(s.get(), buf, 0), 1);
  EXPECT_EQ(buf[1], 'x');
  EXPECT_EQ(mxGetString(s.get(), nullptr, 8), 1);
  auto num = h::scalar(1);
  EXPECT_EQ(mxGetString(num.get(), buf, 8), 1);
  EXPECT_EQ(mxArrayToString(num.get()), nullptr);

  // A two-row char array reads in storage (column) order.
  mwSize d[2] = {2, 2};
  h::Array rows(mxCreateCharArray(2, d));
  const char *abcd = "acbd";
  for (int i = 0; i < 4; ++i) mxGetChars(rows.get())[i] = static_cast<mxChar>(abcd[i]);
  EXPECT_EQ(mxGetString(rows.get(), buf, 8), 0);
  EXPECT_STREQ(buf, "acbd");
}

TEST(Strings, ArrayToStringRoundTripsBytesAndStaysInTheData) {
  const char latin[] = "caf\xe9 \x7f!";
  h::Array s(mxCreateString(latin));
  EXPECT_EQ(mxGetN(s.get()), std::strlen(latin));
  EXPECT_EQ(mxGetChars(s.get())[3], 0xe9);  // bytes are code points, not sign-extended
  char *back = mxArrayToString(s.get());
  EXPECT_STREQ(back, latin);
  mxFree(back);
  h::Array empty(mxCreateString(nullptr));
  EXPECT_EQ(h::dims(empty.get()), (std::vector<mwSize>{1, 0}));
  back = mxArrayToString(empty.get());
  EXPECT_STREQ(back, "");
  mxFree(back);

  // The shape setters do not grow the data: the string ends where the data does.
  mxSetN(empty.get(), 5);
  back = mxArrayToString(empty.get());
  EXPECT_STREQ(back, "");
  mxFree(back);
  h::Array abc(mxCreateString("abc"));
  mxSetN(abc.get(), 1000);
  char buf[16];
  EXPECT_EQ(mxGetString(abc.get(), buf, sizeof buf), 0);
  EXPECT_STREQ(buf, "abc");
}

TEST(Sparse, StorageHasTheDocumentedShape) {
  h::Array a(mxCreateSparse(3, 4, 0, mxREAL));
  EXPECT_TRUE(mxIsSparse(a.get()));
  EXPECT_EQ(mxGetNzmax(a.get()), 1);  // room for one nonzero at least
  for (int j = 0; j <= 4; ++j) EXPECT_EQ(mxGetJc(a.get())[j], 0);  // an empty matrix, n + 1 starts
  EXPECT_EQ(mxGetPi(a.get()), nullptr);
  EXPECT_EQ(mxGetScalar(a.get()), 0.0);

  h::Array c(mxCreateSparse(2, 2, 3, mxCOMPLEX));
  ASSERT_NE(mxGetPi(c.get()), nullptr);
  mxGetPr(c.get())[0] = 1;
  mxGetPi(c.get())[0] = -1;
  mxGetIr(c.get())[0] = 1;
  mxGetJc(c.get())[1] = 1;
  mxGetJc(c.get())[2] = 1;
  h::Array copy(mxDuplicateArray(c.get()));
  EXPECT_NE(mxGetIr(copy.get()), mxGetIr(c.get()));  // storage of its own
  EXPECT_EQ(mxGetIr(copy.get())[0], 1);
  EXPECT_EQ(mxGetJc(copy.get())[2], 1);
  EXPECT_EQ(mxGetPi(copy.get())[0], -1.0);
  EXPECT_EQ(mxGetNzmax(copy.get()), 3);

  h::Array l(mxCreateSparseLogicalMatrix(5, 1, 2));
  EXPECT_TRUE(mxIsLogical(l.get()));
  EXPECT_EQ(mxGetElementSize(l.get()), 1u);
  EXPECT_NE(mxGetLogicals(l.get()), nullptr);
}

TEST(Sparse, BadAndOverflowingSizesAreErrors) {
  EXPECT_EQ(error_id([] { mxCreateSparse(-1, 2, 1, mxREAL); }), "gatebox:host:badDimension");
  EXPECT_EQ(error_id([] { mxCreateSparse(2, 2, -5, mxREAL); }), "gatebox:host:badDimension");
  // n + 1 column starts and nzmax values whose byte counts overflow.
  EXPECT_EQ(error_id([] { mxCreateSparse(1, std::numeric_limits<mwSize>::max(), 1, mxREAL); }),
            "gatebox:host:outOfMemory");
  EXPECT_EQ(error_id([] { mxCreateSparse(2, 2, mwSize(1) << 62, mxCOMPLEX); }), "gatebox:host:outOfMemory");
  EXPECT_EQ(error_id([] { mxCreateSparseLogicalMatrix(2, 2, std::numeric_limits<mwSize>::max()); }),
            "gatebox:host:outOfMemory");
  // A sparse array keeps two dimensions.
  EXPECT_EQ(error_id([] {
              mwSize d[3] = {2, 2, 2};
              mxSetDimensions(mxCreateSparse(2, 2, 1, mxREAL), d, 3);
            }),
            "gatebox:host:badDimension");
  h::Array a(mxCreateSparse(2, 3, 1, mxREAL));
  mwSize d[3] = {3, 2, 1};
  EXPECT_EQ(mxSetDimensions(a.get(), d, 3), 0);  // a trailing singleton is still two-dimensional
  EXPECT_EQ(h::dims(a.get()), (std::vector<mwSize>{3, 2}));
}

}  // namespace
