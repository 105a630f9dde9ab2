#pragma once

#include "deck/cards/PlacedText.h"
#include "deck/charts/HeatmapGrid.h"

#include <QList>
#include <QRectF>

#include <optional>

class QPainter;

namespace murmela {

// The weekday-by-hour counts as square cells on the six-step heat ramp, noon
// to noon, with hour marks above, weekday names at the left, a quiet-to-loud
// legend below and the start of the busiest two-hour window outlined.
struct MessageHeatmap {
  HourMatrix matrix;
};

struct HeatmapCell {
  int day = 0;
  int column = 0;
  int hour = 0;
  qint64 value = 0;
  int rampIndex = 0;  // into MurmelaTheme::heat
  QRectF rect;
};

// The ink outline over the peak cell: the cell's rounded square scaled by
// 1.22 about its centre, stroke and radius scaled with it.
struct HeatmapPeakOutline {
  QRectF rect;
  qreal radius = 0.0;
  qreal lineWidth = 0.0;
};

struct MessageHeatmapLayout {
  QRectF frame;  // the rectangle's width, the heatmap's own height
  qint64 maxValue = 1;
  HeatmapPeak peak;
  qreal cellSize = 0.0;
  QList<PlacedText> hourMarks;                    // the four column marks, then the closing "12p" on the trailing edge
  QList<PlacedText> weekdays;                     // one per drawn row
  QList<HeatmapCell> cells;                       // row by row; a row draws only the hours it holds
  std::optional<HeatmapPeakOutline> peakOutline;  // when the peak's cell is drawn
  PlacedText quiet;
  QList<QRectF> swatches;  // one per ramp step, cold to hot
  PlacedText loud;
};

MessageHeatmapLayout layoutMessageHeatmap(const MessageHeatmap& heatmap, const QRectF& rect);
void paintMessageHeatmap(QPainter& painter, const MessageHeatmapLayout& layout);

}  // namespace murmela
