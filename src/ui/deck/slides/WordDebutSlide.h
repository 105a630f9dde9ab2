#pragma once

#include "data/WrappedReport.h"
#include "deck/cards/CardFrame.h"
#include "deck/slides/DashedSticker.h"
#include "deck/slides/SlideText.h"

#include <QList>
#include <QRectF>

#include <optional>

class QPainter;

namespace murmela {

// The sixth slide: the first time the user called the other participant by
// a pet name (or a fallback headline without one), an optional hosted
// response, and a panel of the other firsts with their dates.
struct WordDebutSlide {
  static constexpr int kMaxOtherFirsts = 5;

  const WrappedReport& report;

  // A first distinctive term is present and not blank.
  bool hasHeadlineFirst() const;

  struct FirstRow {
    SlideText phrase;  // “phrase”, one line
    SlideText date;    // at the panel's trailing edge
  };
  // The headline's tilted context line (after the date), when the slide has a first.
  static constexpr int kContextLine = 4;

  struct Layout {
    QList<SlideText> headline;  // top to bottom: five lines with a term, three without
    std::optional<DashedStickerLayout> response;
    CardFrame panel;
    SlideText panelHeading;  // "OTHER FIRSTS"
    QList<FirstRow> firsts;
    QList<QRectF> elementFrames() const;
  };
  Layout layout() const;
  void paint(QPainter& painter) const;
};

}  // namespace murmela
