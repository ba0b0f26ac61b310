// The bin count and the tally behind tallybins.
#include "kernels.h"

namespace gatebox {

std::int32_t to_int32(double v) {
  return v > -2147483649.0 && v < 2147483648.0 ? static_cast<std::int32_t>(v) : INT32_MIN;
}

std::int32_t largest_bin(const double *x, std::size_t count, bool nan_replaces) {
  std::int32_t top = to_int32(x[0]);
  if (nan_replaces) {
    for (std::size_t i = 0; i < count; ++i)
      if (!(static_cast<double>(top) >= x[i])) top = to_int32(x[i]);
  } else {
    for (std::size_t i = 0; i < count; ++i)
      if (x[i] > static_cast<double>(top)) top = to_int32(x[i]);
  }
  return top;
}

bool count_bins(const double *x, std::size_t count, std::int32_t bins, double *h) {
  const double limit = static_cast<double>(bins) + 1.0;  // trunc(v) <= bins  <=>  v < bins + 1
  for (std::size_t i = 0; i < count; ++i) {
    double v = x[i];
    if (!(v >= 1.0 && v < limit)) return false;
    h[static_cast<std::int32_t>(v) - 1] += 1.0;
  }
  return true;
}

}  // namespace gatebox
