#include "testing/QuietDesktop.h"

#include "app/AppCoordinator.h"
#include "data/VCardContactStore.h"
#include "shell/DesktopSettingsPaneOpener.h"

namespace murmela {

MurmelaRootApp::Desktop quietDesktop(const QString& backend, std::shared_ptr<VCardContactStore> contacts) {
  MurmelaRootApp::Desktop desktop;
  desktop.contacts = contacts ? std::move(contacts) : std::make_shared<VCardContactStore>();
  desktop.panes = std::make_shared<DesktopSettingsPaneOpener>(
      desktop.contacts, AppCoordinator::defaultMessagesDatabasePath(),
      [](const DesktopSettingsPaneOpener::DatabaseNote&) { return false; }, [](const QString&) {});
  desktop.copyToClipboard = [](const QString&) {};
  desktop.backendBaseUrl = backend;
  return desktop;
}

}  // namespace murmela
