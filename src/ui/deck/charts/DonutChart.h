#pragma once

#include "deck/cards/PlacedText.h"
#include "deck/cards/TwoPartySplit.h"

#include <QPointF>
#include <QRectF>

class QPainter;

namespace murmela {

// Two people's shares as a ring: the user's part from 12 o'clock clockwise in
// sage-deep, the rest in gold, and the user's whole percent in the middle.
struct DonutChart {
  qint64 me = 0;
  qint64 them = 0;
};

struct DonutChartLayout {
  QRectF frame;
  TwoPartySplit split;
  QPointF centre;
  qreal radius = 0.0;     // the circle the ring's stroke straddles
  qreal lineWidth = 0.0;  // half of it lies outside the circle
  QRectF disc;            // the cream disc in the middle
  PlacedText youLabel;
  PlacedText percent;
};

DonutChartLayout layoutDonutChart(const DonutChart& chart, const QRectF& frame);
void paintDonutChart(QPainter& painter, const DonutChartLayout& layout);

}  // namespace murmela
