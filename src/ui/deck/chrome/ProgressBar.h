#pragma once

#include <QList>
#include <QRectF>

class QPainter;

namespace murmela {

// The segmented progress bar at the top of a slide: one capsule per slide,
// 4 points apart, sharing the row's width; the current slide's segment and
// every one before it are full sage-deep, the rest faint.
struct ProgressBar {
  static constexpr qreal kHeight = 2.5;
  static constexpr qreal kGap = 4.0;
  static constexpr qreal kFaintOpacity = 0.22;

  int index = 0;
  int total = 14;

  // The segments in a row of the given left, top and width (the height is kHeight).
  QList<QRectF> segments(const QRectF& row) const;
  bool isFilled(int segment) const { return segment <= index; }
  void paint(QPainter& painter, const QRectF& row) const;
};

}  // namespace murmela
