#pragma once

#include "deck/chrome/MurmelaLogoAsset.h"
#include "kit/paint/Pens.h"

#include <QRectF>
#include <QSizeF>

#include <optional>

class QPainter;

namespace murmela {

// The product mark, `size` points high: the bundle's logo image when there is
// one, scaled to that height; otherwise two outlined speech bubbles, a solid
// sage-deep one behind and a smaller dashed rose one in front, in a frame
// 1.08 x size wide.
struct DoubleBubbleLogo {
  qreal size = 14.0;

  // The bubble pair's geometry inside a frame.
  struct Bubbles {
    QRectF back;
    QRectF front;
    StrokeStyle backStroke;
    StrokeStyle frontStroke;
  };
  Bubbles bubbles(const QRectF& frame) const;

  // The frame the logo takes: the image's aspect at this height, or 1.08 x size by size.
  QSizeF frameSize(const std::optional<LogoImage>& image) const;
  QSizeF frameSize() const { return frameSize(MurmelaLogoAsset::image()); }

  // Paints the logo into a frame of frameSize().
  void paint(QPainter& painter, const QRectF& frame, const std::optional<LogoImage>& image) const;
  void paint(QPainter& painter, const QRectF& frame) const { paint(painter, frame, MurmelaLogoAsset::image()); }
};

}  // namespace murmela
