// The backapply gateway through the own host: worked examples, including
// how T(2,1) picks the triangle.  What it shares with uppersubst and
// lowersubst is in triangular_test.cpp.
#include "gateways/triangular_fixture.h"

namespace {

using namespace triangular;

class Backapply : public Triangular {};

TEST_F(Backapply, WorkedExamples) {
  expect_worked({
      {"backapply", {{2, 1}, {0, 4}}, {4, 8}, {1, 2}},  // T(2,1) = 0: upper
      {"backapply", {{2, 0}, {1, 4}}, {4, 8}, {2, 1.5}},  // T(2,1) = 1: lower
      {"backapply", {{2, 5}, {kNaN, 4}}, {4, 8}, {-3, 2}},  // NaN: upper
      {"backapply", {{2, 0, 0}, {0, 4, 0}, {1, 0, 5}}, {2, 4, 6}, {1, 1, 1.2}},  // lower T, T(2,1) = 0: upper
      {"backapply", {{2, 7, 9}, {1, 4, 8}, {1, 1, 5}}, {2, 5, 8}, {1, 1, 1.2}},  // full T, T(2,1) = 1: lower
      {"backapply", {{0, 0}, {0, 1}}, {0, 1}, {kNaN, 1}},  // no zero skip: 0/0
      {"backapply", {{-4}}, {2}, {-0.5}},
  });
}

}  // namespace
