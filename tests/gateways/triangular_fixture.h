// The fixture of the triangular-solve suites (uppersubst_test.cpp,
// lowersubst_test.cpp, backapply_test.cpp and what the three share in
// triangular_test.cpp): the three libraries through the own host, with a
// check that each test leaves no block or array behind.
#pragma once

#include "gatebox/host.hpp"

#include <cmath>
#include <cstddef>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

namespace h = gatebox::host;

namespace triangular {

inline const double kNaN = std::numeric_limits<double>::quiet_NaN();
inline const double kInf = std::numeric_limits<double>::infinity();

inline std::string message(const h::CallResult &r) { return r.ok() ? "" : r.error->message; }
inline std::string id(const h::CallResult &r) { return r.ok() ? "" : r.error->id; }

// Bits equal, or both NaN (IEEE 754 leaves open which NaN a product passes on).
inline bool same(const std::vector<double> &x, const std::vector<double> &y) {
  if (x.size() != y.size()) return false;
  for (std::size_t i = 0; i < x.size(); ++i)
    if (std::memcmp(&x[i], &y[i], sizeof(double)) != 0 && !(std::isnan(x[i]) && std::isnan(y[i]))) return false;
  return true;
}

class Triangular : public ::testing::Test {
 protected:
  h::Gateway upper{h::gateway_path("uppersubst")}, lower{h::gateway_path("lowersubst")},
      back{h::gateway_path("backapply")};
  std::size_t blocks0 = h::live_blocks(), arrays0 = h::live_arrays();
  void TearDown() override {
    EXPECT_EQ(h::live_blocks(), blocks0);
    EXPECT_EQ(h::live_arrays(), arrays0);
  }
  std::vector<double> solve(h::Gateway &g, const mxArray *t, const mxArray *b) {
    h::CallResult r = g.call({t, b});
    EXPECT_TRUE(r.ok()) << g.name() << ": " << message(r);
    return r.ok() ? h::values(r.out()) : std::vector<double>{};
  }
  // Worked examples: T given by rows, b, and the x the gateway must return.
  struct Worked {
    const char *gateway;
    std::vector<std::vector<double>> t;
    std::vector<double> b, x;
  };
  void expect_worked(const std::vector<Worked> &cases) {
    for (const Worked &c : cases) {
      h::Gateway &g = c.gateway[0] == 'u' ? upper : c.gateway[0] == 'l' ? lower : back;
      std::vector<double> tv;  // column-major
      for (std::size_t j = 0; j < c.t.size(); ++j)
        for (const auto &r : c.t) tv.push_back(r[j]);
      auto t = h::doubles({static_cast<mwSize>(c.t.size()), static_cast<mwSize>(c.t.size())}, tv);
      auto b = h::column(c.b);
      EXPECT_TRUE(same(solve(g, t.get(), b.get()), c.x)) << c.gateway << " " << &c - cases.data();
    }
  }
};

}  // namespace triangular
