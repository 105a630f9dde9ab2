#include "QuitTestSupport.h"

#include "app/AppCoordinator.h"
#include "data/VCardContactStore.h"
#include "shell/DesktopSettingsPaneOpener.h"

namespace murmela::test {

MurmelaRootApp::Desktop quietDesktop(const QString& backend) {
  MurmelaRootApp::Desktop desktop;
  desktop.contacts = std::make_shared<VCardContactStore>();
  desktop.panes = std::make_shared<DesktopSettingsPaneOpener>(
      desktop.contacts, AppCoordinator::defaultMessagesDatabasePath(),
      [](const DesktopSettingsPaneOpener::DatabaseNote&) { return false; }, [](const QString&) {});
  desktop.copyToClipboard = [](const QString&) {};
  desktop.backendBaseUrl = backend;
  return desktop;
}

}  // namespace murmela::test
