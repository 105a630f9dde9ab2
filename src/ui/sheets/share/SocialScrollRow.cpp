#include "sheets/share/SocialScrollRow.h"

#include "kit/paint/PainterState.h"

#include <QPainter>

#include <algorithm>

namespace murmela {

int SocialScrollRow::steppedIndex(int focusedIndex, ScrollChevron::Direction direction, int count) {
  if (direction == ScrollChevron::Direction::left) return std::max(focusedIndex - 2, 0);
  return std::max(0, std::min(focusedIndex + 2, count - 1));
}

qreal SocialScrollRow::contentWidth() const {
  const qsizetype count = socials.size();
  return 2 * kEndPadding + count * ShareTile::kWidth + std::max<qsizetype>(0, count - 1) * kSpacing;
}

qreal SocialScrollRow::maxOffset(qreal viewWidth) const { return std::max<qreal>(0.0, contentWidth() - viewWidth); }

qreal SocialScrollRow::offsetShowing(int index, ScrollChevron::Direction direction, qreal viewWidth) const {
  const qreal left = kEndPadding + index * (ShareTile::kWidth + kSpacing);
  const qreal wanted = direction == ScrollChevron::Direction::left ? left : left + ShareTile::kWidth - viewWidth;
  return std::clamp(wanted, 0.0, maxOffset(viewWidth));
}

SocialScrollRow::Layout SocialScrollRow::layout(const QRectF& frame, qreal offset) const {
  Layout result;
  result.frame = frame;
  result.offset = std::clamp(offset, 0.0, maxOffset(frame.width()));
  const qreal tileTop = frame.center().y() - ShareTile::height() / 2.0;
  for (int index = 0; index < socials.size(); ++index) {
    const qreal x = frame.left() - result.offset + kEndPadding + index * (ShareTile::kWidth + kSpacing);
    result.tiles.append(ShareTile{socials[index]}.layout(QPointF(x, tileTop)));
  }
  const qreal chevronTop = frame.center().y() - ScrollChevron::kSize / 2.0;
  const QSizeF chevron(ScrollChevron::kSize, ScrollChevron::kSize);
  result.leftChevron = QRectF(QPointF(frame.left() + kChevronInset, chevronTop), chevron);
  result.rightChevron = QRectF(QPointF(frame.right() - kChevronInset - ScrollChevron::kSize, chevronTop), chevron);
  return result;
}

std::optional<SocialScrollRow::Hit> SocialScrollRow::hitTest(const Layout& layout, QPointF point) const {
  if (layout.leftChevron.contains(point)) return Hit{Part::leftChevron};
  if (layout.rightChevron.contains(point)) return Hit{Part::rightChevron};
  if (!layout.frame.contains(point)) return std::nullopt;
  for (int index = 0; index < layout.tiles.size(); ++index)
    if (layout.tiles[index].frame.contains(point)) return Hit{Part::tile, index};
  return std::nullopt;
}

void SocialScrollRow::paint(QPainter& painter, const Layout& layout, const Interaction& interaction) const {
  {
    const PainterStateScope clip(painter);
    painter.setClipRect(layout.frame, Qt::IntersectClip);
    for (int index = 0; index < layout.tiles.size(); ++index) {
      const Hit hit{Part::tile, index};
      ShareTile{socials[index]}.paint(
          painter, layout.tiles[index],
          ButtonState{.hovered = interaction.hovered == hit, .pressed = interaction.pressed == hit});
    }
  }
  const auto chevron = [&](ScrollChevron::Direction direction, const QRectF& frame, Part part) {
    ScrollChevron{direction}.paint(painter, frame, interaction.hovered == Hit{part}, interaction.pressed == Hit{part});
  };
  chevron(ScrollChevron::Direction::left, layout.leftChevron, Part::leftChevron);
  chevron(ScrollChevron::Direction::right, layout.rightChevron, Part::rightChevron);
}

}  // namespace murmela
