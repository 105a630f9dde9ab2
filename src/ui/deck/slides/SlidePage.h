#pragma once

#include "kit/layout/Stack.h"

#include <QRectF>

namespace murmela::SlidePage {

// The page a slide's content fills, in the frame's coordinates.
inline constexpr qreal kWidth = 390.0;
inline constexpr qreal kHeight = 780.0;
QRectF bounds();

// The spacing between the elements of a slide's stack where the slide names
// none of its own.
inline constexpr qreal kStackSpacing = kDefaultStackSpacing;

// The lowest point content may reach where a slide leaves its bottom open:
// a little above the footer row of the frame.
qreal contentBottom();

// How much of the page a vertical stack leaves over at its ideal length;
// negative when its items need more than the page holds.
qreal freeLength(const Stack& stack, qreal length = kHeight);

}  // namespace murmela::SlidePage
