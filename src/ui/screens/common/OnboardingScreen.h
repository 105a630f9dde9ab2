#pragma once

#include "kit/access/PaintedReader.h"
#include "kit/widgets/ButtonHost.h"
#include "screens/common/OnboardingFrame.h"

#include <QWidget>

#include <optional>

class QPainter;

namespace murmela {

// The widget under every onboarding screen: fixed at 390 x 780, it paints the
// onboarding frame with the screen's content and keeps the screen's painted
// buttons in one button host. A screen paints its content and lists its
// buttons from one layout value, so clicks always land where things are drawn.
class OnboardingScreen : public QWidget {
  Q_OBJECT

 public:
  // Paints the whole screen into the painter's 390 x 780 points from (0, 0)
  // (the window, the gallery and the tests all go through here).
  void paintScreen(QPainter& painter) const;
  const OnboardingFrame& frame() const { return frame_; }
  ButtonHost& buttonHost() { return *buttons_; }
  const ButtonHost& buttonHost() const { return *buttons_; }
  // What screen readers see of the screen.
  PaintedReader& reader() { return *reader_; }

 protected:
  OnboardingScreen(std::optional<int> step, QWidget* parent);

  virtual void paintContent(QPainter& painter) const = 0;
  // The buttons as the screen shows them now, in Tab order.
  virtual QList<ButtonTarget> buttonTargets() const = 0;
  // The texts the content shows, in reading order, for screen readers (the
  // step header comes first by itself).
  virtual QList<ShownText> shownTexts() const { return {}; }
  // What the screen shows changed: it is painted again and readers are told.
  void contentChanged();
  // What takes the keys as the screen comes up: the screen itself (Return
  // runs its main action), or one of its fields.
  virtual QWidget* keysOnArrival() { return this; }
  // Speaks an error when it appears or changes (not again while it stays).
  void announceError(const std::optional<QString>& error);
  ButtonState buttonState(int id) const { return buttons_->state(id); }
  bool showsFocus(int id) const { return buttons_->showsFocus(id); }

  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  OnboardingFrame frame_;
  ButtonHost* buttons_ = nullptr;
  PaintedReader* reader_ = nullptr;
  std::optional<QString> announcedError_;
};

}  // namespace murmela
