// The fixture of the sampling gateways' suites (shapedraw_test.cpp,
// trialdraw_test.cpp, drawcounts_test.cpp and the properties the three share
// in sampling_test.cpp): the four libraries through the own host, with a
// check that each test leaves no block or array behind.
#pragma once

#include "gatebox/host.hpp"
#include "gateways/platform.h"
#include "unit/stats.h"
#include "util.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace h = gatebox::host;

namespace sampling {

inline const std::string kData = GATEBOX_TEST_DATA;
inline const char kSparse[] = "Cannot handle sparse matrices.  Sorry.";

inline bool same_bits(const std::vector<double> &a, const std::vector<double> &b) {
  return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0);
}

class Sampling : public ::testing::Test {
 protected:
  h::Gateway shape{h::gateway_path("shapedraw")};
  h::Gateway trial{h::gateway_path("trialdraw")};
  h::Gateway counts{h::gateway_path("drawcounts")};
  h::Gateway counts_win{h::gateway_path("drawcounts", "win")};
  std::size_t blocks0 = h::live_blocks(), arrays0 = h::live_arrays();
  void TearDown() override {
    EXPECT_EQ(h::live_blocks(), blocks0);
    EXPECT_EQ(h::live_arrays(), arrays0);
  }
  // Values of a call that must succeed.
  static std::vector<double> draw(h::Gateway &g, std::vector<const mxArray *> in) {
    h::CallResult r = g.call(in);
    EXPECT_TRUE(r.ok()) << (r.ok() ? "" : r.error->message);
    return r.ok() ? h::values(r.out()) : std::vector<double>{};
  }
  static std::string failure(h::Gateway &g, std::vector<const mxArray *> in) {
    h::CallResult r = g.call(in);
    return r.ok() ? "(no error)" : r.error->id + " | " + r.error->message;
  }
};

}  // namespace sampling
