#include "shell/RootView.h"

#include "app/AppCoordinator.h"
#include "deck/MurmelaDeckResultsView.h"
#include "privacy/PrivacyFilterSetup.h"
#include "screens/home/HomeView.h"
#include "screens/hybridsetup/HybridPrivacySetupView.h"
#include "screens/intelligence/IntelligenceView.h"
#include "screens/permissions/PermissionsView.h"
#include "screens/picker/ContactPickerView.h"
#include "screens/processing/ProcessingView.h"
#include "screens/welcome/WelcomeView.h"
#include "sheets/share/ShareSheetView.h"
#include "shell/ScreenHosts.h"

namespace murmela {

namespace {

// Share links go to the backend the launch arguments name, as revocations do.
MurmelaDeckResultsView::Options deckOptions(const AppCoordinator& coordinator, const ShareServices& services) {
  ShareSheetEnvironment environment;
  environment.services = services;
  environment.makeClient = [arguments = coordinator.launchArguments()] {
    return ShareLinkClient(ShareLinkClient::defaultBaseURL(arguments));
  };
  MurmelaDeckResultsView::Options options;
  options.shareSheet = ShareSheetView::factory(std::move(environment));
  return options;
}

}  // namespace

RootView::ScreenFactory RootView::defaultScreens() { return defaultScreens(ScreenEnvironment{}); }

RootView::ScreenFactory RootView::defaultScreens(ScreenEnvironment environment) {
  return [environment](AppCoordinator& coordinator, const AppScreen& screen, QWidget* parent) -> QWidget* {
    switch (screen.kind()) {
      case AppScreen::Kind::results:
        if (!screen.report()) break;
        return new MurmelaDeckResultsView(*screen.report(), hostsOf(coordinator),
                                          deckOptions(coordinator, environment.shareServices), parent);
      case AppScreen::Kind::welcome:
        return new WelcomeView(hostsOf(coordinator), parent);
      case AppScreen::Kind::permissions:
        return new PermissionsView(hostsOf(coordinator), parent);
      case AppScreen::Kind::intelligence:
        return new IntelligenceView(hostsOf(coordinator), parent);
      case AppScreen::Kind::hybridSetup:
        return new HybridPrivacySetupView(
            environment.privacySetup ? *environment.privacySetup : PrivacyFilterSetup::shared(), hostsOf(coordinator),
            parent);
      case AppScreen::Kind::contactPicker:
        return new ContactPickerView(hostsOf(coordinator), parent);
      case AppScreen::Kind::processing:
        return new ProcessingView(hostsOf(coordinator), parent);
      case AppScreen::Kind::home:
        return new HomeView(hostsOf(coordinator), parent);
    }
    // A results screen always carries its report; without one there is
    // nothing to present, and home is the way on.
    return new HomeView(hostsOf(coordinator), parent);
  };
}

RootView::RootView(AppCoordinator& coordinator, ScreenFactory screens, QWidget* parent)
    : QWidget(parent), coordinator_(coordinator), screens_(std::move(screens)) {
  setFixedSize(kSize);
  connect(&coordinator_, &AppCoordinator::screenChanged, this, &RootView::showScreen);
  showScreen();
}

void RootView::showScreen() {
  const AppScreen& screen = coordinator_.screen();
  if (screen_ && screen.kind() == shownKind_ && !screen.is(AppScreen::Kind::results)) return;
  if (QWidget* old = screen_.data()) {
    old->hide();
    old->deleteLater();
  }
  shownKind_ = screen.kind();
  QWidget* widget = screens_(coordinator_, screen, this);
  screen_ = widget;
  if (!widget) return;
  widget->setGeometry(QRect(QPoint(0, 0), kSize));
  widget->show();
  // The screen takes the keys, where it put them itself as it came up (the
  // picker's search field) or else as a whole.
  if (!widget->focusWidget()) widget->setFocus(Qt::OtherFocusReason);
}

void RootView::bringToFront() {
  setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
  show();
  raise();
  activateWindow();
}

void RootView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Q_EMIT shown();
}

}  // namespace murmela
