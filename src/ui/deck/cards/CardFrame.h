#pragma once

#include <QColor>
#include <QList>
#include <QRectF>

#include <optional>

class QPainter;

namespace murmela {

// The tile behind and around a card's content: an optional fill, of the
// whole rectangle or clipped to the rounded outline, and a border stroked
// centred on that outline over the card, solid or dashed. Colours carry
// their opacity.
struct CardFrame {
  QRectF rect;
  qreal radius = 6.0;
  std::optional<QColor> fill;
  bool roundedFill = false;  // the fill is clipped to the rounded outline
  QColor border;
  qreal borderWidth = 1.0;
  QList<qreal> dash;  // in points; empty for a solid border
};

// The dash of every dashed card border: 4 points on, 3 off.
inline const QList<qreal> kCardDash = {4.0, 3.0};

void paintCardBackground(QPainter& painter, const CardFrame& frame);
void paintCardBorder(QPainter& painter, const CardFrame& frame);

}  // namespace murmela
