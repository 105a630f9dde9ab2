#include "deck/slides/DashedSticker.h"

#include "kit/paint/PainterState.h"
#include "kit/text/TextLayout.h"
#include "theme/MurmelaTheme.h"

#include <algorithm>

namespace murmela {
namespace {

constexpr qreal kCornerRadius = 4.0;

}  // namespace

DashedStickerLayout layoutDashedSticker(const DashedSticker& sticker, const QRectF& box, Qt::Alignment alignment) {
  const QSizeF textBox(std::max(0.0, box.width() - 2 * sticker.inset), std::max(0.0, box.height() - 2 * sticker.inset));
  const TextLayout text = fitText(sticker.text, sticker.style, textBox);
  const QSizeF size(text.width() + 2 * sticker.inset, text.height() + 2 * sticker.inset);
  const QRectF rect = alignedRect(size, box, (alignment & Qt::AlignHorizontal_Mask) | Qt::AlignTop);

  DashedStickerLayout layout;
  layout.rotation = sticker.rotation;
  layout.frame.rect = rect;
  layout.frame.radius = kCornerRadius;
  layout.frame.fill = MurmelaTheme::creamDeep;
  layout.frame.border = sticker.outline;
  layout.frame.dash = kCardDash;
  layout.text.placed = PlacedText::at(text, rect.topLeft() + QPointF(sticker.inset, sticker.inset));
  return layout;
}

void paintDashedSticker(QPainter& painter, const DashedStickerLayout& layout) {
  const RotationScope turn(painter, layout.frame.rect.center(), layout.rotation);
  paintCardBackground(painter, layout.frame);
  layout.text.paint(painter);
  paintCardBorder(painter, layout.frame);
}

}  // namespace murmela
