#include "kit/controls/LibraryStyle.h"

#include "kit/paint/PainterState.h"
#include "kit/paint/Pens.h"
#include "kit/paint/Shapes.h"
#include "kit/paint/FocusRing.h"

#include <QPainter>

namespace murmela {

void LibraryCard::paint(QPainter& painter, const QRectF& rect) const {
  const PainterStateScope scope(painter);
  painter.setRenderHint(QPainter::Antialiasing);
  const QPainterPath shape = roundedRectPath(rect, radius, CornerStyle::continuous);
  painter.fillPath(shape, fill);
  if (!outlined) return;
  painter.setBrush(Qt::NoBrush);
  painter.setPen(StrokeStyle{}.pen(withOpacity(MurmelaTheme::sageDeep, kOutlineOpacity)));
  painter.drawPath(shape);
}

void paintLibraryButton(QPainter& painter, const ButtonStyle& style, const QRectF& rect, const ButtonState& state,
                        bool showsFocus) {
  paintButton(painter, style, layoutButton(style, rect), state);
  if (!showsFocus) return;
  paintFocusRing(painter, style.cornerRadius < 0.0 ? capsulePath(rect) : roundedRectPath(rect, style.cornerRadius));
}

}  // namespace murmela
