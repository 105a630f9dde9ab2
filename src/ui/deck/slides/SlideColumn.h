#pragma once

#include "deck/cards/PlacedText.h"
#include "deck/cards/SlideTitle.h"
#include "deck/slides/SlidePage.h"

#include <QRectF>
#include <QSizeF>
#include <QString>

#include <optional>

namespace murmela {

// How slides nine to fourteen place their elements on the page: top to
// bottom with the stack's default spacing between them, the ones after the
// flexible spacer standing on the bottom edge.
namespace slide_column {

using SlidePage::kHeight;
using SlidePage::kWidth;
inline constexpr qreal kSpacing = SlidePage::kStackSpacing;

// The slide's heading with its top `top` points down the page.
SlideTitleLayout title(const QString& title, const std::optional<QString>& subtitle, qreal top);

// A block of `size` centred across the page, `padding` plus the spacing
// below the element that ends at `aboveBottom`.
QRectF centredBelow(qreal aboveBottom, const QSizeF& size, qreal padding);

// A paragraph fitted into the page's width less `sideInset` on each side and
// at most `maxHeight` high (shrunk by its minimum scale, then cut with an
// ellipsis), the block centred across the page with its bottom at `bottom`.
PlacedText textAbove(const StyledText& text, qreal sideInset, qreal bottom, qreal maxHeight);

}  // namespace slide_column

}  // namespace murmela
