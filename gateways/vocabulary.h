// The shared vocabulary of the gateways: the fixed message texts that several
// gateways give, the reading of count arguments, and the shape of the
// element-by-element gateways.  Every refusal goes through gatebox::fail
// with an identifier gatebox:<function>:<reason>.
#pragma once

#include "gateway.h"
#include "octave_output.h"

#include <cmath>
#include <cstdint>

// Where the Windows and Linux builds of a function differ, 1 selects the
// Windows build's behaviour (the build sets it; the Linux one by default).
#ifndef GATEBOX_WINDOWS_BEHAVIOUR
#define GATEBOX_WINDOWS_BEHAVIOUR 0
#endif

namespace gatebox {

// ---- Fixed message texts ------------------------------------------------------
inline constexpr char kSparseSorry[] = "Cannot handle sparse matrices.  Sorry.";
inline constexpr char kSparseYet[] = "Sorry, can't handle sparse matrices yet.";
inline constexpr char kNotSquare[] = "matrix must be square";
inline constexpr char kNotScalar[] = "n must be scalar";
inline constexpr char kOutOfBounds[] = "value out of bounds";
inline constexpr char kTNotDouble[] = "T must be a double array; convert it with double(T).";
inline constexpr char kBNotDouble[] = "b must be a double array; convert it with double(b).";
inline constexpr char kSizeMismatch[] = "b must have as many rows as T.";

// Ends the call with gatebox:<function>:usage unless there are `expected`
// arguments.
inline void require_nargs(int nrhs, int expected, const char *function, const char *usage) {
  if (nrhs != expected) fail(function, "usage", usage);
}

// ---- Count arguments --------------------------------------------------------------

// Element i of a numeric or logical array (its real part), read by value as
// a double: exact for every class but 64-bit values beyond 2^53, which round
// to the nearest double.
inline double value_at(const mxArray *a, std::size_t i) {
  const void *p = mxGetData(a);
  switch (mxGetClassID(a)) {
    case mxDOUBLE_CLASS: return static_cast<const double *>(p)[i];
    case mxSINGLE_CLASS: return static_cast<const float *>(p)[i];
    case mxINT8_CLASS: return static_cast<const std::int8_t *>(p)[i];
    case mxUINT8_CLASS: return static_cast<const std::uint8_t *>(p)[i];
    case mxINT16_CLASS: return static_cast<const std::int16_t *>(p)[i];
    case mxUINT16_CLASS: return static_cast<const std::uint16_t *>(p)[i];
    case mxINT32_CLASS: return static_cast<const std::int32_t *>(p)[i];
    case mxUINT32_CLASS: return static_cast<const std::uint32_t *>(p)[i];
    case mxINT64_CLASS: return static_cast<double>(static_cast<const std::int64_t *>(p)[i]);
    case mxUINT64_CLASS: {
      // Through the signed conversion, halved with a sticky bit above 2^63,
      // so that the value is rounded once; the direct unsigned conversion is
      // x87 arithmetic on 32-bit x86.
      const std::uint64_t u = static_cast<const std::uint64_t *>(p)[i];
      if (u >> 63 == 0) return static_cast<double>(static_cast<std::int64_t>(u));
      return 2.0 * static_cast<double>(static_cast<std::int64_t>((u >> 1) | (u & 1)));
    }
    default: return static_cast<const mxLogical *>(p)[i] ? 1.0 : 0.0;
  }
}

// A full array of a numeric class or logical (an array value_at reads).
inline bool full_numeric(const mxArray *a) { return !mxIsSparse(a) && (mxIsNumeric(a) || mxIsLogical(a)); }

// The trial count argument of the sampling gateways (trialdraw, drawcounts):
// `n` must be 1-by-1 (notScalar, the fixed text), a double (notDouble), and
// truncate toward zero to a count in 0 .. 2^31 - 1 (badTrialCount): NaN,
// negative counts (-0.5 truncates to 0 and is accepted) and counts beyond the
// int range have no trial count to convert to.  A complex n is read through
// its real part; a sparse one through its stored entry, if any (a sparse zero
// stores none).
inline int trial_count(const mxArray *n, const char *function) {
  if (mxGetM(n) != 1 || mxGetN(n) != 1) fail(function, "notScalar", kNotScalar);
  if (!mxIsDouble(n)) fail(function, "notDouble", "n must be a double scalar; convert it with double(n).");
  double value = 0.0;
  if (!mxIsSparse(n) || mxGetJc(n)[1] > 0) value = mxGetPr(n)[0];
  double count = std::trunc(value);
  if (!(count >= 0.0 && count <= 2147483647.0))
    fail(function, "badTrialCount", "n must be a number of trials from 0 to 2147483647, not NaN or negative.");
  return static_cast<int>(count);
}

// ---- Element-by-element gateways ----------------------------------------------------
// The first argument of trigamma, shapedraw, trialdraw and drawcounts: after
// the argument count (and the gateway's other arguments) it must not be
// sparse (sparse, the fixed text) and must be a double array (notDouble, the
// gateway's text); its real part is read.  The output is a real double array
// of the input's full dimensions, or with `rows_by_columns` of its rows by the
// product of its other dimensions.
struct Elementwise {
  const double *in;
  double *out;
  std::size_t count;  // elements of the input and of the output
};

inline Elementwise elementwise(const char *function, const mxArray *a, const char *not_double, mxArray **plhs,
                               bool rows_by_columns = false) {
  if (mxIsSparse(a)) fail(function, "sparse", kSparseSorry);
  require_double(a, function, not_double);
  if (rows_by_columns) {
    const mwSize dims[2] = {static_cast<mwSize>(mxGetM(a)), static_cast<mwSize>(mxGetN(a))};
    plhs[0] = create_double_output(2, dims);
  } else {
    plhs[0] = create_double_output(mxGetNumberOfDimensions(a), mxGetDimensions(a));
  }
  return Elementwise{mxGetPr(a), mxGetPr(plhs[0]), mxGetNumberOfElements(a)};
}

}  // namespace gatebox
