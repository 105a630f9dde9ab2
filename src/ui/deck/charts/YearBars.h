#pragma once

#include "deck/cards/PlacedText.h"

#include <QList>
#include <QMap>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <optional>

class QPainter;

namespace murmela {

// Messages per year as bars standing on one baseline: the busiest year in
// gold with its count and an arrow above it, the others in sage.
struct YearBars {
  QMap<qint64, qint64> values;  // year -> message count
};

struct YearBar {
  qint64 year = 0;
  qint64 count = 0;
  QRectF rect;  // stands on the baseline; zero height for a count of 0
  bool peak = false;
  QString label;  // "'24"
  QPointF labelCentre;
  std::optional<PlacedText> labelText;  // absent where the labels are too crowded to all be shown
};

struct YearBarsPeakLabel {
  int index = 0;   // the peak bar's position
  QString count;   // grouped, with its trailing blank
  QPointF centre;  // of the count-and-arrow stack
  PlacedText countText;
  PlacedText arrow;
};

struct YearBarsLayout {
  QRectF frame;
  double slot = 0.0;
  double barWidth = 0.0;
  double plotTop = 0.0;  // the band above it holds the peak label
  double plotHeight = 0.0;
  double baseline = 0.0;  // the year labels sit in the band below it
  QList<YearBar> bars;    // years ascending
  std::optional<YearBarsPeakLabel> peak;
};

// The year with the largest count: the first met (years ascending) whose count
// is strictly greater than the best so far, so ties keep the earliest year.
std::optional<qint64> yearBarsPeakYear(const QMap<qint64, qint64>& values);

// The year's label: an apostrophe and the last two characters of its digits.
QString yearBarLabel(qint64 year);

YearBarsLayout layoutYearBars(const YearBars& bars, const QRectF& frame);
void paintYearBars(QPainter& painter, const YearBarsLayout& layout);

}  // namespace murmela
