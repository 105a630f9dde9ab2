#pragma once

#include "deck/cards/PlacedText.h"

#include <QRectF>
#include <QString>

#include <optional>

class QPainter;

namespace murmela {

// A slide's heading: the title in serif, and below it an optional
// handwritten subtitle, both centred, 28 in from the sides.
struct SlideTitle {
  QString title;
  std::optional<QString> subtitle;  // an empty one still takes a line
};

struct SlideTitleLayout {
  QRectF frame;  // the rectangle's width, the heading's own height
  PlacedText title;
  std::optional<PlacedText> subtitle;
};

SlideTitleLayout layoutSlideTitle(const SlideTitle& heading, const QRectF& rect);
void paintSlideTitle(QPainter& painter, const SlideTitleLayout& layout);

}  // namespace murmela
