// Large outputs made by the interpreter, for gateways built for Octave.
#pragma once

#include "mex.h"

#include <cstddef>
#include <new>

#if GATEBOX_OCTAVE_HOST
namespace gatebox {

// Octave 7.3 copies every array a gateway returns into one of its own, except
// an array the interpreter made: that one it takes back as it is.  A large
// real double output is therefore made by the interpreter's zeros (through
// `builtin`, so that no function of the user's named zeros is called) and
// filled in place, which costs one write of the zeros instead of the copy.
// Returns null, having made nothing, when the interpreter cannot make it
// (out of memory included) or gives something else than asked; the caller
// then creates the array itself, with its own out-of-memory error.
inline mxArray *create_by_interpreter(const mxArray *a, std::size_t D, const mwSize *dims, std::size_t bytes) {
  if (bytes < 65536 || !mxIsDouble(a) || mxIsComplex(a)) return nullptr;
  mxArray *args[2] = {mxCreateString("zeros"), mxCreateDoubleMatrix(1, static_cast<mwSize>(D), mxREAL)};
  for (std::size_t i = 0; i < D; ++i) mxGetPr(args[1])[i] = static_cast<double>(dims[i]);
  mxArray *out = nullptr, *err = nullptr;
  bool failed = false;
  try {
    err = mexCallMATLABWithTrap(1, &out, 2, args, "builtin");
  } catch (const std::bad_alloc &) {
    failed = true;
  }
  mxDestroyArray(args[0]);
  mxDestroyArray(args[1]);
  if (err != nullptr) mxDestroyArray(err);
  if (failed || err != nullptr || out == nullptr) return nullptr;
  bool same = mxIsDouble(out) && !mxIsComplex(out) && !mxIsSparse(out);
  const std::size_t nd = static_cast<std::size_t>(mxGetNumberOfDimensions(out));
  const mwSize *got = mxGetDimensions(out);
  for (std::size_t i = 0; same && i < (nd > D ? nd : D); ++i)
    same = (i < nd ? got[i] : 1) == (i < D ? dims[i] : 1);
  if (!same || mxGetData(out) == nullptr) {
    mxDestroyArray(out);
    return nullptr;
  }
  return out;
}

}  // namespace gatebox
#endif
