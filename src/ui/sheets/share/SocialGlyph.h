#pragma once

#include "sharing/ShareDestination.h"

#include <QColor>
#include <QPainterPath>
#include <QRectF>

class QPainter;

namespace murmela {

// The mark inside a destination's tile, drawn by the application itself:
// an outlined camera for Stories and a letter-mark for X on a 24 x 24 grid
// that scales with the area (their 1.6 strokes do not), the speech bubble
// and the note as symbols, nothing for the copy and download destinations.
struct SocialGlyph {
  static constexpr qreal kGrid = 24.0;
  static constexpr qreal kStrokeWidth = 1.6;

  ShareDestination destination;
  QColor stroke;

  void paint(QPainter& painter, const QRectF& area) const;

  // The drawn marks in an area's coordinates (one unit = width / 24).
  static QPainterPath cameraOutline(const QRectF& area);  // rounded square and lens, stroked
  static QPainterPath cameraDot(const QRectF& area);      // filled
  static QPainterPath letterMark(const QRectF& area);     // filled
};

}  // namespace murmela
