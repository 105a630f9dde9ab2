#pragma once

#include <QList>
#include <QPointF>
#include <QSizeF>

class QPainter;

namespace murmela {

// The dot texture behind every slide and onboarding screen: a fixed grid,
// with no randomness, of dots every 4 points across and down (the column and
// row at the far edges included when they fall on the grid), alternating
// like a checkerboard between a larger, stronger dot and a smaller, fainter
// one, all in sage-deep.
struct SpeckleBackground {
  static constexpr qreal kPitch = 4.0;
  static constexpr qreal kLargeDiameter = 1.25;
  static constexpr qreal kSmallDiameter = 0.8;
  static constexpr qreal kLargeOpacity = 0.12;
  static constexpr qreal kSmallOpacity = 0.055;

  struct Dot {
    QPointF topLeft;  // the dot is the circle inscribed in the square of its diameter here
    qreal diameter = 0.0;
    bool large = false;
  };

  // The dots for an area of this size, column by column.
  static QList<Dot> dots(const QSizeF& size);
  static int columns(qreal width);
  static int rows(qreal height);

  // How an area was filled: from the cached tile, or dot by dot.
  enum class Drawn { fromTile, dotByDot };

  // Fills the area from (0, 0). Where the painter maps points to device
  // pixels by a plain scale whose 8-point repeat of the pattern is a whole
  // number of pixels, and (0, 0) falls on a pixel corner (the window, the
  // export and the gallery at 1x, 2x, 3x), the area is filled with one tile of
  // the pattern drawn once per scale for the whole process (from any thread);
  // otherwise dot by dot. Both look the same.
  static Drawn paint(QPainter& painter, const QSizeF& size);
  static void paintDotByDot(QPainter& painter, const QSizeF& size);
};

}  // namespace murmela
