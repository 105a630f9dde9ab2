#pragma once

#include "app/AppScreen.h"
#include "sharing/ShareServices.h"

#include <QPointer>
#include <QSize>
#include <QWidget>

#include <functional>

namespace murmela {

class AppCoordinator;
class PrivacyFilterSetup;

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
  // What the screens use besides the coordinator.
  struct ScreenEnvironment {
    PrivacyFilterSetup* privacySetup = nullptr;  // followed by the hybrid setup screen; none: the shared one
    ShareServices shareServices = ShareServices::system();  // what the share sheet asks of the desktop
  };
  // The deck for results and the onboarding and home screens.
  static ScreenFactory defaultScreens();
  static ScreenFactory defaultScreens(ScreenEnvironment environment);

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
