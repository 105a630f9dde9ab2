#include "support/TestRegistry.h"

namespace murmela::test {

std::vector<RegisteredTest>& registeredTests() {
  static std::vector<RegisteredTest> tests;
  return tests;
}

}  // namespace murmela::test
