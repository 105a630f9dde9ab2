#include "deck/cards/PlacedText.h"

namespace murmela {

PlacedText PlacedText::centredAt(const TextLayout& text, QPointF centre) {
  return {text, QRectF(centre.x() - text.width() / 2, centre.y() - text.height() / 2, text.width(), text.height())};
}

PlacedText PlacedText::within(const TextLayout& text, const QRectF& box, Qt::Alignment alignment) {
  return {text, alignedRect(text.size, box, alignment)};
}

PlacedText PlacedText::at(const TextLayout& text, QPointF topLeft) { return {text, QRectF(topLeft, text.size)}; }

}  // namespace murmela
