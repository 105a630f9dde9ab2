#pragma once

#include "data/WrappedReport.h"
#include "deck/cards/PhraseColumn.h"
#include "deck/cards/PlacedText.h"
#include "deck/cards/SlideTitle.h"
#include "kit/text/TextStyle.h"

#include <QList>
#include <QRectF>

class QPainter;

namespace murmela {

// "you say “lol” · they say “haha”." in handwriting, the two top terms in
// each person's colour, and "everything you need to know. " smaller on its
// own line; "..." stands in for a person without terms.
StyledText dialectCaption(const WrappedReport& report);

// Slide nine: the words each person uses that the other does not, as two
// columns of at most five terms with a faint divider between them.
struct DialectSlide {
  const WrappedReport& report;

  struct Layout {
    SlideTitleLayout title;
    QRectF row;  // the columns and the divider
    PhraseColumnLayout mine;
    PhraseColumnLayout theirs;
    std::optional<QRectF> divider;  // absent when the row is too low for its insets
    PlacedText caption;

    QList<QRectF> elementFrames() const;  // top to bottom
  };

  Layout layout() const;
  void paint(QPainter& painter) const;
};

}  // namespace murmela
