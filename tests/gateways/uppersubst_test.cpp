// The uppersubst gateway through the own host: worked examples.  What it
// shares with lowersubst and backapply is in triangular_test.cpp.
#include "gateways/triangular_fixture.h"

namespace {

using namespace triangular;

class Uppersubst : public Triangular {};

TEST_F(Uppersubst, WorkedExamples) {
  expect_worked({
      {"uppersubst", {{2, 1}, {0, 4}}, {4, 8}, {1, 2}},
      {"uppersubst", {{2, 1}, {kNaN, 4}}, {4, 8}, {1, 2}},  // NaN below the diagonal is never read
      {"uppersubst", {{0, 0}, {0, 1}}, {0, 1}, {0, 1}},  // zero over a zero diagonal stays zero
  });
}

}  // namespace
