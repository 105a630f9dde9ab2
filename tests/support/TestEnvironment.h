#pragma once

#include <QLocale>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace murmela::test {

// Pins the locale to en_US (before the first date or number is formatted) and
// points the application folder and user defaults into a fresh temporary
// folder. Call from initTestCase().
class TestEnvironment {
 public:
  TestEnvironment();
  ~TestEnvironment();

  QString appFolder() const;                    // the application folder in use
  QString path(const QString& relative) const;  // a path in the temporary root

 private:
  std::unique_ptr<QTemporaryDir> root_;
};

// This process's environment for a child with a home of its own in `home`:
// HOME and the XDG data, config, cache and runtime folders (made, the runtime
// one private) under it.
QProcessEnvironment environmentWithHome(const QString& home);

// The source tree (for test data and resources).
QString sourceDir();

}  // namespace murmela::test
