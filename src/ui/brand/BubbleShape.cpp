#include "brand/BubbleShape.h"

#include "kit/paint/Shapes.h"

namespace murmela {
namespace {

constexpr qreal kBodyShare = 0.76;
constexpr qreal kCornerShare = 0.16;
constexpr qreal kTailAt = 0.34;
constexpr qreal kTailLeft = 0.14;
constexpr qreal kTailRight = 0.08;

}  // namespace

BubbleParts bubbleParts(const QRectF& rect) {
  const qreal w = rect.width();
  const qreal h = rect.height();
  const qreal tail = rect.left() + w * kTailAt;
  const qreal bodyBottom = rect.top() + h * kBodyShare;
  return BubbleParts{
      .body = QRectF(rect.left(), rect.top(), w, h * kBodyShare),
      .cornerSize = QSizeF(w * kCornerShare, h * kCornerShare),
      .tail = QPolygonF{QPointF(tail, bodyBottom), QPointF(tail - w * kTailLeft, rect.bottom()),
                        QPointF(tail + w * kTailRight, bodyBottom)},
  };
}

QPainterPath bubbleShapePath(const QRectF& rect) {
  const BubbleParts parts = bubbleParts(rect);
  QPainterPath path = roundedRectPath(parts.body, parts.cornerSize, CornerStyle::continuous);
  path.addPolygon(parts.tail);
  path.closeSubpath();
  return path;
}

}  // namespace murmela
