#include "deck/slides/SlideColumn.h"

#include <algorithm>

namespace murmela::slide_column {

SlideTitleLayout title(const QString& title, const std::optional<QString>& subtitle, qreal top) {
  return layoutSlideTitle(SlideTitle{title, subtitle}, QRectF(0, top, kWidth, 0));
}

QRectF centredBelow(qreal aboveBottom, const QSizeF& size, qreal padding) {
  return QRectF(QPointF((kWidth - size.width()) / 2, aboveBottom + kSpacing + padding), size);
}

PlacedText textAbove(const StyledText& text, qreal sideInset, qreal bottom, qreal maxHeight) {
  const qreal width = std::max(0.0, kWidth - 2 * sideInset);
  const TextLayout fitted = fitText(text, QSizeF(width, std::max(0.0, maxHeight)));
  return PlacedText::within(fitted, QRectF(sideInset, bottom - fitted.height(), width, fitted.height()),
                            Qt::AlignHCenter | Qt::AlignBottom);
}

}  // namespace murmela::slide_column
