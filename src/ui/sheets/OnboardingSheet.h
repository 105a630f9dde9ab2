#pragma once

#include "kit/access/PaintedReader.h"
#include "kit/widgets/ButtonHost.h"

#include <QDialog>

class QPainter;

namespace murmela {

// The dialog under every onboarding sheet: window-modal over the window of
// its parent, a fixed width and the height of its content, painted on cream,
// with its painted buttons in one button host. Closing is one path: the round
// close button, a "Done" button and Esc all reject the dialog, so whoever
// presented it hears of every dismissal through finished().
class OnboardingSheet : public QDialog {
  Q_OBJECT

 public:
  // Shows the sheet without blocking (the caller listens to finished()).
  void present();
  // Paints the sheet into the painter's points from (0, 0).
  void paintSheet(QPainter& painter) const;
  ButtonHost& buttonHost() { return *buttons_; }
  // What screen readers see of the sheet.
  PaintedReader& reader() { return *reader_; }

 protected:
  OnboardingSheet(qreal width, QWidget* parent);

  virtual void paintContent(QPainter& painter) const = 0;
  // The buttons as the sheet shows them now, in Tab order.
  virtual QList<ButtonTarget> buttonTargets() const = 0;
  // The texts it shows, in reading order, for screen readers.
  virtual QList<ShownText> shownTexts() const { return {}; }
  ButtonState buttonState(int id) const { return buttons_->state(id); }
  bool showsFocus(int id) const { return buttons_->showsFocus(id); }
  // What the sheet shows changed: it is painted again and readers are told.
  void contentChanged();
  // Fixes the sheet's height (its width stays).
  void setContentHeight(qreal height);

  void paintEvent(QPaintEvent* event) override;

 private:
  ButtonHost* buttons_ = nullptr;
  PaintedReader* reader_ = nullptr;
};

}  // namespace murmela
