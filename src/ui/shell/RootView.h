#pragma once

#include "app/AppScreen.h"

#include <QPointer>
#include <QSize>
#include <QWidget>

#include <functional>

namespace murmela {

class AppCoordinator;

// The application's window content: exactly one widget for the screen the
// coordinator names, 390 x 780 points. A new widget is built whenever the
// kind of screen changes, and for every results screen (each report gets a
// fresh deck); the old one is hidden at once and deleted on the next turn of
// the event loop, because the change may come from inside one of its own
// handlers.
class RootView : public QWidget {
  Q_OBJECT

 public:
  static constexpr QSize kSize{390, 780};

  // Builds the widget of one screen as a child of `parent`.
  using ScreenFactory = std::function<QWidget*(AppCoordinator& coordinator, const AppScreen& screen, QWidget* parent)>;
  // The deck for results, the onboarding screens that are drawn, and a
  // labelled stand-in for the others.
  static ScreenFactory defaultScreens();

  explicit RootView(AppCoordinator& coordinator, ScreenFactory screens = defaultScreens(), QWidget* parent = nullptr);

  QWidget* screenWidget() const { return screen_.data(); }
  AppScreen::Kind shownKind() const { return shownKind_; }

 Q_SIGNALS:
  // Each time the window is shown.
  void shown();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void showScreen();

  AppCoordinator& coordinator_;
  ScreenFactory screens_;
  QPointer<QWidget> screen_;
  AppScreen::Kind shownKind_ = AppScreen::Kind::welcome;
};

}  // namespace murmela
