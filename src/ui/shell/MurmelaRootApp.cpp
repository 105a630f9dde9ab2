#include "shell/MurmelaRootApp.h"

#include "kit/access/PaintedAccessible.h"

#include "app/AppCoordinator.h"
#include "data/VCardContactStore.h"
#include "shell/AddressBookPrompt.h"
#include "shell/ApplicationIcon.h"
#include "shell/DesktopSettingsPaneOpener.h"
#include "shell/FontLoader.h"
#include "shell/QuitSignals.h"
#include "shell/RootView.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>

namespace murmela {
MurmelaRootApp::Desktop MurmelaRootApp::interactiveDesktop() {
  Desktop desktop;
  // The dialogs are parented to the active window when they open.
  desktop.contacts = std::make_shared<VCardContactStore>([](const std::optional<QString>& suggested) {
    return addressBookPrompt(QApplication::activeWindow())(suggested);
  });
  desktop.panes = std::make_shared<DesktopSettingsPaneOpener>(
      desktop.contacts, AppCoordinator::defaultMessagesDatabasePath(),
      [](const DesktopSettingsPaneOpener::DatabaseNote& note) {
        return DesktopSettingsPaneOpener::messageBox(QApplication::activeWindow())(note);
      },
      &DesktopSettingsPaneOpener::openInFileManager);
  desktop.copyToClipboard = [](const QString& text) { QGuiApplication::clipboard()->setText(text); };
  return desktop;
}

MurmelaRootApp::MurmelaRootApp(const QStringList& arguments) : MurmelaRootApp(arguments, interactiveDesktop()) {}

MurmelaRootApp::MurmelaRootApp(const QStringList& arguments, Desktop desktop) : desktop_(std::move(desktop)) {
  FontLoader::registerFonts();

  DesktopIntegration integration;
  integration.contactStore = desktop_.contacts;
  integration.settingsPaneOpener = desktop_.panes;
  integration.copyToClipboard = desktop_.copyToClipboard;
  integration.backendBaseUrl = desktop_.backendBaseUrl;
  if (desktop_.privacySetup)
    integration.privacySetup = std::make_shared<PrivacyFilterSetupDriver>(*desktop_.privacySetup);
  integration.detectHybridCapability = desktop_.detectHybridCapability;
  coordinator_ = std::make_unique<AppCoordinator>(makeProductionServices(arguments, std::move(integration)));
  if (desktop_.panes) desktop_.panes->setAfterAddressBookChange([this] { coordinator_->refreshPermissions(); });

  window_ = std::make_unique<RootView>(*coordinator_,
                                       RootView::defaultScreens({desktop_.privacySetup, desktop_.shareServices}));
  window_->setWindowTitle(QString::fromLatin1(kWindowTitle));
  exposeAsApplicationFrame(window_.get());
  const QIcon icon = ApplicationIcon::icon();
  QGuiApplication::setWindowIcon(icon);
  // The installed desktop entry is murmela.desktop: a Wayland compositor finds
  // the entry, and with it the name and the icon, by this id.
  QGuiApplication::setDesktopFileName(QStringLiteral("murmela"));
  window_->setWindowIcon(icon);
  QObject::connect(
      window_.get(), &RootView::shown, coordinator_.get(), [this] { coordinator_->bootIfNeeded(); },
      Qt::QueuedConnection);

  // However the application quits (Ctrl+Q, the window closed, a termination
  // signal), the run in flight is stopped before the event loop is left for
  // good: its request aborted, its child process ended, nothing saved.
  addQuitShortcut(*window_);
  QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, coordinator_.get(),
                   [this] { coordinator_->shutdown(); });
}

MurmelaRootApp::~MurmelaRootApp() {
  if (desktop_.panes) desktop_.panes->setAfterAddressBookChange({});
  window_.reset();
}

void MurmelaRootApp::show() { window_->show(); }

}  // namespace murmela
