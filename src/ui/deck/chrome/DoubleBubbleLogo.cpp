#include "deck/chrome/DoubleBubbleLogo.h"

#include "deck/chrome/BubbleShape.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>

namespace murmela {
namespace {

constexpr qreal kWidthShare = 1.08;
constexpr QPointF kBackOffset(-0.08, -0.05);
constexpr QSizeF kFrontShare(0.78, 0.58);
constexpr QPointF kFrontOffset(0.14, 0.12);
constexpr qreal kFrontLineShare = 0.0625;
constexpr qreal kFrontDash = 3.0;  // points on and off, whatever the size

}  // namespace

DoubleBubbleLogo::Bubbles DoubleBubbleLogo::bubbles(const QRectF& frame) const {
  Bubbles result;
  const QSizeF backSize(size * kWidthShare, size);
  result.back = QRectF(frame.center() - QPointF(backSize.width() / 2.0, backSize.height() / 2.0), backSize)
                    .translated(kBackOffset * size);
  const QSizeF frontSize(size * kFrontShare.width(), size * kFrontShare.height());
  result.front = QRectF(frame.center() - QPointF(frontSize.width() / 2.0, frontSize.height() / 2.0), frontSize)
                     .translated(kFrontOffset * size);
  result.backStroke = StrokeStyle{.width = size / 14.0};
  result.frontStroke = dashedStroke(size * kFrontLineShare, {kFrontDash, kFrontDash});
  return result;
}

QSizeF DoubleBubbleLogo::frameSize(const std::optional<LogoImage>& image) const {
  if (image && image->size().height() > 0.0) return QSizeF(size * image->size().width() / image->size().height(), size);
  return QSizeF(size * kWidthShare, size);
}

void DoubleBubbleLogo::paint(QPainter& painter, const QRectF& frame, const std::optional<LogoImage>& image) const {
  if (image) {
    image->draw(painter, frame);
    return;
  }
  const Bubbles geometry = bubbles(frame);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(geometry.backStroke.pen(MurmelaTheme::sageDeep));
  painter.drawPath(bubbleShapePath(geometry.back));
  painter.setPen(geometry.frontStroke.pen(MurmelaTheme::rose));
  painter.drawPath(bubbleShapePath(geometry.front));
  painter.restore();
}

}  // namespace murmela
