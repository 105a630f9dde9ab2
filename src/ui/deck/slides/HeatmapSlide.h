#pragma once

#include "data/WrappedReport.h"
#include "deck/cards/HeatmapInsightCard.h"
#include "deck/cards/SlideTitle.h"
#include "deck/charts/MessageHeatmap.h"

#include <QList>
#include <QRectF>
#include <QString>

class QPainter;

namespace murmela {

// The busiest two consecutive hours of one weekday, as the heatmap slide names them.
struct PeakWindowSummary {
  QString window;       // "9 — 11 PM", the card's title
  QString titleWindow;  // "9 PM", the hour in the slide's title
  QString day;          // "Thu"
  qint64 count = 0;     // messages in the window
};

PeakWindowSummary peakWindowSummary(const WrappedReport& report);

// The fourth slide: the weekday-by-hour heatmap under a title naming the
// peak hour, and a tilted card naming the peak window.
struct HeatmapSlide {
  const WrappedReport& report;

  struct Layout {
    PeakWindowSummary peak;
    SlideTitleLayout title;
    MessageHeatmapLayout heatmap;
    HeatmapInsightCardLayout card;
    QList<QRectF> elementFrames() const;
  };
  Layout layout() const;
  void paint(QPainter& painter) const;
};

}  // namespace murmela
