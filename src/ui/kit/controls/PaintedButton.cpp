#include "kit/controls/PaintedButton.h"

#include "kit/paint/PainterState.h"
#include "kit/paint/Shapes.h"

#include <QPainter>

namespace murmela {
namespace {

QPainterPath outlineOf(const ButtonStyle& style, const QRectF& frame) {
  return style.cornerRadius < 0.0 ? capsulePath(frame)
                                  : roundedRectPath(frame, style.cornerRadius, CornerStyle::continuous);
}

}  // namespace

ButtonLayout layoutButton(const ButtonStyle& style, const QRectF& frame) {
  ButtonLayout result;
  result.frame = frame;
  result.label = style.label.layout();
  result.labelOrigin = alignedRect(result.label.size, frame, Qt::AlignCenter).topLeft();
  return result;
}

ButtonLayout layoutButton(const ButtonStyle& style, QPointF centre) {
  const SymbolLabel::Layout label = style.label.layout();
  const QSizeF size = style.fixedSize.isEmpty() ? style.padding.grown(label.size) : style.fixedSize;
  return layoutButton(style, QRectF(centre - QPointF(size.width() / 2.0, size.height() / 2.0), size));
}

void paintButton(QPainter& painter, const ButtonStyle& style, const ButtonLayout& layout, const ButtonState& state) {
  const bool pressed = state.pressed && !state.disabled;
  qreal opacity = state.disabled ? style.disabledOpacity : 1.0;
  if (pressed && !style.pressedFill) opacity *= style.pressedOpacity;
  const OpacityScope scope(painter, opacity);
  painter.setRenderHint(QPainter::Antialiasing);
  const QPainterPath shape = outlineOf(style, layout.frame);
  QColor fill = style.fill;
  if (pressed && style.pressedFill) fill = *style.pressedFill;
  if (state.hovered && !pressed && !state.disabled && style.hoverFill) fill = *style.hoverFill;
  if (fill.alpha() > 0) painter.fillPath(shape, fill);
  if (style.outline) {
    painter.setBrush(Qt::NoBrush);
    painter.setPen(StrokeStyle{.width = style.outlineWidth}.pen(*style.outline));
    painter.drawPath(shape);
  }
  style.label.paint(painter, layout.label, layout.labelOrigin, style.content);
}

}  // namespace murmela
