#include "kit/widgets/VerticalScroller.h"

#include "kit/paint/PainterState.h"
#include "kit/paint/Shapes.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>

#include <algorithm>

namespace murmela {

void VerticalScroller::setGeometry(const QRectF& viewport, qreal contentHeight) {
  viewport_ = viewport;
  contentHeight_ = std::max(0.0, contentHeight);
  setOffset(offset_);
}

qreal VerticalScroller::maxOffset() const { return std::max(0.0, contentHeight_ - viewport_.height()); }

bool VerticalScroller::setOffset(qreal offset) {
  const qreal clamped = std::clamp(offset, 0.0, maxOffset());
  if (clamped == offset_) return false;
  offset_ = clamped;
  return true;
}

bool VerticalScroller::ensureVisible(qreal top, qreal bottom) {
  if (top < offset_) return setOffset(top);
  if (bottom > offset_ + viewport_.height()) return setOffset(std::min(top, bottom - viewport_.height()));
  return false;
}

QRectF VerticalScroller::track() const {
  if (!scrolls()) return {};
  return QRectF(viewport_.right() - kIndicatorInset - kIndicatorWidth, viewport_.top() + kIndicatorInset,
                kIndicatorWidth, std::max(0.0, viewport_.height() - 2.0 * kIndicatorInset));
}

QRectF VerticalScroller::thumb() const {
  const QRectF bar = track();
  if (bar.isEmpty()) return {};
  const qreal length = std::clamp(bar.height() * viewport_.height() / contentHeight_,
                                  std::min(kMinimumThumbLength, bar.height()), bar.height());
  const qreal travel = bar.height() - length;
  return QRectF(bar.left(), bar.top() + travel * offset_ / maxOffset(), bar.width(), length);
}

bool VerticalScroller::wheel(QPointF position, QPoint angleDelta, QPoint pixelDelta) {
  if (!scrolls() || !viewport_.contains(position)) return false;
  const qreal delta = !pixelDelta.isNull() ? -pixelDelta.y() : -angleDelta.y() / kWheelNotch * kWheelStepPoints;
  return scrollBy(delta);
}

bool VerticalScroller::press(QPointF position) {
  const QRectF bar = track();
  if (bar.isEmpty()) return false;
  const QRectF grab = bar.adjusted(-(kIndicatorGrabWidth - bar.width()), 0.0, kIndicatorInset, 0.0);
  if (!grab.contains(position)) return false;
  const QRectF handle = thumb();
  if (position.y() < handle.top() || position.y() > handle.bottom()) {
    // A press on the track beside the thumb moves it there first.
    const qreal travel = bar.height() - handle.height();
    if (travel > 0.0) setOffset((position.y() - bar.top() - handle.height() / 2.0) / travel * maxOffset());
  }
  drag_ = Drag{position.y(), offset_};
  return true;
}

bool VerticalScroller::move(QPointF position) {
  if (!drag_) return false;
  const qreal travel = track().height() - thumb().height();
  if (travel > 0.0) setOffset(drag_->startOffset + (position.y() - drag_->startY) / travel * maxOffset());
  return true;
}

bool VerticalScroller::release() {
  const bool was = drag_.has_value();
  drag_.reset();
  return was;
}

void VerticalScroller::paint(QPainter& painter, const QColor& color) const {
  const QRectF handle = thumb();
  if (handle.isEmpty()) return;
  const PainterStateScope scope(painter);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillPath(capsulePath(handle), withOpacity(color, kIndicatorOpacity));
}

}  // namespace murmela
