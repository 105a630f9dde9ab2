#pragma once

#include "app/CoordinatorServices.h"
#include "sharing/ShareServices.h"

#include <QStringList>

#include <functional>
#include <memory>

namespace murmela {

class AppCoordinator;
class DesktopSettingsPaneOpener;
class PrivacyFilterSetup;
class RootView;
class VCardContactStore;

// The application as it starts: the bundled fonts registered, the one
// coordinator built from the launch arguments (the Messages database after
// "-messagesDB", else the default one; the desktop's contacts store, its
// answers to the permission panes and the clipboard), and the fixed-size
// window with the root view. The coordinator boots once the window is shown.
// Ctrl+Q quits, and when the application is about to quit the coordinator
// shuts down (bounded by AppCoordinator::kShutdownTimeout).
class MurmelaRootApp {
 public:
  static constexpr const char* kWindowTitle = "Murmela";

  // The desktop pieces the coordinator gets; tests put quiet ones in.
  struct Desktop {
    std::shared_ptr<VCardContactStore> contacts;
    std::shared_ptr<DesktopSettingsPaneOpener> panes;
    std::function<void(const QString&)> copyToClipboard;
    QString backendBaseUrl;  // empty: the backend the build names
    // The privacy-filter setup that the coordinator drives and the hybrid
    // setup screen follows (it must outlive the application object), and the
    // hybrid capability check; none: the process's shared setup and the
    // machine's own answer.
    PrivacyFilterSetup* privacySetup = nullptr;
    std::function<HybridPrivacyCapability()> detectHybridCapability;
    ShareServices shareServices = ShareServices::system();  // what the share sheet asks of the desktop
  };
  // Dialogs over the window, the system clipboard, the file manager.
  static Desktop interactiveDesktop();

  explicit MurmelaRootApp(const QStringList& arguments);
  MurmelaRootApp(const QStringList& arguments, Desktop desktop);
  ~MurmelaRootApp();

  AppCoordinator& coordinator() { return *coordinator_; }
  RootView& window() { return *window_; }
  void show();

 private:
  Desktop desktop_;
  std::unique_ptr<AppCoordinator> coordinator_;
  std::unique_ptr<RootView> window_;
};

}  // namespace murmela
