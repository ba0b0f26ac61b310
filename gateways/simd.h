// Portable vectors of doubles for the solve kernels, and the instruction
// sets they are compiled for.  The kernels are templates on the vector type;
// each wide instantiation is compiled with a GCC target attribute and chosen
// at run time, so the default build stays portable.  Vector arithmetic is
// element-wise IEEE arithmetic: with contraction off, a lane computes exactly
// what the scalar loop computes for its element.
#pragma once

#include <cstring>

namespace gatebox::simd {

// base: the 128-bit vectors of the baseline instruction set.
enum class Isa { plain, base, avx2, avx512 };

#if (defined(__x86_64__) || defined(__i386__)) && !defined(_WIN32)
// The wide paths are left out of Windows builds: GCC for Windows does not
// align the stack for spilled AVX registers.
#define GATEBOX_SIMD_WIDE 1
#endif

inline bool available(Isa isa) {
  switch (isa) {
    case Isa::plain:
    case Isa::base:
      return true;
#ifdef GATEBOX_SIMD_WIDE
    case Isa::avx2:
      return __builtin_cpu_supports("avx2");
    case Isa::avx512:
      return __builtin_cpu_supports("avx512f");
#endif
    default:
      return false;
  }
}

// The widest instruction set this CPU offers, decided once.
inline Isa widest() {
  static const Isa isa = available(Isa::avx512) ? Isa::avx512 : available(Isa::avx2) ? Isa::avx2 : Isa::base;
  return isa;
}

#define GATEBOX_INLINE inline __attribute__((always_inline))

// The vector helpers are always inlined into code compiled for their width,
// so the calling convention of wide vectors never applies.
#pragma GCC diagnostic ignored "-Wpsabi"

typedef double v2d __attribute__((vector_size(16)));
typedef double v4d __attribute__((vector_size(32)));
typedef double v8d __attribute__((vector_size(64)));

template <class V>
GATEBOX_INLINE V load(const double *p) {
  V v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
template <class V>
GATEBOX_INLINE void store(double *p, const V &v) {
  std::memcpy(p, &v, sizeof v);
}

}  // namespace gatebox::simd
