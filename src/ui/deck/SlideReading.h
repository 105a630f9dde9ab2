#pragma once

#include "deck/LongDeckSlide.h"
#include "kit/access/ShownText.h"

#include <QList>

namespace murmela {

// What a slide of the deck reads as, top to bottom, each in the rectangle it
// takes in the slide's 390 x 780 points: the title (a heading), the figures
// with their labels read together, the charts' accounts of their values and
// the captions. Taken from the layouts the slide paints from; the slide's
// buttons are not in it (they are controls of the deck).
QList<ShownText> slideReading(const LongDeckSlide& slide);

}  // namespace murmela
