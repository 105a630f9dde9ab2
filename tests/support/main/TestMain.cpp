// The main of every test executable: runs each registered test class in turn.
// "-class Name" runs one class; other arguments go to Qt Test unchanged.
#include "support/TestRegistry.h"

#if defined(MURMELA_TEST_WIDGETS)
#include <QApplication>
using TestApplication = QApplication;
#elif defined(MURMELA_TEST_GUI)
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <optional>

namespace {

// CTest gives every test executable a home and XDG folders of its own in the
// build tree. Run by hand, a test gets them here, in a temporary folder, so
// that nothing it writes (copies of a database, settings, logs, reports)
// reaches the user's own cache, data or config folders.
std::optional<QTemporaryDir> homeOfItsOwn() {
  const QByteArray tree = qgetenv("MURMELA_TEST_BINARY_DIR");
  if (!tree.isEmpty() && qgetenv("HOME").startsWith(tree + "/test-home/")) return std::nullopt;
  std::optional<QTemporaryDir> home(std::in_place);
  const QByteArray root = QFile::encodeName(home->path());
  ::setenv("HOME", root.constData(), 1);
  for (const char* name : {"data", "config", "cache", "runtime"}) {
    const QByteArray folder = root + '/' + name;
    ::mkdir(folder.constData(), 0700);
    const QByteArray variable =
        std::strcmp(name, "runtime") == 0 ? "XDG_RUNTIME_DIR" : "XDG_" + QByteArray(name).toUpper() + "_HOME";
    ::setenv(variable.constData(), folder.constData(), 1);
  }
  return home;
}

}  // namespace

int main(int argc, char* argv[]) {
  const std::optional<QTemporaryDir> home = homeOfItsOwn();
  TestApplication app(argc, argv);
  QStringList arguments = app.arguments();
  QString only;
  const qsizetype classFlag = arguments.indexOf(QStringLiteral("-class"));
  if (classFlag >= 0 && classFlag + 1 < arguments.size()) {
    only = arguments.at(classFlag + 1);
    arguments.remove(classFlag, 2);
  }
  int failures = 0;
  for (const auto& registered : murmela::test::registeredTests()) {
    if (!only.isEmpty() && only != QLatin1String(registered.name)) continue;
    std::unique_ptr<QObject> test = registered.make();
    failures += QTest::qExec(test.get(), arguments);
  }
  return failures == 0 ? 0 : 1;
}
