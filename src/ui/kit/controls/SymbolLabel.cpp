#include "kit/controls/SymbolLabel.h"

#include <QPainter>

#include <algorithm>

namespace murmela {

SymbolLabel::Layout SymbolLabel::layout() const {
  Layout result;
  const bool hasText = !text.isEmpty();
  if (hasText) result.text = layoutText(text, style);
  const QSizeF symbolBox = symbol ? murmela::symbolSize(*symbol, symbolSize, symbolWeight) : QSizeF(0.0, 0.0);
  const QSizeF textBox = hasText ? result.text.size : QSizeF(0.0, 0.0);
  const qreal gap = symbol && hasText ? spacing : 0.0;
  result.size = QSizeF(symbolBox.width() + gap + textBox.width(), std::max(symbolBox.height(), textBox.height()));
  result.symbolRect = QRectF(QPointF(0.0, (result.size.height() - symbolBox.height()) / 2.0), symbolBox);
  result.textRect = QRectF(QPointF(symbolBox.width() + gap, (result.size.height() - textBox.height()) / 2.0), textBox);
  return result;
}

void SymbolLabel::paint(QPainter& painter, const Layout& layout, QPointF origin, const QColor& color) const {
  const QColor ink = color.isValid() ? color : style.color;
  if (symbol) drawSymbol(painter, *symbol, layout.symbolRect.translated(origin), symbolSize, symbolWeight, ink);
  if (text.isEmpty()) return;
  if (color.isValid() && color != style.color) {
    // The same words in the asked colour (a pressed or inverted look).
    TextStyle recoloured = style;
    recoloured.color = color;
    layoutText(text, recoloured).draw(painter, layout.textRect.translated(origin).topLeft());
  } else {
    layout.text.draw(painter, layout.textRect.translated(origin).topLeft());
  }
}

}  // namespace murmela
