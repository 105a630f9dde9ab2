#pragma once

#include "deck/cards/PlacedText.h"
#include "deck/cards/SlideTitle.h"
#include "deck/chrome/SlideFrame.h"
#include "kit/layout/Stack.h"

#include <QList>
#include <QRectF>
#include <QString>

#include <optional>

namespace murmela {

// The column a slide lays its content out in: the frame's 390 x 780 points,
// elements stacked top to bottom with the default spacing between them, the
// ones after the flexible spacer standing on the bottom edge.
namespace slide_column {

inline constexpr qreal kWidth = SlideFrame::kSize.width();
inline constexpr qreal kHeight = SlideFrame::kSize.height();
inline constexpr qreal kSpacing = kDefaultStackSpacing;

// The slide's heading with its top `top` points down the page.
SlideTitleLayout title(const QString& title, const std::optional<QString>& subtitle, qreal top);

// A paragraph fitted into the slide's width less `sideInset` on each side and
// at most `maxHeight` high (shrunk by its minimum scale, then elided), the
// block centred across the slide with its bottom `bottom` from the top.
PlacedText textAbove(const StyledText& text, qreal sideInset, qreal bottom, qreal maxHeight);

}  // namespace slide_column

}  // namespace murmela
