#pragma once

#include "deck/cards/PlacedText.h"

#include <QRectF>
#include <QString>

class QPainter;

namespace murmela {

// A text of a slide: its measured paragraph, the rectangle it stands in and
// the turn it is drawn at about that rectangle's centre (degrees; negative
// turns anticlockwise on screen, as the handwritten asides lean).
struct SlideText {
  PlacedText placed;
  qreal rotation = 0.0;

  QString shown() const { return placed.shown(); }
  const QRectF& frame() const { return placed.frame; }
  bool elided() const { return placed.text.elided; }
  qreal scale() const { return placed.text.scale; }
  // What the text covers once turned.
  QRectF bounds() const;
  void paint(QPainter& painter) const;
};

// The bounding box of a rectangle turned by `degrees` about its centre.
QRectF turnedBounds(const QRectF& rect, qreal degrees);

}  // namespace murmela
