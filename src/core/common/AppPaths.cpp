#include "common/AppPaths.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <pwd.h>
#include <unistd.h>

#include <mutex>

namespace murmela::AppPaths {
namespace {

struct Override {
  bool active = false;
  std::optional<QString> folder;
};

std::mutex& overrideLock() {
  static std::mutex lock;
  return lock;
}

Override& currentOverride() {
  static Override value;
  return value;
}

}  // namespace

std::optional<QString> appFolder() {
  {
    std::lock_guard guard(overrideLock());
    if (currentOverride().active) return currentOverride().folder;
  }
  const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  if (base.isEmpty()) return std::nullopt;
  return QDir(base).filePath(QStringLiteral("murmela-app"));
}

std::optional<QString> inAppFolder(const QString& relativePath) {
  const std::optional<QString> folder = appFolder();
  if (!folder) return std::nullopt;
  return QDir(*folder).filePath(relativePath);
}

std::optional<QString> cacheFolder() {
  // QStandardPaths falls back to "/" + ".cache" when HOME is empty: a shared
  // folder, and as root the file system's root. The account's home is asked
  // instead.
  const auto usable = [](const QString& folder) {
    return QDir::isAbsolutePath(folder) && QDir::cleanPath(folder) != QDir::rootPath();
  };
  QString base = qEnvironmentVariable("XDG_CACHE_HOME");
  if (!QDir::isAbsolutePath(base)) {
    QString home = qEnvironmentVariable("HOME");
    if (!usable(home)) {
      passwd entry{};
      passwd* account = nullptr;
      char buffer[4096];
      home = ::getpwuid_r(::getuid(), &entry, buffer, sizeof buffer, &account) == 0 && account && account->pw_dir
                 ? QFile::decodeName(account->pw_dir)
                 : QString();
    }
    if (!usable(home)) return std::nullopt;
    base = QDir(home).filePath(QStringLiteral(".cache"));
  }
  if (!usable(base)) return std::nullopt;
  return QDir(base).filePath(QStringLiteral("murmela-app"));
}

void overrideAppFolder(std::optional<QString> folder) {
  std::lock_guard guard(overrideLock());
  currentOverride() = Override{true, std::move(folder)};
}

void reset() {
  std::lock_guard guard(overrideLock());
  currentOverride() = Override{};
}

}  // namespace murmela::AppPaths
