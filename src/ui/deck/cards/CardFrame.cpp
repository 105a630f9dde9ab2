#include "deck/cards/CardFrame.h"

#include "kit/paint/PainterState.h"
#include "kit/paint/Pens.h"
#include "kit/paint/Shapes.h"

#include <QPainter>

namespace murmela {

void paintCardBackground(QPainter& painter, const CardFrame& frame) {
  if (!frame.fill) return;
  if (!frame.roundedFill) {
    painter.fillRect(frame.rect, *frame.fill);
    return;
  }
  PainterStateScope scope(painter);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillPath(roundedRectPath(frame.rect, frame.radius), *frame.fill);
}

void paintCardBorder(QPainter& painter, const CardFrame& frame) {
  if (frame.borderWidth <= 0.0 || frame.border.alpha() == 0) return;
  PainterStateScope scope(painter);
  painter.setRenderHint(QPainter::Antialiasing);
  StrokeStyle stroke;
  stroke.width = frame.borderWidth;
  stroke.dash = frame.dash;
  painter.strokePath(roundedRectPath(frame.rect, frame.radius), stroke.pen(frame.border));
}

}  // namespace murmela
