// B = tilearray(A, [M N P ...]) or tilearray(A, M, N, P, ...): copies of A
// laid side by side, M times along the first dimension, N along the second,
// and so on.
//
// Elements are moved as raw bytes, so one routine serves every numeric class,
// real and complex, and the logical and char classes.  Method: a walk over
// the dimensions that copies each input column once and multiplies the
// copied data by block doubling (memrep), so a count c costs about 2*log2(c)
// copies of growing length rather than c copies.  The output is created
// without zero-fill (gatekit), since every byte of it is written.
//
// Built twice from this source: the current build (all elements of every
// count argument are counts) and, with GATEBOX_TILEARRAY_R12, the older one
// (one count per count argument: its first element).
#include "gatekit.h"
#include "kernels.h"
#include "octave_output.h"
#include "vocabulary.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

#if GATEBOX_TILEARRAY_R12
const char kUsage[] = "Usage: tilearray(A, [N M ...])";
#else
const char kUsage[] = "Usage: tilearray(A, [M N ...])";
#endif
const char kCell[] = "Sorry, can't handle cell arrays yet.";
const char kBadClass[] = "A must be a numeric, logical or char array; structs, objects and function handles "
                         "cannot be tiled.";
const char kCountClass[] = "Replication counts must be full numeric or logical arrays.";
const char kBadCount[] = "Replication counts must be whole numbers from 0 to 2147483647 after truncation "
                         "toward zero; a count is negative, NaN, infinite or too large.";
const char kEmptyCount[] = "Each count argument gives one count and must not be empty.";
const char kTooLarge[] = "The result is too large: its element or byte count overflows.";

// Value `i` of a count argument whose class was checked to be numeric or
// logical, truncated toward zero; ends the call unless it lies in int32 range.
std::size_t count_at(const mxArray *a, std::size_t i) {
  double t = std::trunc(gatebox::value_at(a, i));
  if (!(t >= 0 && t <= 2147483647.0)) gatebox::fail("tilearray", "badCount", kBadCount);
  return static_cast<std::size_t>(t);
}

void require_count_class(const mxArray *a) {
  if (!gatebox::full_numeric(a)) gatebox::fail("tilearray", "badCountClass", kCountClass);
}

// The count list: counts[0..k-1] from the arguments, the rest of the D
// entries 1.  Returns k.
std::size_t read_counts(int nargs, const mxArray *const *args, std::size_t d, std::size_t *&counts,
                        std::size_t &D) {
  std::size_t k = 0;
  for (int j = 0; j < nargs; ++j) require_count_class(args[j]);
  if (nargs == 1) {
    // The first N stored values, N the column count; an empty 0-by-N argument has none.
    std::size_t n = mxGetN(args[0]), stored = mxGetNumberOfElements(args[0]);
    k = n < stored ? n : stored;
  } else {
#if GATEBOX_TILEARRAY_R12
    for (int j = 0; j < nargs; ++j)
      if (mxIsEmpty(args[j])) gatebox::fail("tilearray", "emptyCount", kEmptyCount);
    k = static_cast<std::size_t>(nargs);
#else
    for (int j = 0; j < nargs; ++j) k += mxGetNumberOfElements(args[j]);
#endif
  }
  D = k > d ? k : d;
  counts = static_cast<std::size_t *>(mxCalloc(D, sizeof(std::size_t)));
  if (nargs == 1) {
    for (std::size_t i = 0; i < k; ++i) counts[i] = count_at(args[0], i);
    if (k == 1) counts[k++] = counts[0];  // tilearray(A, M) tiles M by M
  } else {
    std::size_t i = 0;
    for (int j = 0; j < nargs; ++j) {
#if GATEBOX_TILEARRAY_R12
      counts[i++] = count_at(args[j], 0);
#else
      for (std::size_t e = 0, n = mxGetNumberOfElements(args[j]); e < n; ++e) counts[i++] = count_at(args[j], e);
#endif
    }
  }
  for (std::size_t i = k; i < D; ++i) counts[i] = 1;
  return k;
}


// Creates an uninitialised array of the class of `a` (in Octave, a large
// real double one is made by the interpreter, zero-filled).
mxArray *create_like(const mxArray *a, std::size_t D, const mwSize *dims, std::size_t bytes) {
#if GATEBOX_OCTAVE_HOST
  if (mxArray *made = gatebox::create_by_interpreter(a, D, dims, bytes)) return made;
#else
  (void)bytes;
#endif
  mwSize nd = static_cast<mwSize>(D);
  if (mxIsLogical(a)) return mxCreateLogicalArrayE(nd, dims);
  if (mxIsChar(a)) return mxCreateCharArrayE(nd, dims);
  return mxCreateNumericArrayE(nd, dims, mxGetClassID(a), mxIsComplex(a) ? mxCOMPLEX : mxREAL);
}

}  // namespace

GATEBOX_ENTRY void mexFunction(int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]) {
  (void)nlhs;
  if (nrhs < 2) gatebox::fail("tilearray", "usage", kUsage);
  const mxArray *A = prhs[0];
  if (mxIsSparse(A)) gatebox::fail("tilearray", "sparse", gatebox::kSparseYet);
  if (mxIsCell(A)) gatebox::fail("tilearray", "cell", kCell);
  if (!(mxIsNumeric(A) || mxIsLogical(A) || mxIsChar(A))) gatebox::fail("tilearray", "badClass", kBadClass);

  std::size_t d = static_cast<std::size_t>(mxGetNumberOfDimensions(A)), D = 0;
  const mwSize *dims = mxGetDimensions(A);
  std::size_t *counts = nullptr;
  read_counts(nrhs - 1, prhs + 1, d, counts, D);

  // Output shape, checked for overflow before anything is created.
  const std::size_t e = mxGetElementSize(A);
  auto *out_dims = static_cast<mwSize *>(mxCalloc(D, sizeof(mwSize)));
  std::size_t total = 1, nonzero = e;
  for (std::size_t i = 0; i < D; ++i) {
    std::size_t in = i < d ? static_cast<std::size_t>(dims[i]) : 1, c = counts[i];
    if (c != 0 && in > static_cast<std::size_t>(PTRDIFF_MAX) / c) gatebox::fail("tilearray", "tooLarge", kTooLarge);
    std::size_t out = in * c;
    out_dims[i] = static_cast<mwSize>(out);
    total = out == 0 ? 0 : total;
    if (out != 0 && nonzero > static_cast<std::size_t>(PTRDIFF_MAX) / out)
      gatebox::fail("tilearray", "tooLarge", kTooLarge);
    if (out != 0) nonzero *= out;
  }
  plhs[0] = create_like(A, D, out_dims, total == 0 ? 0 : nonzero);
  if (total == 0) return;  // a zero among the dimensions: nothing to copy

  // The walk's levels over the input dimensions, identities left out, then
  // the extra factor for the dimensions A does not have.
  auto *levels = static_cast<gatebox::TileLevel *>(mxCalloc(d, sizeof(gatebox::TileLevel)));
  std::size_t top = 0, in_stride = e, out_stride = e, extra = 1;
  for (std::size_t i = 0; i < d; ++i) {
    std::size_t dim = static_cast<std::size_t>(dims[i]);
    in_stride *= dim;
    out_stride *= dim * counts[i];
    if (i == 0 || dim != 1 || counts[i] != 1) levels[i == 0 ? 0 : ++top] = gatebox::TileLevel{dim, counts[i], 0, 0};
    levels[top].in_stride = in_stride;
    levels[top].out_stride = out_stride;
  }
  for (std::size_t i = d; i < D; ++i) extra *= counts[i];

  char *dest = static_cast<char *>(mxGetData(plhs[0]));
  gatebox::tile(dest, static_cast<const char *>(mxGetData(A)), top, levels);
  gatebox::memrep(dest, out_stride, extra);
  if (mxIsComplex(A)) {
    char *dest_im = static_cast<char *>(mxGetImagData(plhs[0]));
    gatebox::tile(dest_im, static_cast<const char *>(mxGetImagData(A)), top, levels);
    gatebox::memrep(dest_im, out_stride, extra);
  }
}
