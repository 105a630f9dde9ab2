#include "deck/slides/ShapeSlide.h"

#include "common/LocalCalendar.h"
#include "common/LocaleFormat.h"
#include "deck/Captions.h"
#include "deck/slides/SlidePage.h"
#include "kit/layout/Stack.h"
#include "theme/MurmelaTheme.h"

#include <algorithm>

namespace murmela {
namespace {

constexpr qreal kTitleTop = 70.0;
constexpr qreal kBarsFrameHeight = 320.0;  // the chart with its padding above
constexpr qreal kBarsTop = 58.0;
constexpr qreal kBarsSideInset = 28.0;
constexpr qreal kStickerTop = 20.0;
constexpr qreal kStickerSideInset = 32.0;
constexpr qreal kStickerInset = 16.0;
constexpr qreal kStickerOutlineOpacity = 0.25;
constexpr qreal kStickerTilt = -0.6;
constexpr qreal kRangeBottom = 70.0;

const SlideTitle kTitle{QStringLiteral("Messages, by year."), QStringLiteral("a story, in a bar chart.")};
const TextStyle kStickerStyle{.typeface = Typeface::caveat, .size = 20, .color = MurmelaTheme::ink};
const TextStyle kRangeStyle{.typeface = Typeface::inter,
                            .size = 9.5,
                            .tracking = 1.6,
                            .upperCase = true,
                            .color = MurmelaTheme::inkSoft,
                            .alignment = TextAlign::center,
                            .lineLimit = 2};

QString shapeCaption(const WrappedReport& report) {
  if (auto hosted = hostedInsight(report, &ReportInsightCopy::yearShapeInsight)) return *hosted;
  const std::optional<qint64> peak = yearBarsPeakYear(report.messagesByYear);
  if (!peak) return QStringLiteral("the shape is still forming.");
  return QStringLiteral("peaked in ") + QString::number(*peak) +
         QStringLiteral(". after that, the rhythm changed \u2014 but the thread kept going.");
}

QString yearRange(const WrappedReport& report) {
  const LocalCalendar calendar;
  return QString::number(calendar.year(report.firstMessageDate)) + QStringLiteral(" \u2014 ") +
         QString::number(calendar.year(report.lastMessageDate));
}

DashedSticker sticker(const WrappedReport& report) {
  return {shapeCaption(report) + QLatin1Char(' '), kStickerStyle, kStickerInset,
          withOpacity(MurmelaTheme::sageDeep, kStickerOutlineOpacity), kStickerTilt};
}

}  // namespace

ShapeSlide::Layout ShapeSlide::layout() const {
  const DashedSticker caption = sticker(report);
  const qreal stickerWidth = SlidePage::kWidth - 2 * kStickerSideInset;
  const TextLayout range = fitText(yearRange(report) + QStringLiteral(" \u00B7 ") +
                                       LocaleFormat::groupedInteger(report.totalMessages) + QStringLiteral(" total"),
                                   kRangeStyle, QSizeF(SlidePage::kWidth - 2 * kBarsSideInset, kUnlimitedWidth));
  const qreal titleHeight = layoutSlideTitle(kTitle, QRectF(0, 0, SlidePage::kWidth, 0)).frame.height();

  const auto stackOf = [&](qreal stickerHeight) {
    Stack stack = Stack::vertical(SlidePage::kStackSpacing);
    stack.add(titleHeight, -1, Insets{kTitleTop, 0, 0, 0});
    stack.add(kBarsFrameHeight);
    stack.add(stickerHeight, -1, Insets{kStickerTop, kStickerSideInset, 0, kStickerSideInset});
    stack.addSpacer();
    stack.add(range.size, Insets{0, 0, kRangeBottom, 0});
    return stack;
  };
  // The sticker takes what the page leaves it; a long sentence is cut there.
  const qreal room = std::max(0.0, SlidePage::freeLength(stackOf(0.0)));
  const qreal stickerHeight = layoutDashedSticker(caption, QRectF(0, 0, stickerWidth, room)).frame.rect.height();
  const QList<QRectF> frames = stackOf(stickerHeight).layout(SlidePage::bounds());

  Layout layout;
  layout.title = layoutSlideTitle(kTitle, frames[0]);
  layout.bars =
      layoutYearBars({report.messagesByYear}, frames[1].adjusted(kBarsSideInset, kBarsTop, -kBarsSideInset, 0));
  layout.sticker = layoutDashedSticker(caption, QRectF(frames[2].topLeft(), QSizeF(stickerWidth, room)));
  layout.range.placed = PlacedText::within(range, frames[4], Qt::AlignCenter);
  return layout;
}

QList<QRectF> ShapeSlide::Layout::elementFrames() const {
  return {title.frame, bars.frame, sticker.bounds(), range.bounds()};
}

void ShapeSlide::paint(QPainter& painter) const {
  const Layout geometry = layout();
  paintSlideTitle(painter, geometry.title);
  paintYearBars(painter, geometry.bars);
  paintDashedSticker(painter, geometry.sticker);
  geometry.range.paint(painter);
}

}  // namespace murmela
