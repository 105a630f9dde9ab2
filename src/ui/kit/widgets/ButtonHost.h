#pragma once

#include "kit/controls/PaintedButton.h"
#include "kit/paint/FocusRing.h"

#include <QList>
#include <QObject>
#include <QPainterPath>
#include <QPointF>
#include <QPointer>
#include <QRectF>
#include <QString>

#include <functional>
#include <optional>

class QDialog;
class QPainter;
class QWidget;
class QKeyEvent;

namespace murmela {

// What a painted control is to a screen reader.
enum class ButtonRole { button, checkBox, link, radio, tab, listItem, menuItem };

// One painted button of a widget: where it takes clicks, what it does and
// what a screen reader says of it.
struct ButtonTarget {
  int id = 0;                                // the widget's own name for it
  QRectF rect;                               // its hit area, in the widget's coordinates
  QPainterPath shape{};                      // a finer hit shape inside `rect`; empty: the whole rect
  bool enabled = true;                       // a disabled button ignores pointer and keyboard
  bool focusable = true;                     // reached with Tab
  std::function<void()> action{};            // run on a click or a key
  Qt::CursorShape cursor = Qt::ArrowCursor;  // shown while the pointer is over it
  ButtonRole role = ButtonRole::button;
  QString name{};                 // its visible label; for a symbol alone, what it does ("Close")
  std::optional<bool> checked{};  // a check box, radio or tab: whether it is on
  QString value{};                // its state in words, where a reader wants them ("Checked")
  QString description{};          // what else it shows beyond its name (a card's lines)
  QString group{};                // buttons that share it stand in one container of that name
                                  // (tabs: a tab list) for screen readers

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
// end, if it has any, else round again), the tabs of one group being one stop
// there, as a desktop tab bar is: its selected tab (else its first), while the
// arrows move along it (moveFocusAlongTabs); Space runs the focused button;
// Return and Enter run the focused button when the focus was moved with the
// keyboard (unless it is a check box), else the default button when it is
// enabled. The focused button counts only while the widget itself holds the
// keyboard: once the focus moves into a child (a text field), the ring goes,
// and a Return the child leaves to the widget runs the default button.
//
// What screen readers see of the widget is not the host's: the widget's
// reader side (kit/access) follows the host's signals.
class ButtonHost : public QObject {
  Q_OBJECT

 public:
  using Provider = std::function<QList<ButtonTarget>()>;

  // Watches `widget` (mouse tracking on, strong focus) for as long as both live.
  ButtonHost(QWidget* widget, Provider provider);
  ~ButtonHost() override;

  // Hovered and pressed as the pointer has them (a disabled button is
  // neither); whether it looks disabled is the widget's to say.
  ButtonState state(int id) const;
  // Whether the button shows the keyboard focus (moved there with the keyboard).
  bool showsFocus(int id) const;
  std::optional<int> hovered() const { return hovered_; }
  std::optional<int> pressed() const { return pressedInside_ ? pressed_ : std::nullopt; }
  std::optional<int> focused() const { return focused_; }

  void setDefaultButton(std::optional<int> id) { defaultButton_ = id; }
  std::optional<int> defaultButton() const { return defaultButton_; }
  // Runs the button's action when it is listed and enabled; true when it ran.
  bool activate(int id);
  // Gives the widget the keyboard with the ring on the button, as Tab would
  // (a sheet that closes hands the focus back to the button that opened it).
  bool focusButton(int id);
  // Hands the keyboard back when `sheet` (opened by one of the buttons)
  // finishes: to the window, and with the ring to the button that had it.
  void returnFocusAfter(QDialog* sheet);
  // Lets the ring go without handing it on (what takes the keyboard next
  // is not among the buttons: an alert the button opened).
  void dropFocus();
  // Moves the ring to the next (or previous) button as Tab does; false when
  // it would leave the widget.
  bool moveFocus(bool forward);
  // The arrows of a tab list: moves the ring to the next (or previous) tab
  // of the focused tab's group, staying on the last (or first) one, as a
  // desktop tab bar does. False when the ring is not on a tab of a group.
  bool moveFocusAlongTabs(bool forward);
  // Tab goes round the buttons and never on to other widgets (an overlay
  // that stands for a modal sheet).
  // It also makes the widget modal for screen readers: while it shows, the
  // widget it covers exposes nothing else and runs no action.
  void setKeepsFocus(bool keeps);
  bool keepsFocus() const { return keepsFocus_; }
  // The hosts that keep the focus now, wherever they are.
  static const QList<ButtonHost*>& keepingFocus();
  // Where the ring goes when the button that has it goes away (a page that
  // changes, a row removed): the button this names, when it is listed and
  // focusable; by default (or when it names none) the next focusable button
  // that is still there, else the one before it. Naming the button that went
  // keeps the ring for it (it comes back).
  using FocusFallback = std::function<std::optional<int>(int vanished)>;
  void setFocusFallback(FocusFallback fallback) { focusFallback_ = std::move(fallback); }

  // The buttons as the widget lists them now, in Tab order.
  QList<ButtonTarget> targets() const { return provider_ ? provider_() : QList<ButtonTarget>{}; }
  std::optional<ButtonTarget> target(int id) const;
  // The widget's buttons changed (a page turned, a row went): a focused
  // button that is gone hands the ring on now.
  void contentChanged();

 Q_SIGNALS:
  // The keyboard focus moved onto a button (a list scrolls it into view).
  void focusMovedTo(int id);
  // A button's action ran (what the widget shows may have changed with it).
  void acted(int id);
  // Tab (or Shift+Tab) came round to the button that had the ring: the only
  // stop there is. Readers hear of no focus change; the widget may tell them why.
  void focusStayed(int id);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::optional<ButtonTarget> targetAt(QPointF point) const;
  void pointerMoved(QPointF point);
  bool pointerPressed(QPointF point);
  bool pointerReleased(QPointF point);
  bool keyPressed(QKeyEvent& event);
  bool hasOtherTabStops() const;
  // The Tab stops in order, and which of them the focused button stands in.
  struct TabStops {
    QList<int> ids;
    qsizetype current = -1;
  };
  TabStops tabStops() const;
  bool focusInChild() const;
  void setHovered(std::optional<int> id, Qt::CursorShape cursor);
  void changed();
  void focusMoved();
  // Moves the ring on when the button that had it is no longer listed.
  void followVanishedFocus();

  QPointer<QWidget> widget_;
  Provider provider_;
  std::optional<int> hovered_;
  std::optional<int> pressed_;
  bool pressedInside_ = false;
  std::optional<int> focused_;
  bool focusVisible_ = false;
  std::optional<int> defaultButton_;
  bool keepsFocus_ = false;
  FocusFallback focusFallback_;
  QList<int> tabOrder_;  // the focusable buttons when the ring last moved or was seen
};

}  // namespace murmela
