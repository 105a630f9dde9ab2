#include "deck/slides/ApologySlide.h"

#include "common/LocaleFormat.h"
#include "deck/slides/SlidePage.h"
#include "kit/layout/Stack.h"
#include "theme/MurmelaTheme.h"

#include <algorithm>

namespace murmela {
namespace {

constexpr qreal kHeadingTop = 72.0;
constexpr qreal kBarsTop = 72.0;
constexpr qreal kBarsSideInset = 36.0;
constexpr qreal kBarSpacing = 22.0;
constexpr qreal kTotalBottom = 100.0;

const TextStyle kQuestionStyle{.typeface = Typeface::dmSerifDisplay, .size = 38, .color = MurmelaTheme::ink};
const TextStyle kSorryStyle{
    .typeface = Typeface::dmSerifDisplay, .size = 64, .italic = true, .color = MurmelaTheme::rose};
const TextStyle kTotalStyle{.typeface = Typeface::inter,
                            .size = 10,
                            .tracking = 1.6,
                            .upperCase = true,
                            .color = MurmelaTheme::inkSoft,
                            .alignment = TextAlign::center,
                            .lineLimit = 2};

const QString kEqualNote = QStringLiteral("equally gifted in the art of accountability.");
const QString kChampionNote = QStringLiteral("champion of accountability.");
const QString kWorkingNote = QStringLiteral("working on it.");

QString noteFor(qint64 own, qint64 other) {
  if (own == other) return kEqualNote;
  return own > other ? kChampionNote : kWorkingNote;
}

}  // namespace

ApologySlide::Layout ApologySlide::layout() const {
  const qint64 me = report.apologyCount.me;
  const qint64 them = report.apologyCount.them;
  const qint64 max = std::max(me, them);
  const ComparisonBar themBar{report.participantNames.them.toUpper(), them, max, MurmelaTheme::gold, noteFor(them, me)};
  const ComparisonBar meBar{QStringLiteral("YOU"), me, max, MurmelaTheme::sage, noteFor(me, them)};
  const qreal barWidth = SlidePage::kWidth - 2 * kBarsSideInset;

  const QList<TextLayout> heading = {layoutText(QStringLiteral("Who said"), kQuestionStyle),
                                     layoutText(QStringLiteral("\u201Csorry\u201D"), kSorryStyle),
                                     layoutText(QStringLiteral("more?"), kQuestionStyle)};
  qreal headingHeight = 0.0;
  for (const TextLayout& line : heading) headingHeight += line.height();
  const ComparisonBarLayout themMeasure = layoutComparisonBar(themBar, QRectF(0, 0, barWidth, 0));
  const ComparisonBarLayout meMeasure = layoutComparisonBar(meBar, QRectF(0, 0, barWidth, 0));
  const TextLayout total = fitText(LocaleFormat::groupedInteger(me + them) + QStringLiteral(" apologies, all-time"),
                                   kTotalStyle, QSizeF(barWidth, kUnlimitedWidth));

  Stack stack = Stack::vertical(SlidePage::kStackSpacing);
  stack.add(headingHeight, -1, Insets{kHeadingTop, 0, 0, 0});
  stack.add(themMeasure.frame.height() + kBarSpacing + meMeasure.frame.height(), -1,
            Insets{kBarsTop, kBarsSideInset, 0, kBarsSideInset});
  stack.addSpacer();
  stack.add(total.size, Insets{0, 0, kTotalBottom, 0});
  const QList<QRectF> frames = stack.layout(SlidePage::bounds());

  Layout layout;
  qreal y = frames[0].top();
  for (const TextLayout& line : heading) {
    layout.heading.append({PlacedText::within(line, QRectF(0, y, SlidePage::kWidth, line.height()), Qt::AlignCenter)});
    y += line.height();
  }
  layout.themBar = layoutComparisonBar(themBar, QRectF(frames[1].topLeft(), QSizeF(barWidth, 0)));
  layout.meBar =
      layoutComparisonBar(meBar, QRectF(frames[1].left(), layout.themBar.frame.bottom() + kBarSpacing, barWidth, 0));
  layout.total.placed = PlacedText::within(total, frames[3], Qt::AlignCenter);
  return layout;
}

QList<QRectF> ApologySlide::Layout::elementFrames() const {
  QRectF heading;
  for (const SlideText& line : this->heading) heading |= line.bounds();
  return {heading, themBar.frame, meBar.frame, total.bounds()};
}

void ApologySlide::paint(QPainter& painter) const {
  const Layout geometry = layout();
  for (const SlideText& line : geometry.heading) line.paint(painter);
  paintComparisonBar(painter, geometry.themBar);
  paintComparisonBar(painter, geometry.meBar);
  geometry.total.paint(painter);
}

}  // namespace murmela
