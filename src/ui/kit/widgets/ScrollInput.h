#pragma once

#include "kit/widgets/VerticalScroller.h"

#include <QObject>
#include <QPointer>
#include <QRectF>

#include <functional>
#include <optional>

class QWidget;

namespace murmela {

// Moves a painted list's scroller from a widget's events: the wheel over the
// list, a drag of the indicator, and the keyboard focus reaching a row that
// is out of view. Watches the widget (installed after its button host, so a
// drag on the indicator never reaches the buttons) and repaints it on every move.
class ScrollInput : public QObject {
  Q_OBJECT

 public:
  // The span of content a focused button needs in view; none for buttons outside the list.
  using FocusSpan = std::function<std::optional<QRectF>(int id)>;

  ScrollInput(QWidget* widget, FocusSpan focusSpan);

  VerticalScroller& scroller() { return scroller_; }
  const VerticalScroller& scroller() const { return scroller_; }
  // While disabled (a menu is open over the list) events pass untouched.
  void setEnabled(bool enabled) { enabled_ = enabled; }

  // Call before painting with the button that shows the keyboard focus (if
  // any): a newly focused row scrolls into view once, so the wheel can move
  // on from it afterwards.
  void followFocus(std::optional<int> focused);

 Q_SIGNALS:
  // The list moved (what stands where changed).
  void scrolled();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPointer<QWidget> widget_;
  FocusSpan focusSpan_;
  VerticalScroller scroller_;
  std::optional<int> followed_;
  bool enabled_ = true;
};

}  // namespace murmela
