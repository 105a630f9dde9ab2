#pragma once

#include "data/WrappedReport.h"
#include "deck/cards/ComparisonBar.h"
#include "deck/slides/SlideText.h"

#include <QList>
#include <QRectF>

class QPainter;

namespace murmela {

// The seventh slide: who said sorry more, as two bars against the larger
// count (the other participant's first), and the sum of both below.
struct ApologySlide {
  const WrappedReport& report;

  struct Layout {
    QList<SlideText> heading;  // "Who said", “sorry”, "more?"
    ComparisonBarLayout themBar;
    ComparisonBarLayout meBar;
    SlideText total;  // "401 APOLOGIES, ALL-TIME"
    QList<QRectF> elementFrames() const;
  };
  Layout layout() const;
  void paint(QPainter& painter) const;
};

}  // namespace murmela
