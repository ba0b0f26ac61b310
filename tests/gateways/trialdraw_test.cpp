// The trialdraw gateway through the own host: the golden binomial stream of
// tests/tools/random_golden.py.  The properties it shares with shapedraw and
// drawcounts are in sampling_test.cpp.
#include "gateways/sampling_fixture.h"

#include <cstdlib>

namespace {

using namespace sampling;

class Trialdraw : public Sampling {};

TEST_F(Trialdraw, FollowsTheGoldenBinomialStream) {
  auto rows = stats::read_table(kData + "/bino_stream.csv", ',');
  ASSERT_EQ(rows.size(), 420u);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    auto p = h::scalar(std::strtod(rows[i][0].c_str(), nullptr)), n = h::scalar(std::stod(rows[i][1]));
    ASSERT_EQ(draw(trial, {p.get(), n.get()}), std::vector<double>{std::stod(rows[i][2])}) << "row " << i;
  }
}

}  // namespace
