#include "deck/cards/StreakCard.h"

#include "deck/cards/WidthShare.h"
#include "kit/layout/Stack.h"
#include "theme/MurmelaTheme.h"

#include <algorithm>

namespace murmela {
namespace {

constexpr qreal kPadding = 18.0;
constexpr qreal kSpacing = 6.0;
constexpr qreal kRowSpacing = 12.0;
constexpr qreal kRadius = 6.0;
constexpr qreal kBorderOpacity = 0.4;

const TextStyle kValueStyle{.typeface = Typeface::dmSerifDisplay, .size = 56, .lineLimit = 1, .minimumScale = 0.5};
const TextStyle kSuffixStyle{.typeface = Typeface::inter,
                             .size = 12,
                             .tracking = 1.6,
                             .upperCase = true,
                             .color = MurmelaTheme::inkSoft,
                             .lineLimit = 1,
                             .minimumScale = 0.7};
const TextStyle kCaptionStyle{
    .typeface = Typeface::inter, .size = 11, .tracking = 1.6, .upperCase = true, .color = MurmelaTheme::inkSoft};

}  // namespace

StreakCardLayout layoutStreakCard(const StreakCard& card, const QRectF& rect) {
  StreakCardLayout layout;
  const qreal width = std::max(0.0, rect.width() - 2 * kPadding);
  const QSizeF box(width, kUnlimitedWidth);
  const TextStyle eyebrowStyle{
      .typeface = Typeface::inter, .size = 9.5, .tracking = 2.4, .upperCase = true, .color = card.accent};
  const TextStyle noteStyle{
      .typeface = Typeface::caveat, .size = 17, .color = card.dashed ? MurmelaTheme::ink : MurmelaTheme::sageDeep};
  const TextLayout eyebrow = fitText(card.eyebrow, eyebrowStyle, box);

  // The number and its unit share the row; the wider gives way first.
  const bool hasSuffix = !card.suffix.isEmpty();
  const qreal suffixNatural = hasSuffix ? layoutText(card.suffix, kSuffixStyle).width() : 0.0;
  const qreal valueNatural = layoutText(card.value, kValueStyle).width();
  const QList<qreal> widths =
      hasSuffix ? sharedWidths({valueNatural, suffixNatural}, width - kRowSpacing) : QList<qreal>{width, 0.0};
  const TextLayout value = fitText(card.value, kValueStyle, QSizeF(widths[0], kUnlimitedWidth));
  QList<BaselineItem> row = {BaselineItem::of(value)};
  std::optional<TextLayout> suffix;
  if (hasSuffix) {
    suffix =
        fitText(card.suffix, kSuffixStyle, QSizeF(std::max(0.0, width - value.width() - kRowSpacing), kUnlimitedWidth));
    row.append(BaselineItem::of(*suffix));
  }
  const BaselineRowLayout valueRow = layoutBaselineRow(row, kRowSpacing);
  const TextLayout caption = layoutText(card.caption, kCaptionStyle, width);
  const TextLayout note = layoutText(card.note, noteStyle, width);

  const QPointF origin(rect.left() + kPadding, rect.top() + kPadding);
  qreal y = origin.y();
  layout.eyebrow = PlacedText::at(eyebrow, {origin.x(), y});
  y += eyebrow.height() + kSpacing;
  layout.value = PlacedText::at(value, QPointF(origin.x(), y) + valueRow.frames[0].topLeft());
  if (suffix) layout.suffix = PlacedText::at(*suffix, QPointF(origin.x(), y) + valueRow.frames[1].topLeft());
  y += valueRow.size.height() + kSpacing;
  layout.caption = PlacedText::at(caption, {origin.x(), y});
  y += caption.height() + kSpacing;
  layout.note = PlacedText::at(note, {origin.x(), y});
  y += note.height() + kPadding;

  layout.frame.rect = QRectF(rect.left(), rect.top(), rect.width(), y - rect.top());
  layout.frame.radius = kRadius;
  layout.frame.fill = card.dashed ? MurmelaTheme::cream : MurmelaTheme::creamDeep;
  layout.frame.border = withOpacity(card.accent, kBorderOpacity);
  if (card.dashed) layout.frame.dash = kCardDash;
  return layout;
}

void paintStreakCard(QPainter& painter, const StreakCardLayout& layout) {
  paintCardBackground(painter, layout.frame);
  layout.eyebrow.paint(painter);
  layout.value.paint(painter);
  if (layout.suffix) layout.suffix->paint(painter);
  layout.caption.paint(painter);
  layout.note.paint(painter);
  paintCardBorder(painter, layout.frame);
}

}  // namespace murmela
