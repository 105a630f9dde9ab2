#include "shell/RootView.h"

#include "app/AppCoordinator.h"
#include "deck/MurmelaDeckResultsView.h"
#include "screens/IntelligenceView.h"
#include "screens/PermissionsView.h"
#include "screens/WelcomeView.h"
#include "sheets/PythonInstallHelpSheet.h"  // IntelligenceView.h reads its help sheet through a QPointer
#include "shell/ScreenStandIn.h"

namespace murmela {

RootView::ScreenFactory RootView::defaultScreens() {
  return [](AppCoordinator& coordinator, const AppScreen& screen, QWidget* parent) -> QWidget* {
    switch (screen.kind()) {
      case AppScreen::Kind::results:
        if (!screen.report()) break;
        return new MurmelaDeckResultsView(*screen.report(), DeckHost::of(coordinator), parent);
      case AppScreen::Kind::welcome:
        return new WelcomeView(coordinator, parent);
      case AppScreen::Kind::permissions:
        return new PermissionsView(coordinator, parent);
      case AppScreen::Kind::intelligence:
        return new IntelligenceView(coordinator, parent);
      case AppScreen::Kind::home:
      case AppScreen::Kind::hybridSetup:
      case AppScreen::Kind::contactPicker:
      case AppScreen::Kind::processing:
        break;
    }
    return new ScreenStandIn(screen.kind(), coordinator, parent);
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
  widget->setFocus(Qt::OtherFocusReason);
}

void RootView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Q_EMIT shown();
}

}  // namespace murmela
