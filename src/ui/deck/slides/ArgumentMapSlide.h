#pragma once

#include "data/WrappedReport.h"
#include "deck/cards/PlacedText.h"
#include "deck/cards/SlideTitle.h"
#include "deck/charts/ArgumentTimeline.h"
#include "deck/charts/LegendSwatch.h"
#include "kit/text/TextStyle.h"

#include <QList>
#include <QRectF>

class QPainter;

namespace murmela {

// The hosted sentence on the arguments as "↳ …" in handwriting, or the small
// note "↳ approximate — based on tone analysis.".
StyledText argumentCaption(const WrappedReport& report);

// How many arguments each person ended: every event counts for exactly one.
struct CavedCounts {
  qint64 mine = 0;
  qint64 theirs = 0;
};
CavedCounts cavedCounts(const QList<ArgumentEvent>& events);

// Slide eleven: every detected argument on a time line, and who gave in.
struct ArgumentMapSlide {
  const WrappedReport& report;

  struct Layout {
    SlideTitleLayout title;
    ArgumentTimelineLayout timeline;  // 334 x 220
    QRectF legendRow;
    QList<LegendSwatchLayout> legend;  // "YOU CAVED · y" at the left, the other person's at the right
    PlacedText caption;

    QList<QRectF> elementFrames() const;  // top to bottom
  };

  Layout layout() const;
  void paint(QPainter& painter) const;
};

}  // namespace murmela
