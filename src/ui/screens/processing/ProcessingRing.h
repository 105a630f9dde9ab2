#pragma once

#include "kit/paint/ShapeCache.h"

#include <QRectF>

class QPainter;

namespace murmela {

// The processing screen's progress ring: a faint track and, from twelve
// o'clock clockwise, the arc of the progress so far. The arc is kept in
// whole device pixels of the circle's length, so progress reports that move
// it by less than a pixel draw nothing new, and one that moves it redraws
// only the pixels around the moved end.
class ProcessingRing {
 public:
  static constexpr qreal kLineWidth = 2.5;

  // How many device pixels long the circle of `diameter` is at `scale`.
  static quint64 stepCount(qreal diameter, qreal scale);
  // The arc's length for a progress fraction, in those pixels (at least one:
  // the ring starts as a dot).
  static quint64 sweepStep(double fraction, qreal diameter, qreal scale);

  // Paints the ring on `circle` (the line's middle).
  void paint(QPainter& painter, const QRectF& circle, double fraction) const;

 private:
  mutable ShapeCache cache_;
};

}  // namespace murmela
