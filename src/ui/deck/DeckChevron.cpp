#include "deck/DeckChevron.h"

#include "kit/paint/PainterState.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>

namespace murmela {
namespace {

QColor mix(const QColor& from, const QColor& to, qreal t) {
  return QColor::fromRgbF(from.redF() + (to.redF() - from.redF()) * t,
                          from.greenF() + (to.greenF() - from.greenF()) * t,
                          from.blueF() + (to.blueF() - from.blueF()) * t);
}

}  // namespace

QRectF DeckChevron::frame(const QSizeF& deck) const {
  const qreal x = direction == ChevronDirection::left ? 0.0 : deck.width() - kSize.width();
  return QRectF(QPointF(x, (deck.height() - kSize.height()) / 2.0), kSize);
}

QColor DeckChevron::color(qreal hover) {
  if (hover <= 0.0) return MurmelaTheme::inkSoft;
  if (hover >= 1.0) return MurmelaTheme::ink;
  return mix(MurmelaTheme::inkSoft, MurmelaTheme::ink, hover);
}

ButtonStyle DeckChevron::style(qreal hover) const {
  ButtonStyle style;
  style.label.symbol = direction == ChevronDirection::left ? Symbol::chevronLeft : Symbol::chevronRight;
  style.label.symbolSize = kSymbolSize;
  style.label.symbolWeight = SymbolWeight::semibold;
  style.content = color(hover);
  style.fixedSize = kSize;
  return style;
}

void DeckChevron::paint(QPainter& painter, const QSizeF& deck, qreal hover, bool pressed) const {
  if (disabled) return;  // opacity 0
  const ButtonStyle look = style(hover);
  const ButtonLayout layout = layoutButton(look, frame(deck));
  {
    // The shadows are cast by the chevron itself, so they dim with it when pressed.
    const OpacityScope dim(painter, pressed ? look.pressedOpacity : 1.0);
    const QRectF symbolRect = layout.label.symbolRect.translated(layout.labelOrigin);
    const QPainterPath outline =
        symbolPath(*look.label.symbol, kSymbolSize, SymbolWeight::semibold).translated(symbolRect.center());
    for (const ShadowStyle& shadow : kShadows) drawShadow(painter, outline, shadow);
  }
  paintButton(painter, look, layout, ButtonState{.pressed = pressed});
}

}  // namespace murmela
