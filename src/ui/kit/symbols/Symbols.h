#pragma once

#include <QColor>
#include <QList>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <optional>

class QPainter;

namespace murmela {

// The application's own vector symbols, one for every icon its screens name.
// They are drawn as paths, in the colour of the text they stand beside; no
// symbol font or icon set is used.
enum class Symbol {
  chevronLeft,
  chevronRight,
  squareAndArrowUp,  // share
  house,
  xmark,
  checkmark,
  lockFill,
  cloudFill,
  magnifyingGlass,
  gearshape,
  trash,
  plus,
  arrowRight,
  link,
  bubbleLeftFill,
  musicNote,
  docOnDoc,         // copy
  arrowDownToLine,  // download
};

// The stroke weights of a symbol, as its label's font weight names them.
enum class SymbolWeight { regular, medium, semibold, bold };

// "chevron.left", "square.and.arrow.up", "doc.on.doc" ...
QString symbolName(Symbol symbol);
std::optional<Symbol> symbolNamed(const QString& name);
QList<Symbol> allSymbols();

SymbolWeight symbolWeightFor(int fontWeight);  // QFont::Weight to the nearest stroke weight

// The symbol's filled outline at a point size (the size of the font it is
// set in), centred on (0, 0).
QPainterPath symbolPath(Symbol symbol, qreal pointSize, SymbolWeight weight = SymbolWeight::regular);
// The tight size of that outline.
QSizeF symbolSize(Symbol symbol, qreal pointSize, SymbolWeight weight = SymbolWeight::regular);

// Paints the symbol centred on a point, or centred in a box; returns the
// rectangle the outline took.
QRectF drawSymbol(QPainter& painter, Symbol symbol, QPointF centre, qreal pointSize, SymbolWeight weight,
                  const QColor& color);
QRectF drawSymbol(QPainter& painter, Symbol symbol, const QRectF& box, qreal pointSize, SymbolWeight weight,
                  const QColor& color);

}  // namespace murmela
