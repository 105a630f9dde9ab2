#include "kit/paint/Shapes.h"

#include <QtMath>

#include <algorithm>
#include <cmath>

namespace murmela {
namespace {

// The share of the radius by which a continuous corner eases in from each
// edge: the corner begins (1 + smoothing) x radius before the vertex.
constexpr qreal kSmoothing = 0.6;

// One continuous corner, drawn clockwise from the point on the incoming edge
// to the point on the outgoing edge. `vertex` is the rectangle's corner,
// `along` the unit direction of the incoming edge, `next` that of the
// outgoing one. The corner is a circular arc over the middle of the turn and
// two cubic easing curves that leave the edges tangentially.
void continuousCorner(QPainterPath& path, QPointF vertex, QPointF along, QPointF next, qreal radius, qreal smoothing) {
  const qreal alpha = qDegreesToRadians(45.0 * smoothing);  // the turn each easing curve takes
  const qreal extent = (1.0 + smoothing) * radius;
  // Easing geometry: the curve ends where the arc begins, its last handle on
  // the arc's tangent.
  const qreal d = radius * (1.0 - std::cos(alpha));
  const qreal c = d / std::tan(alpha);
  const qreal arcChordAlong = radius * (std::sin(alpha) - 1.0) + extent - c;  // a + b
  const qreal b = arcChordAlong / 3.0;
  const qreal a = 2.0 * b;

  const auto point = [&](qreal alongDistance, qreal nextDistance) {
    return vertex + along * alongDistance + next * nextDistance;
  };
  // Incoming easing: from the edge point to where the arc begins.
  const QPointF start = point(-extent, 0.0);
  if (path.elementCount() == 0) {
    path.moveTo(start);
  } else {
    path.lineTo(start);
  }
  path.cubicTo(point(-extent + a, 0.0), point(-extent + a + b, 0.0), point(-extent + a + b + c, d));

  // The arc about the corner's centre, from the end of the incoming easing to
  // the start of the outgoing one.
  const QPointF centre = point(-radius, radius);
  const QPointF arcEnd = point(-d, extent - a - b - c);
  const QRectF circle(centre.x() - radius, centre.y() - radius, 2.0 * radius, 2.0 * radius);
  const QPointF from = point(-extent + a + b + c, d) - centre;
  const QPointF to = arcEnd - centre;
  const qreal startAngle = qRadiansToDegrees(std::atan2(-from.y(), from.x()));
  qreal sweep = qRadiansToDegrees(std::atan2(-to.y(), to.x())) - startAngle;
  while (sweep > 0.0) sweep -= 360.0;  // clockwise on screen
  while (sweep <= -360.0) sweep += 360.0;
  path.arcTo(circle, startAngle, sweep);

  // Outgoing easing, the mirror of the incoming one.
  path.cubicTo(point(0.0, extent - a - b), point(0.0, extent - a), point(0.0, extent));
}

void circularCorner(QPainterPath& path, QPointF vertex, QPointF along, QPointF next, qreal radius) {
  const QPointF start = vertex - along * radius;
  if (path.elementCount() == 0) {
    path.moveTo(start);
  } else {
    path.lineTo(start);
  }
  const QPointF centre = vertex - along * radius + next * radius;
  const QRectF circle(centre.x() - radius, centre.y() - radius, 2.0 * radius, 2.0 * radius);
  const QPointF from = start - centre;
  const qreal startAngle = qRadiansToDegrees(std::atan2(-from.y(), from.x()));
  path.arcTo(circle, startAngle, -90.0);
}

}  // namespace

qreal continuousCornerExtent(qreal radius) { return (1.0 + kSmoothing) * radius; }

QPainterPath roundedRectPath(const QRectF& rect, qreal radius, CornerStyle style) {
  QPainterPath path;
  const QRectF r = rect.normalized();
  const qreal budget = std::min(r.width(), r.height()) / 2.0;
  radius = std::clamp(radius, 0.0, budget);
  if (radius <= 0.0) {
    path.addRect(r);
    return path;
  }
  qreal smoothing = style == CornerStyle::continuous ? kSmoothing : 0.0;
  // Short sides cannot hold the whole easing: ease less, down to a plain arc.
  if ((1.0 + smoothing) * radius > budget) smoothing = std::max(0.0, budget / radius - 1.0);

  // Clockwise on screen from the top edge: top-right, bottom-right, bottom-left, top-left.
  const QPointF corners[4] = {r.topRight(), r.bottomRight(), r.bottomLeft(), r.topLeft()};
  const QPointF directions[4] = {QPointF(1, 0), QPointF(0, 1), QPointF(-1, 0), QPointF(0, -1)};
  for (int i = 0; i < 4; ++i) {
    const QPointF along = directions[i];
    const QPointF next = directions[(i + 1) % 4];
    if (smoothing > 0.001) {
      continuousCorner(path, corners[i], along, next, radius, smoothing);
    } else {
      circularCorner(path, corners[i], along, next, radius);
    }
  }
  path.closeSubpath();
  return path;
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
