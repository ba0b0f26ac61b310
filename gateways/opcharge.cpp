// opcharge(count): adds count to the global flop counter `flopcount`.
//
// The counter is the first element of the global double array flopcount,
// which the user declares and sets; a missing or empty counter is not an
// error and nothing is charged.  The counter is read with mexGetVariable, a
// copy is changed and put back: GNU Octave 7.3 may hand out an array whose
// storage is shared with other values, even with a constant of the user's
// code, so the array the host returns is never written through.
#include "gateway.h"

#include <cstdint>

#ifndef GATEBOX_WINDOWS_BEHAVIOUR
#define GATEBOX_WINDOWS_BEHAVIOUR 0
#endif

namespace {
const char kUsage[] = "Usage: opcharge(count)";
const char kNotDouble[] = "COUNT must be a full double array; convert it with double(COUNT).";
const char kEmpty[] = "COUNT is empty; expected the number of operations to charge.";
const char kBadCount[] = "COUNT must be a number from 0 to 2^32-1 (4294967295).";

enum class Charge { done, no_counter, not_double };

// Adds count to the first element of the global flopcount.  Absent or empty:
// nothing happens.  A flopcount that is not a full double array is left as it
// is and reported to the caller.
Charge opcharge(std::uint32_t count) {
  mxArray *held = mexGetVariable("global", "flopcount");
  if (held == nullptr) return Charge::no_counter;
  Charge result = Charge::no_counter;
  if (!mxIsEmpty(held)) {
    if (!mxIsDouble(held) || mxIsSparse(held)) {
      result = Charge::not_double;
    } else {
      mxArray *next = mxDuplicateArray(held);
      mxGetPr(next)[0] += static_cast<double>(count);
      mexPutVariable("global", "flopcount", next);
      mxDestroyArray(next);
      result = Charge::done;
    }
  }
  mxDestroyArray(held);
  return result;
}

// Truncates a count already known to lie in [0, 2^32) toward zero.  The
// Windows runtime converts through a signed 32-bit integer, taking 2^31 off
// the values that do not fit and adding it back; Linux truncates to 64 bits
// and keeps the low word.  Over the accepted range both give trunc(x).
std::uint32_t to_count(double x) {
#if GATEBOX_WINDOWS_BEHAVIOUR
  if (x < 2147483648.0) return static_cast<std::uint32_t>(static_cast<std::int32_t>(x));
  return static_cast<std::uint32_t>(static_cast<std::int32_t>(x - 2147483648.0)) + 0x80000000u;
#else
  return static_cast<std::uint32_t>(static_cast<std::int64_t>(x));
#endif
}
}  // namespace

GATEBOX_ENTRY void mexFunction(int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]) {
  (void)nlhs;
  (void)plhs;
  if (nrhs != 1) mexErrMsgTxt(kUsage);
  const mxArray *arg = prhs[0];
  if (!mxIsDouble(arg) || mxIsSparse(arg)) gatebox::fail("opcharge", "notDouble", kNotDouble);
  if (mxIsEmpty(arg)) gatebox::fail("opcharge", "emptyCount", kEmpty);
  double x = mxGetPr(arg)[0];
  if (!(x >= 0.0 && x < 4294967296.0)) gatebox::fail("opcharge", "badCount", kBadCount);
  if (opcharge(to_count(x)) == Charge::not_double)
    gatebox::fail("opcharge", "flopcountNotDouble",
                  "The global flopcount is not a full double array; it was left unchanged.");
}
