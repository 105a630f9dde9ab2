#include "kit/widgets/CapsuleButtonStyle.h"

#include "kit/paint/PainterState.h"
#include "kit/paint/Pens.h"
#include "kit/paint/Shapes.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>
#include <QPainterPathStroker>

namespace murmela {

QColor StateColor::at(const ButtonState& state) const {
  const qreal chosen = state.pressed ? pressedOpacity : state.hovered ? hoveredOpacity : opacity;
  return withOpacity(color, chosen);
}

QSizeF CapsuleButtonStyle::size(const QString& text) const { return padding.grown(layoutLabel(text).size); }

QRectF CapsuleButtonStyle::placed(const QString& text, qreal centreX, qreal top) const {
  const QSizeF extent = size(text);
  return {centreX - extent.width() / 2.0, top, extent.width(), extent.height()};
}

void CapsuleButtonStyle::paint(QPainter& painter, const QRectF& rect, const QString& text,
                               const ButtonState& state) const {
  const QPainterPath capsule = capsulePath(rect);
  OpacityScope faded(painter, opacity);
  painter.setRenderHint(QPainter::Antialiasing);
  if (fill) painter.fillPath(capsule, fill->at(state));
  layoutLabel(text).draw(painter, padding.inset(rect), Qt::AlignCenter);
  if (outline) painter.strokePath(capsule, StrokeStyle{.width = outlineWidth}.pen(outline->at(state)));
  if (state.focused) paintFocusRing(painter, capsule);
}

void paintFocusRing(QPainter& painter, const QPainterPath& shape) {
  PainterStateScope scope(painter);
  painter.setRenderHint(QPainter::Antialiasing);
  QPainterPathStroker stroker;
  stroker.setWidth(2.0 * CapsuleButtonStyle::kFocusRingGap);
  stroker.setJoinStyle(Qt::RoundJoin);
  const QPainterPath outside = (stroker.createStroke(shape) + shape).simplified();
  const QPen pen = StrokeStyle{.width = CapsuleButtonStyle::kFocusRingWidth, .join = Qt::RoundJoin}.pen(
      withOpacity(MurmelaTheme::sageDeep, CapsuleButtonStyle::kFocusRingOpacity));
  painter.strokePath(outside, pen);
}

}  // namespace murmela
