#include "shell/RootView.h"

#include "app/AppCoordinator.h"
#include "deck/MurmelaDeckResultsView.h"
#include "shell/ScreenStandIn.h"

namespace murmela {

RootView::ScreenFactory RootView::defaultScreens() {
  return [](AppCoordinator& coordinator, const AppScreen& screen, QWidget* parent) -> QWidget* {
    if (screen.is(AppScreen::Kind::results) && screen.report())
      return new MurmelaDeckResultsView(*screen.report(), DeckHost::of(coordinator), parent);
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
