#pragma once

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

namespace murmela::test {

// Several test classes make up one area's executable; each registers itself
// here and the shared main runs them all (or the one named with -class).
struct RegisteredTest {
  const char* name;
  std::function<std::unique_ptr<QObject>()> make;
};

std::vector<RegisteredTest>& registeredTests();

struct TestRegistrar {
  TestRegistrar(const char* name, std::function<std::unique_ptr<QObject>()> make) {
    registeredTests().push_back({name, std::move(make)});
  }
};

}  // namespace murmela::test

#define MURMELA_TEST(TestClass)                                                      \
  static const ::murmela::test::TestRegistrar murmelaRegistrar_##TestClass(#TestClass, \
                                                                            [] { return std::make_unique<TestClass>(); });
