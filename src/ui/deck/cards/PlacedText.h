#pragma once

#include "kit/text/TextLayout.h"

#include <QPointF>
#include <QRectF>

class QPainter;

namespace murmela {

// A measured paragraph and the rectangle it is drawn in: what a card or chart
// layout holds for each of its texts, so that painting only draws and tests
// read what will be shown and where.
struct PlacedText {
  TextLayout text;
  QRectF frame;  // the paragraph's own size, placed

  QString shown() const { return text.shownText(); }
  void paint(QPainter& painter) const { text.draw(painter, frame.topLeft()); }

  // The paragraph with its centre on a point.
  static PlacedText centredAt(const TextLayout& text, QPointF centre);
  // The paragraph inside a box by an alignment (it may stand out of a box too small for it).
  static PlacedText within(const TextLayout& text, const QRectF& box, Qt::Alignment alignment);
  // The paragraph with its top-left corner at a point.
  static PlacedText at(const TextLayout& text, QPointF topLeft);
};

}  // namespace murmela
