// The shapedraw gateway through the own host: the golden gamma stream of
// tests/tools/random_golden.py, continuing across calls.  The properties it
// shares with trialdraw and drawcounts are in sampling_test.cpp.
#include "gateways/sampling_fixture.h"

#include <cstdlib>

namespace {

using namespace sampling;

class Shapedraw : public Sampling {};

TEST_F(Shapedraw, FollowsTheGoldenGammaStream) {
  auto rows = stats::read_table(kData + "/gamma_stream.csv", ',');
  std::vector<double> a, expected;
  for (const auto &r : rows) {
    a.push_back(std::strtod(r[0].c_str(), nullptr));
    expected.push_back(std::strtod(r[1].c_str(), nullptr));
  }
  // First half in one call, the rest one element a call: the stream continues.
  const std::size_t half = a.size() / 2;
  auto first = h::row(std::vector<double>(a.begin(), a.begin() + half));
  std::vector<double> got = draw(shape, {first.get()});
  for (std::size_t i = half; i < a.size(); ++i) {
    auto one = h::scalar(a[i]);
    got.push_back(draw(shape, {one.get()}).at(0));
  }
  EXPECT_TRUE(same_bits(got, expected));
}

}  // namespace
