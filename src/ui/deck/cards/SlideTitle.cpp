#include "deck/cards/SlideTitle.h"

#include "theme/MurmelaTheme.h"

#include <algorithm>

namespace murmela {
namespace {

constexpr qreal kSideInset = 28.0;
constexpr qreal kSpacing = 6.0;

const TextStyle kTitleStyle{
    .typeface = Typeface::dmSerifDisplay, .size = 30, .color = MurmelaTheme::ink, .alignment = TextAlign::center};
const TextStyle kSubtitleStyle{
    .typeface = Typeface::caveat, .size = 20, .color = MurmelaTheme::sageDeep, .alignment = TextAlign::center};

}  // namespace

SlideTitleLayout layoutSlideTitle(const SlideTitle& heading, const QRectF& rect) {
  const QRectF column = rect.adjusted(kSideInset, 0, -kSideInset, 0);
  const qreal width = std::max(0.0, column.width());
  SlideTitleLayout layout;
  const TextLayout title = layoutText(heading.title, kTitleStyle, width);
  layout.title = PlacedText::within(title, QRectF(column.left(), rect.top(), width, title.height()),
                                    Qt::AlignHCenter | Qt::AlignTop);
  qreal bottom = layout.title.frame.bottom();
  if (heading.subtitle) {
    const TextLayout subtitle = layoutText(*heading.subtitle + QLatin1Char(' '), kSubtitleStyle, width);
    layout.subtitle = PlacedText::within(subtitle, QRectF(column.left(), bottom + kSpacing, width, subtitle.height()),
                                         Qt::AlignHCenter | Qt::AlignTop);
    bottom = layout.subtitle->frame.bottom();
  }
  layout.frame = QRectF(rect.left(), rect.top(), rect.width(), bottom - rect.top());
  return layout;
}

void paintSlideTitle(QPainter& painter, const SlideTitleLayout& layout) {
  layout.title.paint(painter);
  if (layout.subtitle) layout.subtitle->paint(painter);
}

}  // namespace murmela
