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

namespace simd {
enum class Isa;  // simd.h: the instruction sets of the vector kernels
}

// ---- drawcounts (drawcounts_kernel.cpp) ------------------------------------
// The counts of `trials` trials over m >= 1 categories of probabilities
// p[0..m-1], drawn from `state`, written to counts[0..m-1].  With
// stop_at_nan the draw also stops (zeros after it) once the probability mass
// left is NaN, as in the Windows build.  With columns > 1, p and counts hold
// that many columns of m one after the other, drawn in order (the same
// draws as one call per column).
void MultiRand(WHState &state, const double *p, std::size_t m, int trials, double *counts, bool stop_at_nan,
               std::size_t columns = 1);

// ---- gamma (gamma_kernel.cpp) ----------------------------------------------
// Gamma(x) for real x (Cody's SPECFUN GAMMA).
double dgamma(double x);
// The gamma gateway's value of x: k! exactly for whole x = k + 1 in 1..23,
// NaN passed through, dgamma(x) otherwise.
double gamma_element(double x);
// y[i] = gamma_element(x[i]) for i < n, bit for bit; x and y may be the
// same array.  The first form picks the widest instruction set (the plain
// loop without AVX2), the second takes the one given (it must be available).
void gamma_array(const double *x, double *y, std::size_t n);
void gamma_array(simd::Isa isa, const double *x, double *y, std::size_t n);
// The lanes of cr_log and cr_exp that gamma_array uses above 12, for the
// tests: y[i] = cr_log(x[i]) (cr_exp(x[i])) for i < n, bit for bit, on the
// instruction set given (the scalar function on the others); returns the
// number of elements the scalar function computed (outside the lanes'
// domain, undecided by their rounding test, or in the tail).
std::size_t gamma_log_lanes(simd::Isa isa, const double *x, double *y, std::size_t n);
std::size_t gamma_exp_lanes(simd::Isa isa, const double *x, double *y, std::size_t n);

// ---- trigamma (trigamma_kernel.cpp) ----------------------------------------
// y[i] = trigamma(x[i]) for i < n, bit for bit; x and y may be the same
// array.  The first form uses the widest instruction set of this CPU, the
// second the one given (it must be available).
void trigamma_array(const double *x, double *y, std::size_t n);
void trigamma_array(simd::Isa isa, const double *x, double *y, std::size_t n);

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
// The ways of counting a block: bin numbers stored and reloaded (every
// build), counted straight from the vector registers (x86_64), the same with
// SSE4.1's unsigned minimum and maximum for the bounds (x86_64 outside
// Windows builds, when the CPU has it).  count_bins_blocked above takes the
// last one available.
enum class TallyPath { two_pass, lanes, lanes_sse41 };
bool tally_path_available(TallyPath path);
bool count_bins_blocked(const double *x, std::size_t count, std::int32_t bins, double *h, std::uint32_t *sub,
                        TallyPath path);

}  // namespace gatebox
