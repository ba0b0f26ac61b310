// Row-oriented triangular substitution, x := inv(T)*x, each component a dot
// product of the solved ones: the kernel of the backapply gateway.  Internal
// to the library that links it; never exported.
#pragma once

#include "simd.h"

#include <cstddef>

namespace gatebox {

// Doubles of workspace rowsubst needs for an m-by-k right-hand side.
std::size_t rowsubst_workspace(std::size_t m, std::size_t k);

// T: m-by-m, column-major, read only; only the chosen triangle (lower or upper,
// diagonal included) is read.  x: m-by-k, column-major, solved in place.
// work: rowsubst_workspace(m, k) doubles (may be null when that is 0).
void rowsubst(bool lower, const double *t, std::size_t m, double *x, std::size_t k, double *work);

namespace rowsubst_detail {
using simd::Isa;
using simd::available;
void solve(Isa isa, bool lower, const double *t, std::size_t m, double *x, std::size_t k, double *work);
}  // namespace rowsubst_detail

}  // namespace gatebox
