#include "deck/cards/StatCard.h"

#include "theme/MurmelaTheme.h"

#include <algorithm>

namespace murmela {
namespace {

constexpr qreal kInsetX = 14.0;
constexpr qreal kInsetY = 12.0;
constexpr qreal kMinimumContentHeight = 92.0;
constexpr qreal kSpacing = 6.0;
constexpr qreal kCornerRadius = 6.0;
constexpr qreal kQuietBorderOpacity = 0.22;

TextStyle labelStyle(bool highlight) {
  return {.typeface = Typeface::inter,
          .size = 10,
          .tracking = highlight ? 1.4 : 2.0,
          .upperCase = true,
          .color = MurmelaTheme::inkSoft,
          .lineLimit = highlight ? 3 : 1,
          .minimumScale = 0.7};
}

TextStyle valueStyle(bool highlight) {
  return {.typeface = Typeface::dmSerifDisplay,
          .size = 32,
          .color = highlight ? MurmelaTheme::rose : MurmelaTheme::ink,
          .lineLimit = 1,
          .minimumScale = 0.6};
}

}  // namespace

qreal statTileContentWidth(qreal width) { return std::max(0.0, width - 2 * kInsetX); }

StatTileLayout layoutStatTile(const QList<TextLayout>& texts, bool highlight, const QRectF& rect) {
  qreal contentHeight = 0.0;
  for (const TextLayout& text : texts) contentHeight += text.height();
  if (texts.size() > 1) contentHeight += kSpacing * static_cast<qreal>(texts.size() - 1);
  const qreal frameHeight = std::max(kMinimumContentHeight, contentHeight);

  StatTileLayout layout;
  layout.frame.rect = QRectF(rect.left(), rect.top(), rect.width(), frameHeight + 2 * kInsetY);
  layout.frame.radius = kCornerRadius;
  if (highlight) layout.frame.fill = MurmelaTheme::creamDeep;
  layout.frame.border = highlight ? MurmelaTheme::rose : withOpacity(MurmelaTheme::sageDeep, kQuietBorderOpacity);

  qreal y = rect.top() + kInsetY + (frameHeight - contentHeight) / 2;
  for (const TextLayout& text : texts) {
    layout.texts.append(PlacedText::at(text, {rect.left() + kInsetX, y}));
    y += text.height() + kSpacing;
  }
  return layout;
}

void paintStatTile(QPainter& painter, const StatTileLayout& layout) {
  paintCardBackground(painter, layout.frame);
  for (const PlacedText& text : layout.texts) text.paint(painter);
  paintCardBorder(painter, layout.frame);
}

StatTileLayout layoutStatCard(const StatCard& card, const QRectF& rect) {
  const QSizeF box(statTileContentWidth(rect.width()), kUnlimitedWidth);
  return layoutStatTile(
      {fitText(card.label, labelStyle(card.highlight), box), fitText(card.value, valueStyle(card.highlight), box)},
      card.highlight, rect);
}

}  // namespace murmela
