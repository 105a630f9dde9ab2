#pragma once

#include "data/WrappedReport.h"
#include "deck/charts/LineChart.h"

#include <QList>
#include <QRectF>

#include <optional>

class QPainter;

namespace murmela {

// The monthly sentiment as one filled area, with the best month marked above
// the line and the worst below it.
struct SentimentAreaChart {
  QList<MonthlySentiment> values;  // months ascending
};

// The first best and the first worst month (a later equal score never
// replaces one); both absent without months. Scores that are not numbers are
// passed over.
struct SentimentExtremes {
  std::optional<int> peak;
  std::optional<int> valley;
};
SentimentExtremes sentimentExtremes(const QList<MonthlySentiment>& values);

// The valley's call-out below the line, then the peak's above it unless it
// is the same month; each titled with its month and year in capitals.
QList<ChartAnnotation> sentimentAnnotations(const QList<MonthlySentiment>& values, std::optional<int> peakIndex,
                                            std::optional<int> valleyIndex);

// The area chart the months draw as: scores from -1 ... 1 mapped to 0 ... 1.
LineChart sentimentLineChartData(const SentimentAreaChart& chart);

LineChartLayout layoutSentimentAreaChart(const SentimentAreaChart& chart, const QRectF& frame);
inline void paintSentimentAreaChart(QPainter& painter, const LineChartLayout& layout) {
  paintLineChart(painter, layout);
}

}  // namespace murmela
