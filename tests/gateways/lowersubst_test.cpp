// The lowersubst gateway through the own host: worked examples.  What it
// shares with uppersubst and backapply is in triangular_test.cpp.
#include "gateways/triangular_fixture.h"

namespace {

using namespace triangular;

class Lowersubst : public Triangular {};

TEST_F(Lowersubst, WorkedExamples) {
  expect_worked({
      {"lowersubst", {{2, 1}, {0, 4}}, {4, 8}, {2, 2}},  // reads only [2 0; 0 4]
      {"lowersubst", {{2, kNaN}, {1, 4}}, {4, 8}, {2, 1.5}},
      {"lowersubst", {{0, 0}, {1, 1}}, {0, 1}, {0, 1}},
  });
}

}  // namespace
