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
#include <QTest>

#include <cstring>

int main(int argc, char* argv[]) {
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
