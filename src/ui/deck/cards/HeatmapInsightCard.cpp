#include "deck/cards/HeatmapInsightCard.h"

#include "kit/paint/PainterState.h"
#include "theme/MurmelaTheme.h"

#include <algorithm>

namespace murmela {
namespace {

constexpr qreal kPadding = 17.0;
constexpr qreal kSpacing = 8.0;
constexpr qreal kRadius = 4.0;
constexpr qreal kBorderOpacity = 0.4;
constexpr qreal kTilt = -0.6;

const TextStyle kTitleStyle{
    .typeface = Typeface::dmSerifDisplay, .size = 30, .color = MurmelaTheme::ink, .lineLimit = 1, .minimumScale = 0.65};
const TextStyle kEyebrowStyle{
    .typeface = Typeface::inter, .size = 10, .tracking = 2.3, .upperCase = true, .color = MurmelaTheme::ink};

}  // namespace

HeatmapInsightCardLayout layoutHeatmapInsightCard(const HeatmapInsightCard& card, const QRectF& rect) {
  HeatmapInsightCardLayout layout;
  layout.rotation = kTilt;
  const qreal width = std::max(0.0, rect.width() - 2 * kPadding);
  const QSizeF box(width, kUnlimitedWidth);
  const TextStyle noteStyle{
      .typeface = Typeface::caveat, .size = 19, .color = card.accent, .lineLimit = 7, .minimumScale = 0.75};
  const TextLayout title = fitText(card.title, kTitleStyle, box);
  const TextLayout eyebrow = fitText(card.eyebrow, kEyebrowStyle, box);
  const TextLayout note = fitText(card.note + QLatin1Char(' '), noteStyle, box);

  qreal y = rect.top() + kPadding;
  const qreal left = rect.left() + kPadding;
  layout.title = PlacedText::at(title, {left, y});
  y += title.height() + kSpacing;
  layout.eyebrow = PlacedText::at(eyebrow, {left, y});
  y += eyebrow.height() + kSpacing;
  layout.note = PlacedText::at(note, {left, y});
  y += note.height() + kPadding;

  layout.frame.rect = QRectF(rect.left(), rect.top(), rect.width(), y - rect.top());
  layout.frame.radius = kRadius;
  layout.frame.fill = MurmelaTheme::creamDeep;
  layout.frame.border = withOpacity(card.accent, kBorderOpacity);
  layout.frame.dash = kCardDash;
  return layout;
}

void paintHeatmapInsightCard(QPainter& painter, const HeatmapInsightCardLayout& layout) {
  RotationScope tilt(painter, layout.frame.rect.center(), layout.rotation);
  paintCardBackground(painter, layout.frame);
  layout.title.paint(painter);
  layout.eyebrow.paint(painter);
  layout.note.paint(painter);
  paintCardBorder(painter, layout.frame);
}

}  // namespace murmela
