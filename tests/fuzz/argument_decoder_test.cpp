// The fuzzers' argument decoder: seeds written by the encoder decode to the
// arrays they describe, shapes stay ones a host can hold, and any byte
// stream (truncated, random) decodes without reading past it.
#include "argument_decoder.hpp"

#include <cmath>
#include <gtest/gtest.h>

namespace fz = gatebox::fuzz;
namespace h = gatebox::host;

namespace {

fz::ArgumentList decode(const fz::CallPlan &plan) {
  std::vector<std::uint8_t> bytes = fz::encode(plan);
  fz::ArgumentList call;
  EXPECT_TRUE(fz::decode(bytes.data(), bytes.size(), call));
  return call;
}

fz::CallPlan one(fz::Plan s) {
  fz::CallPlan c;
  c.inputs.push_back(std::move(s));
  return c;
}

TEST(ArgumentDecoder, EveryKindDecodesToItsClass) {
  struct Case {
    fz::Kind kind;
    mxClassID cls;
    bool sparse;
  };
  for (const Case &c : std::vector<Case>{{fz::kDouble, mxDOUBLE_CLASS, false},   {fz::kSingle, mxSINGLE_CLASS, false},
                                         {fz::kInt8, mxINT8_CLASS, false},       {fz::kUint8, mxUINT8_CLASS, false},
                                         {fz::kInt16, mxINT16_CLASS, false},     {fz::kUint16, mxUINT16_CLASS, false},
                                         {fz::kInt32, mxINT32_CLASS, false},     {fz::kUint32, mxUINT32_CLASS, false},
                                         {fz::kInt64, mxINT64_CLASS, false},     {fz::kUint64, mxUINT64_CLASS, false},
                                         {fz::kLogical, mxLOGICAL_CLASS, false}, {fz::kChar, mxCHAR_CLASS, false},
                                         {fz::kCell, mxCELL_CLASS, false},       {fz::kStruct, mxSTRUCT_CLASS, false},
                                         {fz::kSparse, mxDOUBLE_CLASS, true},    {fz::kSparseLogical, mxLOGICAL_CLASS, true},
                                         {fz::kFunctionHandle, mxFUNCTION_CLASS, false}}) {
    fz::ArgumentList call = decode(one(fz::of(c.kind, {2, 3}, {1, 0, 2})));
    ASSERT_EQ(call.inputs.size(), 1u);
    EXPECT_EQ(mxGetClassID(call.inputs[0]), c.cls) << int(c.kind);
    EXPECT_EQ(mxIsSparse(call.inputs[0]), c.sparse) << int(c.kind);
  }
}

TEST(ArgumentDecoder, ValuesRepeatCyclicallyAndKeepSpecialBits) {
  fz::ArgumentList call = decode(one(fz::real({2, 4}, {-0.0, NAN, INFINITY, 0.1})));
  std::vector<double> v = h::values(call.inputs[0]);
  ASSERT_EQ(v.size(), 8u);
  EXPECT_TRUE(std::signbit(v[0]) && v[0] == 0);
  EXPECT_TRUE(std::isnan(v[1]));
  EXPECT_EQ(v[2], INFINITY);
  EXPECT_EQ(v[3], 0.1);
  EXPECT_TRUE(std::signbit(v[4]));
  fz::Plan z = fz::of(fz::kInt16, {1, 3}, {1e9, -1e9, 2.5});
  z.complex = true;
  z.im = {NAN};
  fz::ArgumentList c2 = decode(one(z));
  const auto *re = static_cast<const std::int16_t *>(mxGetData(c2.inputs[0]));
  const auto *im = static_cast<const std::int16_t *>(mxGetImagData(c2.inputs[0]));
  EXPECT_EQ(re[0], 32767);  // saturated, as the host language converts
  EXPECT_EQ(re[1], -32768);
  EXPECT_EQ(re[2], 3);
  EXPECT_EQ(im[0], 0);
}

TEST(ArgumentDecoder, ShapesStayHoldableAndSmall) {
  struct Case {
    std::vector<std::uint64_t> in;
    std::vector<mwSize> out;
  };
  const std::uint64_t g = 1ull << 40, q = 1ull << 62;
  for (const Case &c : std::vector<Case>{
           {{0, g}, {0, mwSize(g)}},                                           // empty, huge column count
           {{2147483648ull, 0, 3}, {2147483648ll, 0, 3}},                     // past 32 bits, empty
           {{0, q, 4}, {0, mwSize(q)}},                                       // nonzero product kept below 2^63
           {{100, 100}, {100, 0}},                                            // too many elements: last dim emptied
           {{4294967296ull, 2}, {4294967296ll, 0}},                           // 2^33 elements cannot be held
           {{2, 3, 1, 1}, {2, 3}},                                            // trailing singletons dropped
           {{64, 64}, {64, 64}}}) {                                           // at the element limit
    fz::ArgumentList call = decode(one(fz::real(c.in)));
    EXPECT_EQ(h::dims(call.inputs[0]), c.out);
  }
}

TEST(ArgumentDecoder, SparseMatricesMayHaveHugeRowCounts) {
  fz::ArgumentList call = decode(one(fz::of(fz::kSparse, {1ull << 40, 3}, {0, 5})));
  const mxArray *a = call.inputs[0];
  EXPECT_EQ(mxGetM(a), std::size_t(1) << 40);
  EXPECT_EQ(mxGetN(a), 3u);
  const mwIndex *jc = mxGetJc(a), *ir = mxGetIr(a);
  ASSERT_GT(jc[3], 0);
  for (mwIndex j = 0; j < 3; ++j)
    for (mwIndex k = jc[j]; k + 1 < jc[j + 1]; ++k) EXPECT_LT(ir[k], ir[k + 1]);  // sorted rows
}

TEST(ArgumentDecoder, AliasesOutputsAndFlopcount) {
  fz::CallPlan plan;
  plan.nlhs = 3;
  plan.inputs = {fz::scalar(1), fz::scalar(2), fz::scalar(1)};
  plan.alias_first = true;
  plan.has_flopcount = true;
  plan.flopcount = fz::real({0, 0});
  fz::ArgumentList call = decode(plan);
  EXPECT_EQ(call.nlhs, 3);
  ASSERT_EQ(call.inputs.size(), 3u);
  EXPECT_EQ(call.inputs[2], call.inputs[0]);
  EXPECT_NE(call.inputs[1], call.inputs[0]);
  ASSERT_TRUE(call.flopcount);
  EXPECT_TRUE(mxIsEmpty(call.flopcount.get()));
}

TEST(ArgumentDecoder, AnyByteStreamDecodesAndLeavesNothingBehind) {
  std::size_t blocks = h::live_blocks(), arrays = h::live_arrays();
  std::uint32_t state = 12345;
  for (int round = 0; round < 2000; ++round) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(round % 64));
    for (auto &b : bytes) b = static_cast<std::uint8_t>((state = state * 1103515245u + 12345u) >> 24);
    fz::ArgumentList call;
    EXPECT_TRUE(fz::decode(bytes.data(), bytes.size(), call));
    for (const mxArray *a : call.inputs) fz::snapshot(a);
  }
  EXPECT_EQ(h::live_blocks(), blocks);
  EXPECT_EQ(h::live_arrays(), arrays);
}

TEST(ArgumentDecoder, SnapshotSeesAChangedInput) {
  fz::ArgumentList call = decode(one(fz::real({2, 2}, {1, 2, 3, 4})));
  auto before = fz::snapshot(call.inputs[0]);
  mxGetPr(call.inputs[0])[3] = -0.0;
  EXPECT_NE(fz::snapshot(call.inputs[0]), before);
}

}  // namespace
