#pragma once

#include "kit/widgets/ButtonHost.h"

#include <QDialog>

class QPainter;

namespace murmela {

// The base of the onboarding sheets: a window-modal dialog over the window
// of its parent, fixed in width, its height following its content, painted
// on cream, with its painted buttons in one button host. open() shows it
// without blocking. Escape and the window's own close take the path of the
// sheet's close button (dismissed()).
class SheetDialog : public QDialog {
  Q_OBJECT

 public:
  // Paints the whole sheet into the painter from (0, 0) (window, gallery, tests).
  void paintSheet(QPainter& painter) const;
  ButtonHost& buttonHost() { return *buttons_; }
  const ButtonHost& buttonHost() const { return *buttons_; }

  // Every way the user closes the sheet without choosing an action; the
  // sheet's actions and its owner close it with accept(), which says nothing.
  void reject() override;

 Q_SIGNALS:
  void dismissed();

 protected:
  SheetDialog(qreal width, QWidget* parent);

  virtual void paintContent(QPainter& painter) const = 0;
  virtual QList<ButtonTarget> buttonTargets() const = 0;
  ButtonState buttonState(int id) const { return buttons_->state(id); }
  // Sets the height to the content's (call when the content changes).
  void fitHeight(qreal height);
  qreal sheetWidth() const { return width_; }

  void paintEvent(QPaintEvent* event) override;

 private:
  qreal width_;
  ButtonHost* buttons_ = nullptr;
};

}  // namespace murmela
