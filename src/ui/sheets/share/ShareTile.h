#pragma once

#include "kit/controls/PaintedButton.h"
#include "kit/text/TextLayout.h"
#include "sharing/ShareDestination.h"

#include <QColor>
#include <QRectF>
#include <QString>

class QPainter;

namespace murmela {

// One destination's square tile with its caption under it: a 52 x 52
// rounded square in the destination's colour holding its glyph, and the
// label in small capitals, 66 wide; the whole frame takes clicks.
struct ShareTile {
  static constexpr qreal kWidth = 66.0;
  static constexpr qreal kSquare = 52.0;
  static constexpr qreal kSpacing = 6.0;
  static constexpr qreal kCornerRadius = 14.0;
  static constexpr qreal kGlyphSize = 24.0;

  ShareDestination destination;

  // "Stories", "Messages", "X", "TikTok", "Copy image", "Download as image".
  static QString label(ShareDestination destination);
  // The tile's fill; clear for the copy and download destinations.
  static QColor fill(ShareDestination destination);
  static TextStyle labelStyle();
  static qreal height();

  struct Layout {
    QRectF frame;  // also the hit area
    QRectF square;
    QRectF glyph;
    TextLayout label;
    QRectF labelRect;
  };
  Layout layout(QPointF topLeft) const;
  void paint(QPainter& painter, const Layout& layout, const ButtonState& state = {}) const;
};

}  // namespace murmela
