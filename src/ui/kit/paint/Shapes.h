#pragma once

#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <array>

namespace murmela {

// Corner styles of rounded rectangles: circular arcs, or the continuous
// (curvature-continuous, squircle-like) corner that starts further along each
// edge and eases into a shorter arc.
enum class CornerStyle { circular, continuous };

// A rectangle with rounded corners. The radius is clamped to half the
// shorter side; a continuous corner gives up its easing where the sides are
// too short for it, down to a circular corner.
QPainterPath roundedRectPath(const QRectF& rect, qreal radius, CornerStyle style = CornerStyle::continuous);
// The same with elliptical corners: `radii` across and down, each clamped to
// half its side.
QPainterPath roundedRectPath(const QRectF& rect, QSizeF radii, CornerStyle style = CornerStyle::continuous);
// The same outline as four open paths, each from the middle of one corner to
// the middle of the next, clockwise on screen from the top side (top, right,
// bottom, left): a dash pattern laid on each can centre a dash on every corner.
// Square corners split at the vertices.
std::array<QPainterPath, 4> roundedRectSides(const QRectF& rect, QSizeF radii,
                                             CornerStyle style = CornerStyle::continuous);
// A capsule: the rectangle with fully round ends along its longer side.
QPainterPath capsulePath(const QRectF& rect);
QPainterPath circlePath(QPointF centre, qreal radius);
// The ellipse inscribed in a rectangle.
QPainterPath ellipsePath(const QRectF& rect);

// How far along each edge a continuous corner of `radius` reaches.
qreal continuousCornerExtent(qreal radius);

}  // namespace murmela
