#include "backend/AppInstallIdentity.h"

#include "common/AppSettings.h"

#include <QUuid>

#include <mutex>

namespace murmela {

QString AppInstallIdentity::current() {
  // One identifier per install even when two first uses race each other.
  static std::mutex creation;
  const std::lock_guard guard(creation);
  AppSettings& settings = AppSettings::shared();
  const QString stored = settings.value(kSettingsKey).toString();
  if (!stored.isEmpty()) return stored;
  const QString made = kPrefix + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
  settings.setValue(kSettingsKey, made);
  return made;
}

}  // namespace murmela
