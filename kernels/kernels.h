// gatebox kernels: the numerical cores of the gateways, on plain pointers
// and sizes.  They know nothing of any host array and never fail; every
// argument check is the gateway's.  Like the support library (util), this
// library is compiled position-independent with hidden visibility and linked
// into each gateway library that uses it, so every library keeps its own copy.
#pragma once

#include "util.h"

#include <cstddef>
#include <cstdint>

namespace gatebox {

// ---- drawcounts (drawcounts_kernel.cpp) ------------------------------------
// The counts of `trials` trials over m >= 1 categories of probabilities
// p[0..m-1], drawn from `state`, written to counts[0..m-1].  With
// stop_at_nan the draw also stops (zeros after it) once the probability mass
// left is NaN, as in the Windows build.
void MultiRand(WHState &state, const double *p, std::size_t m, int trials, double *counts, bool stop_at_nan);

// ---- gamma (gamma_kernel.cpp) ----------------------------------------------
// Gamma(x) for real x (Cody's SPECFUN GAMMA).
double dgamma(double x);

// ---- axisfold (axisfold_kernel.cpp) ----------------------------------------
// Adds the elements of `in` (d dimensions of sizes dims) into out, summing over
// the dimensions whose flag in `summed` is nonzero; out holds the elements of
// the kept dimensions in storage order.  Every output element receives its
// inputs in increasing storage order, rounding after each addition.
// work: 4*d scratch entries.
void foldsum(double *out, const double *in, std::ptrdiff_t d, const std::ptrdiff_t *dims,
             const unsigned char *summed, std::ptrdiff_t *work);

// ---- tilearray (tilearray_kernel.cpp) --------------------------------------
// Copies the `len` bytes at `dest` so that `count` copies lie back to back
// from `dest` (count >= 1).
void memrep(char *dest, std::size_t len, std::size_t count);

// One level of the tiling walk: an input dimension of size `dim` repeated
// `count` times; strides are the byte sizes of the sub-arrays over this
// dimension and the ones below it, in the input and in the output.  Levels
// whose size and count are both 1 change nothing and are best left out: then
// at most one level per doubling of the output size remains and the
// recursion stays shallow.
struct TileLevel {
  std::size_t dim, count, in_stride, out_stride;
};
// Writes the fully tiled image of the source sub-array over levels 0..top
// to `dest`: levels[top].out_stride bytes.
void tile(char *dest, const char *src, std::size_t top, const TileLevel *levels);

// ---- tallybins (tallybins_kernel.cpp) --------------------------------------
// Truncation toward zero to a 32-bit integer; INT32_MIN when out of range
// (NaN included), as the x86 truncating conversion gives.
std::int32_t to_int32(double v);
// The truncated largest of count >= 1 values, searched in storage order.
// With nan_replaces a NaN replaces the running maximum (the Windows build's
// comparison).
std::int32_t largest_bin(const double *x, std::size_t count, bool nan_replaces);
// Adds one to h[v - 1] for every element truncating to v in 1..bins.
// Returns false at the first element outside the bins (NaN included).
bool count_bins(const double *x, std::size_t count, std::int32_t bins, double *h);
// The same tally in blocks, with 4*bins zeroed counters `sub` as scratch
// (left zeroed on success); h must hold whole numbers.  Returns false when an
// element lies outside the bins (h and sub then hold partial counts).
bool count_bins_blocked(const double *x, std::size_t count, std::int32_t bins, double *h, std::uint32_t *sub);

}  // namespace gatebox
