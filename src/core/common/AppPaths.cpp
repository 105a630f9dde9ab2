#include "common/AppPaths.h"

#include <QDir>
#include <QStandardPaths>

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

void overrideAppFolder(std::optional<QString> folder) {
  std::lock_guard guard(overrideLock());
  currentOverride() = Override{true, std::move(folder)};
}

void reset() {
  std::lock_guard guard(overrideLock());
  currentOverride() = Override{};
}

}  // namespace murmela::AppPaths
