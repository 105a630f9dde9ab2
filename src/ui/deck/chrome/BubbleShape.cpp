#include "deck/chrome/BubbleShape.h"

#include "kit/paint/Shapes.h"

namespace murmela {
namespace {

constexpr qreal kBodyShare = 0.76;
constexpr qreal kCornerShare = 0.16;
constexpr qreal kTailAt = 0.34;
constexpr qreal kTailLeft = 0.14;
constexpr qreal kTailRight = 0.08;

}  // namespace

QPainterPath bubbleShapePath(const QRectF& rect) {
  const qreal w = rect.width();
  const qreal h = rect.height();
  QPainterPath path = roundedRectPath(QRectF(rect.left(), rect.top(), w, h * kBodyShare),
                                      QSizeF(w * kCornerShare, h * kCornerShare), CornerStyle::continuous);
  const qreal tail = rect.left() + w * kTailAt;
  const qreal bodyBottom = rect.top() + h * kBodyShare;
  path.moveTo(tail, bodyBottom);
  path.lineTo(tail - w * kTailLeft, rect.bottom());
  path.lineTo(tail + w * kTailRight, bodyBottom);
  path.closeSubpath();
  return path;
}

}  // namespace murmela
