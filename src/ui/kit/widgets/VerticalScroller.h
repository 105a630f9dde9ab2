#pragma once

#include <QColor>
#include <QPoint>
#include <QPointF>
#include <QRectF>

#include <optional>

class QPainter;

namespace murmela {

// The scrolling of a painted list: content taller than its viewport moves by
// an offset, with the wheel (or a touchpad) over the viewport and by dragging
// the thin indicator painted at the viewport's right edge while the content
// scrolls. The widget forwards its events and paints the content shifted by
// contentTop(); the offset always stays within 0 ... maxOffset().
class VerticalScroller {
 public:
  static constexpr qreal kWheelNotch = 120.0;      // angle delta of one wheel step
  static constexpr qreal kWheelStepPoints = 48.0;  // how far one step moves the content
  static constexpr qreal kIndicatorWidth = 3.0;
  static constexpr qreal kIndicatorInset = 2.0;       // from the viewport's right, top and bottom edges
  static constexpr qreal kIndicatorGrabWidth = 12.0;  // how wide the indicator takes a drag
  static constexpr qreal kMinimumThumbLength = 24.0;
  static constexpr qreal kIndicatorOpacity = 0.35;

  // Where the list shows and how tall its content is; the offset is clamped to them.
  void setGeometry(const QRectF& viewport, qreal contentHeight);
  const QRectF& viewport() const { return viewport_; }
  qreal contentHeight() const { return contentHeight_; }

  qreal offset() const { return offset_; }
  qreal maxOffset() const;
  bool scrolls() const { return maxOffset() > 0.0; }
  // The y of the content's top in the widget.
  qreal contentTop() const { return viewport_.top() - offset_; }
  // True when the offset changed.
  bool setOffset(qreal offset);
  bool scrollBy(qreal delta) { return setOffset(offset_ + delta); }
  // Scrolls as little as needed for a span of the content (its own
  // coordinates) to be in view.
  bool ensureVisible(qreal top, qreal bottom);

  // The indicator's track and thumb, empty while nothing scrolls.
  QRectF track() const;
  QRectF thumb() const;

  // Events in the widget's coordinates; each returns true when it moved the
  // content or took the pointer.
  bool wheel(QPointF position, QPoint angleDelta, QPoint pixelDelta);
  bool press(QPointF position);
  bool move(QPointF position);
  bool release();
  bool dragging() const { return drag_.has_value(); }

  void paint(QPainter& painter, const QColor& color) const;

 private:
  QRectF viewport_;
  qreal contentHeight_ = 0.0;
  qreal offset_ = 0.0;
  struct Drag {
    qreal startY = 0.0;
    qreal startOffset = 0.0;
  };
  std::optional<Drag> drag_;
};

}  // namespace murmela
