// The trial count argument of the sampling gateways (trialdraw, drawcounts):
// a 1-by-1 double truncated toward zero to a 32-bit signed count.
#pragma once

#include "gateway.h"

#include <cmath>

namespace gatebox {

// Checks that `n` is 1-by-1 (failing with `not_scalar`, a fixed text), that
// it is a double, and that its value truncates to a count in 0 .. 2^31 - 1:
// NaN, negative counts (-0.5 truncates to 0 and is accepted) and counts beyond
// the int range are refused, since they have no trial count to convert to.
// A complex n is read through its real part; a sparse one through its
// stored entry, if any (a sparse zero stores none).
inline int trial_count(const mxArray *n, const char *function, const char *not_scalar) {
  if (mxGetM(n) != 1 || mxGetN(n) != 1) mexErrMsgTxt(not_scalar);
  if (!mxIsDouble(n)) fail(function, "notDouble", "n must be a double scalar; convert it with double(n).");
  double value = 0.0;
  if (!mxIsSparse(n) || mxGetJc(n)[1] > 0) value = mxGetPr(n)[0];
  double count = std::trunc(value);
  if (!(count >= 0.0 && count <= 2147483647.0))
    fail(function, "badTrialCount", "n must be a number of trials from 0 to 2147483647, not NaN or negative.");
  return static_cast<int>(count);
}

}  // namespace gatebox
