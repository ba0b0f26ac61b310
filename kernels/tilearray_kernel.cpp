// The tiling walk behind tilearray.
#include "kernels.h"

#include <cstring>

namespace gatebox {

// Copies the `len` bytes at `dest` so that `count` copies lie back to back
// from `dest` (count >= 1).  Block doubling: each step doubles the block; an
// odd count leaves one surplus copy behind a moved `dest`.  At most two
// copies per halving of the count.
void memrep(char *dest, std::size_t len, std::size_t count) {
  while (count > 1) {
    std::memcpy(dest + len, dest, len);
    if (count & 1) {
      std::memcpy(dest + 2 * len, dest + len, len);
      dest += len;
    }
    len *= 2;
    count /= 2;
  }
}

// Writes the fully tiled image of the source sub-array over levels 0..top
// to `dest`: levels[top].out_stride bytes.
void tile(char *dest, const char *src, std::size_t top, const TileLevel *levels) {
  std::size_t run;
  if (top == 0) {
    std::memcpy(dest, src, levels[0].in_stride);
    run = levels[0].in_stride;
  } else {
    const TileLevel &below = levels[top - 1];
    for (std::size_t i = 0; i < levels[top].dim; ++i)
      tile(dest + i * below.out_stride, src + i * below.in_stride, top - 1, levels);
    run = below.out_stride * levels[top].dim;
  }
  memrep(dest, run, levels[top].count);
}

}  // namespace gatebox
