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
// Returns null, having made nothing, when the output is small (below 64 KiB
// the call costs more than the copy), when the interpreter cannot make it
// (out of memory included) or gives something else than asked; the caller
// then creates the array itself, with its own out-of-memory error.
inline mxArray *interpreter_zeros(std::size_t D, const mwSize *dims, std::size_t bytes) {
  if (bytes < 65536) return nullptr;
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

// An output of the class of `a` made by the interpreter: only for a real
// double `a` (null otherwise, as above).
inline mxArray *create_by_interpreter(const mxArray *a, std::size_t D, const mwSize *dims, std::size_t bytes) {
  if (!mxIsDouble(a) || mxIsComplex(a)) return nullptr;
  return interpreter_zeros(D, dims, bytes);
}

}  // namespace gatebox
#endif

namespace gatebox {

// A zero-filled real double output of D dimensions: in Octave a large one
// is made by the interpreter (see above), saving the host's copy of it on
// return; everywhere else, and where the interpreter does not make it, by
// the host's own constructor.
inline mxArray *create_double_output(std::size_t D, const mwSize *dims) {
#if GATEBOX_OCTAVE_HOST
  std::size_t bytes = sizeof(double);
  for (std::size_t i = 0; i < D && bytes != 0; ++i) {
    const std::size_t d = static_cast<std::size_t>(dims[i]);
    bytes = d != 0 && bytes > static_cast<std::size_t>(-1) / d ? 0 : bytes * d;  // 0: too large to ask for
  }
  if (mxArray *made = interpreter_zeros(D, dims, bytes)) return made;
#endif
  return mxCreateNumericArray(static_cast<mwSize>(D), dims, mxDOUBLE_CLASS, mxREAL);
}

}  // namespace gatebox
