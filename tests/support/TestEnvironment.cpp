#include "support/TestEnvironment.h"

#include "common/AppPaths.h"
#include "common/AppSettings.h"

#include <QDir>

namespace murmela::test {

TestEnvironment::TestEnvironment() : root_(std::make_unique<QTemporaryDir>()) {
  QLocale::setDefault(QLocale(QStringLiteral("en_US")));
  AppPaths::overrideAppFolder(root_->filePath(QStringLiteral("murmela-app")));
  AppSettings::shared().useFile(root_->filePath(QStringLiteral("settings.ini")));
}

TestEnvironment::~TestEnvironment() {
  AppSettings::shared().useFile(QString());
  AppPaths::reset();
}

QString TestEnvironment::appFolder() const { return root_->filePath(QStringLiteral("murmela-app")); }

QString TestEnvironment::path(const QString& relative) const { return root_->filePath(relative); }

QString sourceDir() {
  const QByteArray fromEnvironment = qgetenv("MURMELA_TEST_SOURCE_DIR");
  return fromEnvironment.isEmpty() ? QStringLiteral(MURMELA_SOURCE_DIR) : QString::fromLocal8Bit(fromEnvironment);
}

}  // namespace murmela::test
