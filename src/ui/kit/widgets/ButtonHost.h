#pragma once

#include "kit/controls/PaintedButton.h"

#include <QList>
#include <QObject>
#include <QPainterPath>
#include <QPointF>
#include <QPointer>
#include <QRectF>

#include <functional>
#include <optional>

class QPainter;
class QWidget;
class QKeyEvent;

namespace murmela {

// How much a pressed plain button (a label without chrome) fades.
inline constexpr qreal kPlainButtonPressedOpacity = 0.6;

// One painted button of a widget: where it takes clicks and what it does.
struct ButtonTarget {
  int id = 0;                                // the widget's own name for it
  QRectF rect;                               // its hit area, in the widget's coordinates
  QPainterPath shape{};                      // a finer hit shape inside `rect`; empty: the whole rect
  bool enabled = true;                       // a disabled button ignores pointer and keyboard
  bool focusable = true;                     // reached with Tab
  std::function<void()> action{};            // run on a click or a key
  Qt::CursorShape cursor = Qt::ArrowCursor;  // shown while the pointer is over it

  bool contains(QPointF point) const { return shape.isEmpty() ? rect.contains(point) : shape.contains(point); }
};

// The one button base of the painted screens and sheets: a widget paints its
// buttons itself and lists them here (asked afresh on every event, so the
// list follows whatever the widget shows); the host keeps the hover, press
// and focus flags and turns pointer and keys into actions.
//
// A click runs a button's action when the press and the release both land on
// it and it is enabled. Tab and Shift+Tab move the focus through the
// focusable buttons in list order (on to the window's other widgets at either
// end, if it has any, else round again); Space runs the focused button;
// Return and Enter run the focused button when the focus was moved with the
// keyboard, else the default button when it is enabled.
class ButtonHost : public QObject {
  Q_OBJECT

 public:
  using Provider = std::function<QList<ButtonTarget>()>;

  // Watches `widget` (mouse tracking on, strong focus) for as long as both live.
  ButtonHost(QWidget* widget, Provider provider);

  // Hovered and pressed as the pointer has them (a disabled button is
  // neither); whether it looks disabled is the widget's to say.
  ButtonState state(int id) const;
  // Whether the button shows the keyboard focus (moved there with the keyboard).
  bool showsFocus(int id) const;
  std::optional<int> hovered() const { return hovered_; }
  std::optional<int> pressed() const { return pressedInside_ ? pressed_ : std::nullopt; }
  std::optional<int> focused() const { return focused_; }

  void setDefaultButton(std::optional<int> id) { defaultButton_ = id; }
  // Runs the button's action when it is listed and enabled; true when it ran.
  bool activate(int id);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QList<ButtonTarget> targets() const { return provider_ ? provider_() : QList<ButtonTarget>{}; }
  std::optional<ButtonTarget> targetAt(QPointF point) const;
  std::optional<ButtonTarget> target(int id) const;
  void pointerMoved(QPointF point);
  bool pointerPressed(QPointF point);
  bool pointerReleased(QPointF point);
  bool keyPressed(QKeyEvent& event);
  bool moveFocus(bool forward);
  bool hasOtherTabStops() const;
  void setHovered(std::optional<int> id, Qt::CursorShape cursor);
  void changed();

  QPointer<QWidget> widget_;
  Provider provider_;
  std::optional<int> hovered_;
  std::optional<int> pressed_;
  bool pressedInside_ = false;
  std::optional<int> focused_;
  bool focusVisible_ = false;
  std::optional<int> defaultButton_;
};

// The keyboard-focus ring drawn around a button's shape.
void paintFocusRing(QPainter& painter, const QPainterPath& shape);

}  // namespace murmela
