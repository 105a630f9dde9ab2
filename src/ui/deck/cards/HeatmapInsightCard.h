#pragma once

#include "deck/cards/CardFrame.h"
#include "deck/cards/PlacedText.h"

#include <QColor>
#include <QRectF>
#include <QString>

class QPainter;

namespace murmela {

// The tilted note card under the heatmap naming the busiest window: a serif
// title, a small eyebrow and a handwritten note, on cream-deep with a dashed
// border in the accent.
struct HeatmapInsightCard {
  QString title;
  QString eyebrow;
  QString note;
  QColor accent;
};

struct HeatmapInsightCardLayout {
  CardFrame frame;       // the rectangle's width, the card's own height; before the tilt
  qreal rotation = 0.0;  // degrees about the frame's centre (negative: anticlockwise)
  PlacedText title;
  PlacedText eyebrow;
  PlacedText note;
};

HeatmapInsightCardLayout layoutHeatmapInsightCard(const HeatmapInsightCard& card, const QRectF& rect);
void paintHeatmapInsightCard(QPainter& painter, const HeatmapInsightCardLayout& layout);

}  // namespace murmela
