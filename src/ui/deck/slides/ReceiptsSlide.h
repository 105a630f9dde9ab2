#pragma once

#include "data/WrappedReport.h"
#include "deck/cards/SlideTitle.h"
#include "deck/cards/SplitBar.h"
#include "deck/cards/StatCard.h"

#include <QList>
#include <QRectF>

class QPainter;

namespace murmela {

// The second slide: the counts of the thread as six tiles (the last one the
// signature phrase) and who sent more as a split bar.
struct ReceiptsSlide {
  const WrappedReport& report;

  struct Layout {
    SlideTitleLayout title;
    QList<StatTileLayout> tiles;  // messages, days, years, photos, emojis, the signature phrase
    SplitBarLayout split;
    QList<QRectF> elementFrames() const;
  };
  Layout layout() const;
  void paint(QPainter& painter) const;
};

}  // namespace murmela
