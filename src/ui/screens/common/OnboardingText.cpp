#include "screens/common/OnboardingText.h"

#include "kit/paint/PainterState.h"

#include <QPainter>

namespace murmela {

QRectF centredRect(const TextLayout& text, qreal top, qreal left, qreal width) {
  return {left + (width - text.width()) / 2.0, top, text.width(), text.height()};
}

TextStyle Eyebrow::style() const { return {.typeface = Typeface::caveat, .size = kFontSize, .color = color}; }

QRectF Eyebrow::rect(qreal top, qreal left, qreal width) const { return centredRect(layout(), top, left, width); }

void Eyebrow::paint(QPainter& painter, const QRectF& rect) const {
  RotationScope turned(painter, rect.center(), rotation);
  painter.setRenderHint(QPainter::Antialiasing);
  layout().draw(painter, rect.topLeft());
}

TextStyle OnbTitle::style() const {
  return {.typeface = Typeface::dmSerifDisplay,
          .size = size,
          .tracking = kTracking,
          .color = MurmelaTheme::ink,
          .lineSpacing = kLineSpacing,
          .alignment = TextAlign::center};
}

}  // namespace murmela
