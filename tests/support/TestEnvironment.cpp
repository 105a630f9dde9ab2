#include "support/TestEnvironment.h"

#include "common/AppPaths.h"
#include "common/AppSettings.h"

#include <QDir>
#include <QFile>

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

QProcessEnvironment environmentWithHome(const QString& home) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("HOME"), home);
  for (const QString& name : {QStringLiteral("data"), QStringLiteral("config"), QStringLiteral("cache")}) {
    QDir().mkpath(home + QLatin1Char('/') + name);
    environment.insert(QStringLiteral("XDG_%1_HOME").arg(name.toUpper()), home + QLatin1Char('/') + name);
  }
  QDir().mkpath(home + QStringLiteral("/runtime"));
  environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home + QStringLiteral("/runtime"));
  QFile::setPermissions(home + QStringLiteral("/runtime"),
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  return environment;
}

QString sourceDir() {
  const QByteArray fromEnvironment = qgetenv("MURMELA_TEST_SOURCE_DIR");
  return fromEnvironment.isEmpty() ? QStringLiteral(MURMELA_SOURCE_DIR) : QString::fromLocal8Bit(fromEnvironment);
}

}  // namespace murmela::test
