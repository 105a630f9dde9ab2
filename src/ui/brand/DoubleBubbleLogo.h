#pragma once

#include "brand/MurmelaLogoAsset.h"
#include "kit/paint/Pens.h"

#include <QColor>
#include <QList>
#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>
#include <QSizeF>

#include <optional>

class QPainter;

namespace murmela {

// The product mark, `size` points high: the bundle's logo image when there is
// one, scaled to that height; otherwise two outlined speech bubbles, a solid
// sage-deep one behind and a smaller dashed rose one in front, in a frame
// 1.08 x size wide.
//
// The drawn pair stays inside its frame: the back bubble reaches up and to the
// left of where the front one sits, so the two are scaled together (about 94 %)
// until both fit, and each outline is stroked on its inside, so that the
// outline's edge is the drawing's edge and each tail ends in a clean point on
// its bubble's bottom edge (a stroke centred on so narrow a tail would end in a
// mitre spike several line widths long). The dashed bubble is dashed side by
// side, each side's dashes evened out to its length, so that every corner
// carries a whole dash: the outline reads as a drawn bracket, not as scattered
// specks, at the small sizes too.
struct DoubleBubbleLogo {
  qreal size = 14.0;

  // A line of a bubble's body with its own stroke.
  struct Line {
    QPainterPath path;
    StrokeStyle stroke;
  };
  struct Bubble {
    QRectF outline;    // the bubble's rectangle, the outer edge of its drawing
    QList<Line> body;  // half a line width inside the outline: one closed line, or four dashed sides
    QPolygonF tail;    // filled: the line width leaves no opening inside so narrow a tail
    QColor color;
  };
  struct Bubbles {
    Bubble back;
    Bubble front;
  };
  // The bubble pair's geometry, centred in a frame.
  Bubbles bubbles(const QRectF& frame) const;

  // The frame the logo takes: the image's aspect at this height, or 1.08 x size by size.
  QSizeF frameSize(const std::optional<LogoImage>& image) const;
  QSizeF frameSize() const { return frameSize(MurmelaLogoAsset::image()); }

  // Paints the logo into a frame of frameSize().
  void paint(QPainter& painter, const QRectF& frame, const std::optional<LogoImage>& image) const;
  void paint(QPainter& painter, const QRectF& frame) const { paint(painter, frame, MurmelaLogoAsset::image()); }
};

}  // namespace murmela
