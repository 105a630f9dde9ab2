#pragma once

#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>
#include <QSizeF>

namespace murmela {

// The speech bubble of the logo in a rectangle: a body over the top 76 % with
// continuous corners of 16 % of the width and of the height, and a separate
// closed tail that hangs from the body's bottom edge about a third of the way
// in, leaning left, its point on the rectangle's bottom edge.
struct BubbleParts {
  QRectF body;
  QSizeF cornerSize;
  QPolygonF tail;  // top left, point, top right
};
BubbleParts bubbleParts(const QRectF& rect);

// The body and the tail as one path of two closed subpaths.
QPainterPath bubbleShapePath(const QRectF& rect);

}  // namespace murmela
