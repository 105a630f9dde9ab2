#pragma once

#include "kit/symbols/Symbols.h"
#include "kit/text/TextLayout.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <optional>

class QPainter;

namespace murmela {

// A symbol and a word side by side, vertically centred (a button's label,
// the footer's SHARE). The symbol takes the text's colour; either part may
// be missing.
struct SymbolLabel {
  std::optional<Symbol> symbol;
  qreal symbolSize = 12.0;  // points, as the font it would be set in
  SymbolWeight symbolWeight = SymbolWeight::regular;
  qreal spacing = 8.0;
  QString text;
  TextStyle style;

  struct Layout {
    QSizeF size;
    QRectF symbolRect;  // relative to the label's top-left
    QRectF textRect;
    TextLayout text;
  };
  Layout layout() const;
  // Paints the label with its top-left at `origin`, in `color` (the style's colour when invalid).
  void paint(QPainter& painter, const Layout& layout, QPointF origin, const QColor& color = QColor()) const;
};

}  // namespace murmela
