#pragma once

#include "deck/LongDeckSlide.h"

#include <QList>
#include <QRectF>
#include <QString>

namespace murmela {

// One thing a screen reader reads on a slide: a text as the slide draws it
// (a figure together with its label), or a chart's account of its values,
// and the rectangle it takes in the slide's 390 x 780 points.
struct SlideReadingItem {
  QString text;
  QRectF rect;

  friend bool operator==(const SlideReadingItem&, const SlideReadingItem&) = default;
};

// What a slide of the deck reads as, top to bottom: the title, the figures
// with their labels, the charts' accounts and the captions. Taken from the
// layouts the slide paints from; the slide's buttons are not in it (they
// are controls of the deck).
QList<SlideReadingItem> slideReading(const LongDeckSlide& slide);

}  // namespace murmela
