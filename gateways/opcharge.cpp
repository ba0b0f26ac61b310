// opcharge(count): adds count to the global flop counter `flopcount`.
//
// The counter and the charging rule are those of flopcharge.h: a missing or
// empty counter is not an error and nothing is charged; a counter that is
// not a full double array is left unchanged and the call is refused.
#include "flopcharge.h"
#include "vocabulary.h"

#include <cstdint>

namespace {
const char kUsage[] = "Usage: opcharge(count)";
const char kNotDouble[] = "COUNT must be a full double array; convert it with double(COUNT).";
const char kEmpty[] = "COUNT is empty; expected the number of operations to charge.";
const char kBadCount[] = "COUNT must be a number from 0 to 2^32-1 (4294967295).";

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
  gatebox::require_nargs(nrhs, 1, "opcharge", kUsage);
  const mxArray *arg = prhs[0];
  if (!mxIsDouble(arg) || mxIsSparse(arg)) gatebox::fail("opcharge", "notDouble", kNotDouble);
  if (mxIsEmpty(arg)) gatebox::fail("opcharge", "emptyCount", kEmpty);
  double x = mxGetPr(arg)[0];
  if (!(x >= 0.0 && x < 4294967296.0)) gatebox::fail("opcharge", "badCount", kBadCount);
  if (gatebox::charge_flops(static_cast<double>(to_count(x))) == gatebox::Charge::not_double)
    gatebox::fail("opcharge", "flopcountNotDouble",
                  "The global flopcount is not a full double array; it was left unchanged.");
}
