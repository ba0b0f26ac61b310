// The 'state' call forms of the sampling gateways (shapedraw, trialdraw,
// drawcounts), after the host's legacy generators (rand('state', s)):
//   s = f('state')       the library's stream state as a 1-by-3 double [ix iy iz]
//   f('state', [ix iy iz]) sets it exactly (1 <= ix <= 30268,
//                        1 <= iy <= 30306, 1 <= iz <= 30322)
//   f('state', 0)        back to the load-time state (101, 1001, 10001)
//   f('state', k)        the state seed k (1 .. 2^32 - 1) stands for (SeedState)
// A setting call returns the new state when an output is asked for.  A
// first argument that is a char row is a keyword: any keyword but 'state',
// and anything after 'state' but the values above, is refused before the
// state is touched.  Every other call is left to the gateway unchanged.
#pragma once

#include "gateway.h"
#include "util.h"
#include "vocabulary.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace gatebox {

inline constexpr char kBadState[] =
    "The state must be 0 (the initial state), a whole number from 1 to 4294967295 (a seed), "
    "or a 3-element vector of whole numbers [ix iy iz] with 1 <= ix <= 30268, 1 <= iy <= 30306 "
    "and 1 <= iz <= 30322.";
inline constexpr char kStateArgs[] = "'state' takes at most one value: s = f('state') reads the state, f('state', s) sets it.";
inline constexpr char kUnknownKeyword[] = "The only keyword is 'state': s = f('state') reads the state, f('state', s) sets it.";

namespace statecall_detail {

inline bool whole_in(double v, double lo, double hi) { return v >= lo && v <= hi && v == std::floor(v); }

// The state s stands for, or false when it stands for none.
inline bool decode(const mxArray *s, WHState &state) {
  // The class comes first: no data pointer of a handle or object is taken.
  if (!mxIsNumeric(s) || mxIsComplex(s) || mxIsSparse(s) || mxGetNumberOfDimensions(s) != 2) return false;
  const std::size_t count = mxGetNumberOfElements(s);
  if (count == 1) {
    const double k = value_at(s, 0);
    if (!whole_in(k, 0.0, 4294967295.0)) return false;
    state = SeedState(static_cast<std::uint32_t>(k));
    return true;
  }
  if (count != 3 || (mxGetM(s) != 1 && mxGetN(s) != 1)) return false;
  const double ix = value_at(s, 0), iy = value_at(s, 1), iz = value_at(s, 2);
  if (!whole_in(ix, 1, 30268) || !whole_in(iy, 1, 30306) || !whole_in(iz, 1, 30322)) return false;
  state = {static_cast<int32_t>(ix), static_cast<int32_t>(iy), static_cast<int32_t>(iz)};
  return true;
}

inline mxArray *state_row(const WHState &s) {
  mxArray *out = mxCreateDoubleMatrix(1, 3, mxREAL);
  double *v = mxGetPr(out);
  v[0] = s.ix, v[1] = s.iy, v[2] = s.iz;
  return out;
}

}  // namespace statecall_detail

// True when the call is a keyword call, which it has then handled (or
// refused); false for every other call, which it leaves untouched.
inline bool state_call(const char *function, int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]) {
  if (nrhs < 1 || !mxIsChar(prhs[0]) || mxGetNumberOfDimensions(prhs[0]) != 2 || mxGetM(prhs[0]) != 1 ||
      mxGetN(prhs[0]) == 0)
    return false;
  char word[8] = "";
  if (mxGetN(prhs[0]) != 5 || mxGetString(prhs[0], word, sizeof word) != 0 || std::strcmp(word, "state") != 0)
    fail(function, "unknownKeyword", kUnknownKeyword);
  if (nrhs > 2) fail(function, "badState", kStateArgs);
  if (nrhs == 1) {
    plhs[0] = statecall_detail::state_row(RandState());
    return true;
  }
  WHState state;
  if (!statecall_detail::decode(prhs[1], state)) fail(function, "badState", kBadState);
  SetRandState(state);
  if (nlhs >= 1) plhs[0] = statecall_detail::state_row(state);
  return true;
}

}  // namespace gatebox
