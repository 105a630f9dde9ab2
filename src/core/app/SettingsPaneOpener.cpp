#include "app/SettingsPaneOpener.h"

namespace murmela {

QUrl SettingsPaneOpener::contactsPrivacyPane() {
  return QUrl(QStringLiteral("x-apple.systempreferences:com.apple.preference.security?Privacy_Contacts"));
}

QUrl SettingsPaneOpener::fullDiskAccessPane() {
  return QUrl(QStringLiteral("x-apple.systempreferences:com.apple.preference.security?Privacy_AllFiles"));
}

}  // namespace murmela
