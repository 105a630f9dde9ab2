#include "kit/paint/Shapes.h"

#include <QTransform>
#include <QtMath>

#include <algorithm>
#include <array>
#include <cmath>

namespace murmela {
namespace {

// The share of the radius by which a continuous corner eases in from each
// edge: the corner begins (1 + smoothing) x radius before the vertex.
constexpr qreal kSmoothing = 0.6;
constexpr qreal kLeastSmoothing = 0.001;

// One corner of radius 1 with its vertex at the origin, in two halves split
// on the diagonal: it leaves the incoming edge (the negative x-axis, running
// towards the origin) and ends on the outgoing edge (the positive y-axis,
// running down). Continuous: a circular arc over the middle of the turn and
// two cubic easing curves that leave the edges tangentially; with no
// smoothing, a quarter circle.
struct UnitCorner {
  QPainterPath first;   // from the incoming edge to the middle of the turn
  QPainterPath second;  // from the middle of the turn to the outgoing edge
};

UnitCorner unitCorner(qreal smoothing) {
  UnitCorner corner;
  const QRectF circle(-2.0, 0.0, 2.0, 2.0);  // centre (-1, 1)
  if (smoothing < kLeastSmoothing) {
    corner.first.moveTo(-1.0, 0.0);
    corner.first.arcTo(circle, 90.0, -45.0);
    corner.second.moveTo(corner.first.currentPosition());
    corner.second.arcTo(circle, 45.0, -45.0);
    return corner;
  }
  const qreal alpha = qDegreesToRadians(45.0 * smoothing);  // the turn each easing curve takes
  const qreal extent = 1.0 + smoothing;
  // The easing curve ends where the arc begins, its last handle on the
  // arc's tangent: d below the edge and c + d short of the arc's start.
  const qreal d = 1.0 - std::cos(alpha);
  const qreal c = d / std::tan(alpha);
  const qreal b = (std::sin(alpha) - 1.0 + extent - c) / 3.0;
  const qreal a = 2.0 * b;
  const qreal arcStart = -extent + a + b + c;

  corner.first.moveTo(-extent, 0.0);
  corner.first.cubicTo(-extent + a, 0.0, -extent + a + b, 0.0, arcStart, d);
  const qreal startAngle = qRadiansToDegrees(std::atan2(1.0 - d, arcStart + 1.0));
  corner.first.arcTo(circle, startAngle, -(startAngle - 45.0));
  corner.second.moveTo(corner.first.currentPosition());
  corner.second.arcTo(circle, 45.0, -(startAngle - 45.0));
  // The outgoing easing mirrors the incoming one about the diagonal.
  corner.second.cubicTo(0.0, extent - a - b, 0.0, extent - a, 0.0, extent);
  return corner;
}

// The four corners placed on a rectangle, clockwise on screen from the top
// right: top-right, bottom-right, bottom-left, top-left.
struct PlacedCorners {
  bool square = true;  // no rounding: the corners are the vertices
  QRectF rect;
  std::array<UnitCorner, 4> corners;
};

PlacedCorners placeCorners(const QRectF& rect, QSizeF radii, CornerStyle style) {
  PlacedCorners placed;
  placed.rect = rect.normalized();
  const QRectF& r = placed.rect;
  const qreal rx = std::clamp(radii.width(), 0.0, r.width() / 2.0);
  const qreal ry = std::clamp(radii.height(), 0.0, r.height() / 2.0);
  if (rx <= 0.0 || ry <= 0.0) return placed;
  placed.square = false;
  qreal smoothing = style == CornerStyle::continuous ? kSmoothing : 0.0;
  // Short sides cannot hold the whole easing: ease less, down to a plain arc.
  smoothing = std::min({smoothing, r.width() / 2.0 / rx - 1.0, r.height() / 2.0 / ry - 1.0});
  smoothing = std::max(smoothing, 0.0);
  const UnitCorner corner = unitCorner(smoothing);

  const QPointF vertices[4] = {r.topRight(), r.bottomRight(), r.bottomLeft(), r.topLeft()};
  const QPointF directions[4] = {QPointF(1, 0), QPointF(0, 1), QPointF(-1, 0), QPointF(0, -1)};
  for (int i = 0; i < 4; ++i) {
    const QPointF along = directions[i];
    const QPointF next = directions[(i + 1) % 4];
    const qreal alongRadius = along.y() == 0.0 ? rx : ry;
    const qreal nextRadius = next.y() == 0.0 ? rx : ry;
    const QTransform place(along.x() * alongRadius, along.y() * alongRadius, next.x() * nextRadius,
                           next.y() * nextRadius, vertices[i].x(), vertices[i].y());
    placed.corners[i] = UnitCorner{place.map(corner.first), place.map(corner.second)};
  }
  return placed;
}

}  // namespace

qreal continuousCornerExtent(qreal radius) { return (1.0 + kSmoothing) * radius; }

QPainterPath roundedRectPath(const QRectF& rect, QSizeF radii, CornerStyle style) {
  QPainterPath path;
  const PlacedCorners placed = placeCorners(rect, radii, style);
  if (placed.square) {
    path.addRect(placed.rect);
    return path;
  }
  for (int i = 0; i < 4; ++i) {
    const UnitCorner& corner = placed.corners[i];
    if (i == 0) {
      path.moveTo(corner.first.elementAt(0));
    } else {
      path.lineTo(corner.first.elementAt(0));
    }
    path.connectPath(corner.first);
    path.connectPath(corner.second);
  }
  path.closeSubpath();
  return path;
}

std::array<QPainterPath, 4> roundedRectSides(const QRectF& rect, QSizeF radii, CornerStyle style) {
  std::array<QPainterPath, 4> sides;
  const PlacedCorners placed = placeCorners(rect, radii, style);
  const QRectF& r = placed.rect;
  if (placed.square) {
    const QPointF vertices[4] = {r.topLeft(), r.topRight(), r.bottomRight(), r.bottomLeft()};
    for (int i = 0; i < 4; ++i) {
      sides[i].moveTo(vertices[i]);
      sides[i].lineTo(vertices[(i + 1) % 4]);
    }
    return sides;
  }
  // Side i runs from the middle of corner i - 1 to the middle of corner i,
  // the top one from the top-left corner to the top-right one.
  for (int i = 0; i < 4; ++i) {
    const UnitCorner& from = placed.corners[(i + 3) % 4];
    const UnitCorner& to = placed.corners[i];
    sides[i] = from.second;
    sides[i].lineTo(to.first.elementAt(0));
    sides[i].connectPath(to.first);
  }
  return sides;
}

QPainterPath roundedRectPath(const QRectF& rect, qreal radius, CornerStyle style) {
  const qreal clamped = std::min({radius, std::abs(rect.width()) / 2.0, std::abs(rect.height()) / 2.0});
  return roundedRectPath(rect, QSizeF(clamped, clamped), style);
}

QPainterPath capsulePath(const QRectF& rect) {
  const QRectF r = rect.normalized();
  return roundedRectPath(r, std::min(r.width(), r.height()) / 2.0, CornerStyle::circular);
}

QPainterPath circlePath(QPointF centre, qreal radius) {
  QPainterPath path;
  path.addEllipse(centre, radius, radius);
  return path;
}

QPainterPath ellipsePath(const QRectF& rect) {
  QPainterPath path;
  path.addEllipse(rect);
  return path;
}

}  // namespace murmela
