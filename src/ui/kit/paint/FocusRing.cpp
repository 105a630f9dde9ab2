#include "kit/paint/FocusRing.h"

#include "kit/paint/PainterState.h"
#include "kit/paint/Pens.h"
#include "kit/paint/Shapes.h"

#include <QPainter>
#include <QPainterPathStroker>

#include <algorithm>

namespace murmela {
namespace {
constexpr qreal kFocusRingGap = 2.5;  // between the button's edge and the ring's middle
constexpr qreal kFocusRingWidth = 1.5;
static_assert(kFocusRingReach == kFocusRingGap + kFocusRingWidth / 2.0);
}  // namespace

void paintFocusRing(QPainter& painter, const QPainterPath& shape, const QColor& color) {
  PainterStateScope scope(painter);
  painter.setRenderHint(QPainter::Antialiasing);
  QPainterPathStroker stroker;
  stroker.setWidth(2.0 * kFocusRingGap);
  stroker.setJoinStyle(Qt::RoundJoin);
  const QPainterPath outside = (stroker.createStroke(shape) + shape).simplified();
  painter.strokePath(outside, StrokeStyle{.width = kFocusRingWidth, .join = Qt::RoundJoin}.pen(color));
}

void paintInnerFocusRing(QPainter& painter, const QRectF& box, qreal cornerRadius, const QColor& color) {
  PainterStateScope scope(painter);
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal inset = kFocusRingReach - kFocusRingWidth / 2.0;
  painter.strokePath(roundedRectPath(box.adjusted(inset, inset, -inset, -inset), std::max(0.0, cornerRadius - inset)),
                     StrokeStyle{.width = kFocusRingWidth, .join = Qt::RoundJoin}.pen(color));
}

}  // namespace murmela
