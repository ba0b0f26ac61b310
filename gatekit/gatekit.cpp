// gatekit: host arrays with uninitialised data.
//
// Method: create a one-element array of the right class, number of
// dimensions and complexity with the host's own constructor (which zero-fills
// that one element), record the requested shape with mxSetDimensions (or
// mxSetM and mxSetN), and grow each data block to the full size with
// mxRealloc.  The host copies the single leading element and leaves the rest
// unset, so the cost does not grow with the array beyond the host's
// allocation itself.
//
// What the method relies on of the host, and where this file does more than
// the plain method because a host does not honour it:
//   - mxSetDimensions, mxSetM, mxSetN record the shape only and accept a shape
//     whose size differs from the data block's (both hosts; GNU Octave 7.3
//     copies the dimension vector);
//   - mxRealloc keeps the leading contents and may take an array's block.
//     For a zero size, GNU Octave 7.3 passes the request to glibc realloc,
//     which frees the block and returns null; a null imaginary block makes
//     the array real there.  An empty array therefore keeps the one-element
//     blocks it was created with (they are never read);
//   - a failed mxRealloc in GNU Octave 7.3 returns null instead of ending the
//     call: the array is destroyed and the call ends with an error rather
//     than handing back an array without data.
// Large blocks are advised to the kernel as huge-page candidates before their
// first write: first writes to fresh 4 KiB pages cost far more than the
// writes themselves.
#include "gatekit.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace {

// Ends the call: the request cannot be a valid array in this address space.
[[noreturn]] void too_large() {
  char id[96];
  std::snprintf(id, sizeof id, "gatebox:%s:arrayTooLarge", mexFunctionName());
  mexErrMsgIdAndTxt(id, "%s",
                    "Requested array is too large: its dimensions must be nonnegative and "
                    "its byte size must fit in memory.");
  std::abort();  // not reached: the error call does not return
}

// Element total of `dims`; ends the call on a negative dimension or when the
// product of the nonzero dimensions overflows the address space (a host
// rejects such a shape even when another dimension is zero).
std::size_t element_total(mwSize ndim, const mwSize *dims) {
  const std::size_t limit = PTRDIFF_MAX;
  std::size_t nonzero = 1;
  bool empty = false;
  for (mwSize i = 0; i < ndim; ++i) {
    if (dims[i] < 0) too_large();
    // A dimension past the address space (mwSize is wider than size_t on
    // 32-bit targets) must not wrap to a small one, or to an empty one.
    if (static_cast<unsigned long long>(dims[i]) > limit) too_large();
    std::size_t d = static_cast<std::size_t>(dims[i]);
    if (d == 0) {
      empty = true;
      continue;
    }
    if (nonzero > limit / d) too_large();
    nonzero *= d;
  }
  return empty ? 0 : nonzero;
}

std::size_t byte_total(std::size_t elements, std::size_t element_size) {
  if (element_size != 0 && elements > PTRDIFF_MAX / element_size) too_large();
  return elements * element_size;
}

void advise_huge_pages(void *block, std::size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE) && !GATEBOX_GATEKIT_NO_HUGEPAGES
  const std::size_t huge = std::size_t{2} << 20;
  if (bytes < 2 * huge) return;
  const std::uintptr_t page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  std::uintptr_t start = (reinterpret_cast<std::uintptr_t>(block) + page - 1) & ~(page - 1);
  std::uintptr_t end = (reinterpret_cast<std::uintptr_t>(block) + bytes) & ~(page - 1);
  if (end > start) madvise(reinterpret_cast<void *>(start), end - start, MADV_HUGEPAGE);
#else
  (void)block;
  (void)bytes;
#endif
}

// Grows one data block of `a` to `bytes`; a zero size keeps the block.
void *grow(mxArray *a, void *block, std::size_t bytes) {
  if (bytes == 0) return block;
  void *p = mxRealloc(block, bytes);
  if (!p) {
    mxDestroyArray(a);
    char id[96];
    std::snprintf(id, sizeof id, "gatebox:%s:outOfMemory", mexFunctionName());
    mexErrMsgIdAndTxt(id, "Out of memory: could not allocate %zu bytes for the result.", bytes);
    std::abort();  // not reached: the error call does not return
  }
  advise_huge_pages(p, bytes);
  return p;
}

// Shape and data blocks for a one-element array `a` that was created with
// the number of dimensions of `dims`: the leading element stays as created.
mxArray *resize_array(mxArray *a, mwSize ndim, const mwSize *dims, std::size_t elements, bool imaginary) {
  std::size_t bytes = byte_total(elements, mxGetElementSize(a));
  mxSetDimensions(a, dims, ndim);
  mxSetData(a, grow(a, mxGetData(a), bytes));
  if (imaginary) mxSetPi(a, static_cast<double *>(grow(a, mxGetPi(a), bytes)));
  return a;
}

// Runs `create(ndim, ones)` with a scratch vector of ndim ones from the host
// allocator, then gives the array the caller's shape.  Fewer than two
// dimensions are padded with ones, as the host's constructors do.
template <class Create>
mxArray *create_uninitialised(mwSize ndim, const mwSize *dims, bool imaginary, Create create) {
  mwSize padded[2] = {1, 1};
  if (ndim < 2) {
    for (mwSize i = 0; i < ndim; ++i) padded[i] = dims[i];
    dims = padded;
    ndim = 2;
  }
  std::size_t elements = element_total(ndim, dims);
  auto *ones = static_cast<mwSize *>(mxMalloc(static_cast<std::size_t>(ndim) * sizeof(mwSize)));
  for (mwSize i = 0; i < ndim; ++i) ones[i] = 1;
  mxArray *a = create(ndim, ones);
  mxFree(ones);
  return resize_array(a, ndim, dims, elements, imaginary);
}

}  // namespace

mxArray *mxCreateNumericArrayE(mwSize ndim, const mwSize *dims, mxClassID classid, mxComplexity complexity) {
  return create_uninitialised(ndim, dims, complexity == mxCOMPLEX, [&](mwSize d, const mwSize *ones) {
    return mxCreateNumericArray(d, ones, classid, complexity);
  });
}

// The blocks are sized for m*n doubles whatever the class: never less than
// the class needs, since no numeric element is wider than a double.
mxArray *mxCreateNumericMatrixE(mwSize m, mwSize n, mxClassID classid, mxComplexity complexity) {
  const mwSize dims[2] = {m, n};
  std::size_t bytes = byte_total(element_total(2, dims), sizeof(double));
  mxArray *a = mxCreateNumericMatrix(1, 1, classid, complexity);
  mxSetM(a, m);
  mxSetN(a, n);
  mxSetPr(a, static_cast<double *>(grow(a, mxGetPr(a), bytes)));
  if (complexity == mxCOMPLEX) mxSetPi(a, static_cast<double *>(grow(a, mxGetPi(a), bytes)));
  return a;
}

mxArray *mxCreateDoubleMatrixE(mwSize m, mwSize n, mxComplexity complexity) {
  return mxCreateNumericMatrixE(m, n, mxDOUBLE_CLASS, complexity);
}

mxArray *mxCreateLogicalArrayE(mwSize ndim, const mwSize *dims) {
  return create_uninitialised(ndim, dims, false,
                              [](mwSize d, const mwSize *ones) { return mxCreateLogicalArray(d, ones); });
}

mxArray *mxCreateCharArrayE(mwSize ndim, const mwSize *dims) {
  return create_uninitialised(ndim, dims, false,
                              [](mwSize d, const mwSize *ones) { return mxCreateCharArray(d, ones); });
}
