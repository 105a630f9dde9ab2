#include "deck/cards/EmojiCard.h"

#include "deck/SlideFormatters.h"
#include "kit/paint/PainterState.h"
#include "theme/MurmelaTheme.h"

#include <algorithm>

namespace murmela {
namespace {

// Each size class of the card.
struct EmojiCardMetrics {
  qreal spacing;
  qreal emojiSize;
  qreal emojiFrameHeight;
  qreal contentHeight;
  qreal radius;
};
constexpr EmojiCardMetrics kTop{4, 30, 34, 94, 10};
constexpr EmojiCardMetrics kRegular{6, 28, 30, 66, 8};
constexpr qreal kPadding = 8.0;
constexpr qreal kRegularFillOpacity = 0.45;
constexpr qreal kRegularBorderOpacity = 0.22;
// An emoji's text can be a word or a long sequence: it shrinks this far
// before it is elided, so that it never leaves the card.
constexpr qreal kEmojiMinimumScale = 0.5;

const TextStyle kBadgeStyle{
    .typeface = Typeface::caveat, .size = 20, .color = MurmelaTheme::rose, .lineLimit = 1, .minimumScale = 0.7};
const TextStyle kCountStyle{
    .typeface = Typeface::dmSerifDisplay, .size = 14, .color = MurmelaTheme::ink, .lineLimit = 1, .minimumScale = 0.7};

const EmojiCardMetrics& metricsFor(int rank) { return isTopEmojiRank(rank) ? kTop : kRegular; }

}  // namespace

bool isTopEmojiRank(int rank) { return rank <= 3; }

qreal emojiCardHeight(int rank) { return metricsFor(rank).contentHeight + 2 * kPadding; }

EmojiCardLayout layoutEmojiCard(const EmojiCard& card, const QRectF& rect) {
  const EmojiCardMetrics& metrics = metricsFor(card.rank);
  const bool top = isTopEmojiRank(card.rank);
  EmojiCardLayout layout;
  layout.frame.rect = QRectF(rect.left(), rect.top(), rect.width(), emojiCardHeight(card.rank));
  layout.frame.radius = metrics.radius;
  layout.frame.fill = top ? MurmelaTheme::creamDeep : withOpacity(MurmelaTheme::cream, kRegularFillOpacity);
  layout.frame.roundedFill = true;
  layout.frame.border = top ? MurmelaTheme::sage : withOpacity(MurmelaTheme::sage, kRegularBorderOpacity);

  const qreal width = std::max(0.0, rect.width() - 2 * kPadding);
  const QSizeF box(width, kUnlimitedWidth);
  std::optional<TextLayout> badge;
  if (top) badge = fitText(QLatin1Char('#') + QString::number(card.rank) + QLatin1Char(' '), kBadgeStyle, box);
  const TextStyle emojiStyle{
      .typeface = Typeface::inter, .size = metrics.emojiSize, .lineLimit = 1, .minimumScale = kEmojiMinimumScale};
  const TextLayout emoji = fitText(card.emoji.value, emojiStyle, box);
  const TextLayout count = fitText(groupedCount(card.emoji.count), kCountStyle, box);

  const qreal stackHeight =
      (badge ? badge->height() + metrics.spacing : 0.0) + metrics.emojiFrameHeight + metrics.spacing + count.height();
  const qreal left = rect.left() + kPadding;
  qreal y = rect.top() + kPadding + (metrics.contentHeight - stackHeight) / 2;
  if (badge) {
    layout.badge = PlacedText::at(*badge, {left, y});
    y += badge->height() + metrics.spacing;
  }
  layout.emoji = PlacedText::within(emoji, QRectF(left, y, width, metrics.emojiFrameHeight), Qt::AlignCenter);
  y += metrics.emojiFrameHeight + metrics.spacing;
  layout.count = PlacedText::within(count, QRectF(left, y, width, count.height()), Qt::AlignHCenter | Qt::AlignTop);
  return layout;
}

void paintEmojiCard(QPainter& painter, const EmojiCardLayout& layout) {
  paintCardBackground(painter, layout.frame);
  if (layout.badge) layout.badge->paint(painter);
  layout.emoji.paint(painter);
  layout.count.paint(painter);
  paintCardBorder(painter, layout.frame);
}

}  // namespace murmela
