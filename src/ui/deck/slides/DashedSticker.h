#pragma once

#include "deck/cards/CardFrame.h"
#include "deck/slides/SlideText.h"
#include "kit/text/TextStyle.h"

#include <QColor>
#include <QRectF>
#include <QString>

class QPainter;

namespace murmela {

// A handwritten note on a small tilted card: the text inset on all sides,
// on a cream-deep fill, outlined by a 4-point rounded rectangle stroked 1 point
// wide in dashes of 4 on and 3 off.
struct DashedSticker {
  QString text;
  TextStyle style;
  qreal inset = 0.0;
  QColor outline;
  qreal rotation = 0.0;  // degrees about the sticker's centre
};

struct DashedStickerLayout {
  CardFrame frame;  // before the turn
  SlideText text;   // turned with the card
  qreal rotation = 0.0;

  QRectF bounds() const { return turnedBounds(frame.rect, rotation); }
};

// The sticker at the top of `box`, as wide as its text needs (at most the
// box), placed across by `alignment`. The text wraps within the box less the
// insets and keeps as many lines as the box's height holds (by the style's
// line limit and minimum scale), the last one elided when it is cut.
DashedStickerLayout layoutDashedSticker(const DashedSticker& sticker, const QRectF& box,
                                        Qt::Alignment alignment = Qt::AlignHCenter);
void paintDashedSticker(QPainter& painter, const DashedStickerLayout& layout);

}  // namespace murmela
