#pragma once

#include "data/WrappedReport.h"
#include "deck/cards/SlideTitle.h"
#include "deck/charts/DonutChart.h"
#include "deck/charts/LegendSwatch.h"
#include "deck/slides/SlideText.h"

#include <QList>
#include <QRectF>

class QPainter;

namespace murmela {

// The eighth slide: who reaches out first after a silence, as a donut of the
// two counts with a legend, and a caption naming who misses whom first and
// how often.
struct InitiationSlide {
  const WrappedReport& report;

  struct Layout {
    SlideTitleLayout title;
    DonutChartLayout donut;
    QList<LegendSwatchLayout> legend;  // the user's swatch, then the other participant's
    SlideText caption;                 // rose lead, ink frequency
    QList<QRectF> elementFrames() const;
  };
  Layout layout() const;
  void paint(QPainter& painter) const;
};

}  // namespace murmela
