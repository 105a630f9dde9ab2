#pragma once

#include "kit/access/ShownText.h"
#include "kit/controls/PaintedButton.h"
#include "theme/MurmelaTheme.h"

#include <QAccessible>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPainterPath>
#include <QPointF>
#include <QPointer>
#include <QRectF>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QDialog;
class QPainter;
class QWidget;
class QKeyEvent;

namespace murmela {

struct AccessibleSnapshot;
class PaintedWidgetAccessible;

// How much a pressed plain button (a label without chrome) fades.
inline constexpr qreal kPlainButtonPressedOpacity = 0.6;

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
// end, if it has any, else round again); Space runs the focused button;
// Return and Enter run the focused button when the focus was moved with the
// keyboard (unless it is a check box), else the default button when it is
// enabled. The focused button counts only while the widget itself holds the
// keyboard: once the focus moves into a child (a text field), the ring goes,
// and a Return the child leaves to the widget runs the default button.
//
// The host is also the widget's face to screen readers: one accessibility
// interface (PaintedAccessible) serves every widget that has a host, with
// the buttons and the texts the widget registers as its children in reading
// order, and the host sends the focus, state and name changes as the widget
// repaints, and the announcements it is given.
class ButtonHost : public QObject {
  Q_OBJECT

 public:
  using Provider = std::function<QList<ButtonTarget>()>;
  using TextProvider = std::function<QList<ShownText>()>;

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
  // Moves the ring to the next (or previous) button as Tab does; false when
  // it would leave the widget.
  bool moveFocus(bool forward);
  // Tab goes round the buttons and never on to other widgets (an overlay
  // that stands for a modal sheet).
  // It also makes the widget modal for screen readers: while it shows, the
  // widget it covers exposes nothing else and runs no action.
  void setKeepsFocus(bool keeps) { keepsFocus_ = keeps; }
  bool keepsFocus() const { return keepsFocus_; }
  // Where the ring goes when the button that has it goes away (a page that
  // changes, a row removed): the button this names, when it is listed and
  // focusable; by default (or when it names none) the next focusable button
  // that is still there, else the one before it.
  using FocusFallback = std::function<std::optional<int>(int vanished)>;
  void setFocusFallback(FocusFallback fallback) { focusFallback_ = std::move(fallback); }

  // The buttons as the widget lists them now, in Tab order.
  QList<ButtonTarget> targets() const { return provider_ ? provider_() : QList<ButtonTarget>{}; }
  std::optional<ButtonTarget> target(int id) const;
  // The texts the widget shows, in reading order; a reader meets them
  // between the buttons by where they stand.
  void setTexts(TextProvider provider) { texts_ = std::move(provider); }
  // What the widget is as a whole to a screen reader (a list of rows); by
  // default a dialog, a window or a plain area.
  void setReaderRole(QAccessible::Role role) { readerRole_ = role; }
  std::optional<QAccessible::Role> readerRole() const { return readerRole_; }
  QList<ShownText> texts() const { return texts_ ? texts_() : QList<ShownText>{}; }
  // The texts with a key each that stays the text's for as long as it shows
  // (its words and which of the equal ones it is; a progress bar by its
  // place among the bars, whatever it says), so that readers follow each.
  struct KeyedText {
    int key = 0;
    ShownText text;
  };
  QList<KeyedText> keyedTexts() const;
  std::optional<ShownText> textByKey(int key) const;

  // The buttons and texts as screen readers are shown them: as the widget
  // listed them when it was last painted (or when the ring moved, or before
  // any of that, now). A reader asks many questions about one change, and
  // each would otherwise lay the whole widget out again.
  QList<ButtonTarget> readerTargets() const { return readerView().targets; }
  std::optional<ButtonTarget> readerTarget(int id) const;
  QList<KeyedText> readerTexts() const { return readerView().texts; }
  std::optional<ShownText> readerText(int key) const;

  // Has a screen reader speak `text` once now (a toast, an error that
  // appears, a new phase); it stays readable as the widget's last child.
  void announce(const QString& text);
  const QString& announcement() const { return announcement_; }
  // Sends screen readers what changed since the last look (states, names,
  // values, children); the host does so on every repaint.
  void syncAccessibility();

 Q_SIGNALS:
  // The keyboard focus moved onto a button (a list scrolls it into view).
  void focusMovedTo(int id);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::optional<ButtonTarget> targetAt(QPointF point) const;
  void pointerMoved(QPointF point);
  bool pointerPressed(QPointF point);
  bool pointerReleased(QPointF point);
  bool keyPressed(QKeyEvent& event);
  bool hasOtherTabStops() const;
  bool focusInChild() const;
  void setHovered(std::optional<int> id, Qt::CursorShape cursor);
  void changed();
  void focusMoved();
  // Moves the ring on when the button that had it is no longer listed.
  void followVanishedFocus();
  struct ReaderView {
    QList<ButtonTarget> targets;
    QList<KeyedText> texts;
  };
  const ReaderView& readerView() const;

  QPointer<QWidget> widget_;
  Provider provider_;
  std::optional<int> hovered_;
  std::optional<int> pressed_;
  bool pressedInside_ = false;
  std::optional<int> focused_;
  bool focusVisible_ = false;
  std::optional<int> defaultButton_;
  TextProvider texts_;
  std::optional<QAccessible::Role> readerRole_;
  bool keepsFocus_ = false;
  FocusFallback focusFallback_;
  QList<int> tabOrder_;  // the focusable buttons when the ring last moved or was seen
  mutable QHash<QString, int> textKeys_;
  QString announcement_;
  bool readersWatch_ = false;                 // a screen reader (or a test) has asked for the widget
  std::unique_ptr<AccessibleSnapshot> seen_;  // what screen readers were last told
  mutable std::optional<ReaderView> readerView_;

  friend class PaintedWidgetAccessible;
};

// The keyboard-focus ring drawn around a button's shape, reaching
// kFocusRingReach beyond it. Its default colour stands out 3:1 or more
// against the cream screens; on a dark ground pass a light one.
inline constexpr qreal kFocusRingReach = 3.25;
void paintFocusRing(QPainter& painter, const QPainterPath& shape, const QColor& color = MurmelaTheme::sageDeep);
// The ring inside a rounded box, for rows at the edge of a scrolling list
// (whose edge would cut a ring outside them).
void paintInnerFocusRing(QPainter& painter, const QRectF& box, qreal cornerRadius,
                         const QColor& color = MurmelaTheme::sageDeep);

}  // namespace murmela
