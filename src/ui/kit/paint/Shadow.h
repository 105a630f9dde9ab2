#pragma once

#include <QColor>
#include <QPainterPath>
#include <QPointF>

class QPainter;

namespace murmela {

// A soft drop shadow: the shape's silhouette in a colour, blurred by a radius
// in points (a Gaussian of that standard deviation) and moved by an offset.
struct ShadowStyle {
  QColor color;
  qreal radius = 0.0;
  QPointF offset;
};

// Paints the shadow of a filled shape under whatever is drawn next. The blur
// is made at the painter's device resolution, so a 3x image gets a 3x shadow.
void drawShadow(QPainter& painter, const QPainterPath& shape, const ShadowStyle& shadow);

}  // namespace murmela
