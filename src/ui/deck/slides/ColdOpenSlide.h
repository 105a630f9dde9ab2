#pragma once

#include "data/WrappedReport.h"
#include "deck/slides/SlideText.h"

#include <QList>
#include <QRectF>

class QPainter;

namespace murmela {

// The first slide: who the thread is with, the total message count in huge
// serif with a tilted handwritten "messages.", and the span of the thread.
struct ColdOpenSlide {
  const WrappedReport& report;

  struct Layout {
    SlideText names;     // "You & Maya "
    SlideText count;     // the grouped total, shrunk to fit the width
    SlideText messages;  // "messages. ", turned
    SlideText span;      // the date range, and "● 1,261 days" below it, upper-cased
    QList<QRectF> elementFrames() const;
  };
  Layout layout() const;
  void paint(QPainter& painter) const;
};

}  // namespace murmela
