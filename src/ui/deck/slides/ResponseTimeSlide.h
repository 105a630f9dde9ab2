#pragma once

#include "data/WrappedReport.h"
#include "deck/cards/CardFrame.h"
#include "deck/cards/PlacedText.h"
#include "deck/cards/SlideTitle.h"
#include "deck/charts/ResponseLineChart.h"
#include "kit/text/TextStyle.h"

#include <QList>
#include <QRectF>
#include <QString>

class QPainter;

namespace murmela {

// The hosted sentence on the shift in reply times when there is one; else
// "how fast you came back." without years; else "You went from X to Y." and
// the other person's sentence, the first year's median to the last's.
QString responseSubtitle(const WrappedReport& report);

// "↳ longest wait? " and who made whom wait how long, and when; "unknown. "
// without a recorded gap.
StyledText longestWaitCaption(const WrappedReport& report);

// Slide ten: median reply times per year for both people, and the longest wait.
struct ResponseTimeSlide {
  const WrappedReport& report;

  struct Layout {
    SlideTitleLayout title;
    ResponseLineChartLayout chart;  // 334 x 240
    CardFrame waitBox;
    PlacedText waitCaption;

    QList<QRectF> elementFrames() const;  // top to bottom
  };

  Layout layout() const;
  void paint(QPainter& painter) const;
};

}  // namespace murmela
