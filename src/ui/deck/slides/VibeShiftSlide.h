#pragma once

#include "data/WrappedReport.h"
#include "deck/cards/PlacedText.h"
#include "deck/cards/SlideTitle.h"
#include "deck/charts/LineChart.h"
#include "kit/text/TextStyle.h"

#include <QList>
#include <QRectF>

#include <optional>

class QPainter;

namespace murmela {

// The month with the lowest sentiment (the earliest of equal ones), the one
// the chart marks below its line; none without months.
std::optional<int> lowSentimentMonth(const QList<MonthlySentiment>& months);

// "something happened in {Month YYYY}. " with the month in rose, or the
// hosted sentence as "↳ …" in rose with a second line naming that month in
// ink; "the vibe stayed mostly steady. " without either.
StyledText vibeCaption(const WrappedReport& report);

// Slide twelve: the monthly sentiment curve and the month the mood dropped.
struct VibeShiftSlide {
  const WrappedReport& report;

  struct Layout {
    SlideTitleLayout title;
    LineChartLayout chart;  // 334 x 240
    PlacedText caption;

    QList<QRectF> elementFrames() const;  // top to bottom
  };

  Layout layout() const;
  void paint(QPainter& painter) const;
};

}  // namespace murmela
