#include "deck/slides/SlideText.h"

#include "kit/paint/PainterState.h"

#include <QTransform>

namespace murmela {

QRectF turnedBounds(const QRectF& rect, qreal degrees) {
  if (degrees == 0.0) return rect;
  QTransform turn;
  turn.translate(rect.center().x(), rect.center().y());
  turn.rotate(degrees);
  turn.translate(-rect.center().x(), -rect.center().y());
  return turn.mapRect(rect);
}

QRectF SlideText::bounds() const { return turnedBounds(placed.frame, rotation); }

void SlideText::paint(QPainter& painter) const {
  if (rotation == 0.0) {
    placed.paint(painter);
    return;
  }
  const RotationScope turn(painter, placed.frame.center(), rotation);
  placed.paint(painter);
}

}  // namespace murmela
