#pragma once

#include <QRectF>

class QPainter;

namespace murmela {

// The round button over each end of the social row: a chevron at 11
// semibold in ink at 0.7 on a 24 x 24 cream circle, fully opaque while the
// pointer is over it and at 0.85 otherwise, with a soft shadow.
struct ScrollChevron {
  enum class Direction { left, right };
  static constexpr qreal kSize = 24.0;

  Direction direction;

  void paint(QPainter& painter, const QRectF& frame, bool hovering, bool pressed = false) const;
};

}  // namespace murmela
