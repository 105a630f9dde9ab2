#pragma once

#include "data/WrappedReport.h"
#include "deck/cards/SlideTitle.h"
#include "deck/charts/YearBars.h"
#include "deck/slides/DashedSticker.h"
#include "deck/slides/SlideText.h"

#include <QList>
#include <QRectF>

class QPainter;

namespace murmela {

// The fifth slide: messages by year as bars, a tilted sticker naming the
// peak year (or the hosted sentence) and the span with the total below.
struct ShapeSlide {
  const WrappedReport& report;

  struct Layout {
    SlideTitleLayout title;
    YearBarsLayout bars;
    DashedStickerLayout sticker;
    SlideText range;  // "2021 — 2025 · 46,593 TOTAL"
    QList<QRectF> elementFrames() const;
  };
  Layout layout() const;
  void paint(QPainter& painter) const;
};

}  // namespace murmela
