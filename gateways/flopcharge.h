// The flop charging routine of the gateways that charge work (opcharge,
// axisfold): adds a count to the host-global counter `flopcount`.
//
// The rule: the counter is the first element of the global array flopcount,
// which the user declares and sets.  A missing or empty flopcount is no
// counter: nothing is charged and nothing is said.  A flopcount that is not a
// full double array (real or complex; the real part counts) is left as it is
// and the routine reports it; the caller decides what that means (opcharge,
// whose only task is the charge, refuses; axisfold still returns its sums).
// The host's array is never written through: GNU Octave 7.3 may hand out an
// array whose storage is shared with other values, even with a constant of
// the user's code, so a copy is changed and put back.
#pragma once

#include "gateway.h"

namespace gatebox {

enum class Charge { done, no_counter, not_double };

// Adds count (exact below 2^53) to the counter's first element.
inline Charge charge_flops(double count) {
  mxArray *held = mexGetVariable("global", "flopcount");
  if (held == nullptr) return Charge::no_counter;
  Charge result = Charge::no_counter;
  if (!mxIsEmpty(held)) {
    if (!mxIsDouble(held) || mxIsSparse(held)) {
      result = Charge::not_double;
    } else {
      mxArray *next = mxDuplicateArray(held);
      mxGetPr(next)[0] += count;
      mexPutVariable("global", "flopcount", next);
      mxDestroyArray(next);
      result = Charge::done;
    }
  }
  mxDestroyArray(held);
  return result;
}

}  // namespace gatebox
