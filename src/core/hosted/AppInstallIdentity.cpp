#include "hosted/AppInstallIdentity.h"

#include "common/AppSettings.h"

#include <QUuid>

namespace murmela {

QString AppInstallIdentity::current() {
  AppSettings& settings = AppSettings::shared();
  const QString stored = settings.value(kSettingsKey).toString();
  if (!stored.isEmpty()) return stored;
  const QString made = kPrefix + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
  settings.setValue(kSettingsKey, made);
  return made;
}

}  // namespace murmela
