#include "deck/slides/ReceiptsSlide.h"

#include "common/FixedDecimal.h"
#include "common/LocaleFormat.h"
#include "deck/cards/SignaturePhraseCard.h"
#include "deck/slides/SlideGrid.h"
#include "deck/slides/SlidePage.h"
#include "kit/layout/Stack.h"

namespace murmela {
namespace {

constexpr qreal kTitleTop = 92.0;
constexpr qreal kSideInset = 28.0;
constexpr qreal kGridTop = 38.0;
constexpr qreal kGridSpacing = 10.0;
constexpr int kGridColumns = 2;
constexpr int kTileCount = 6;  // five counts and the signature phrase
constexpr qreal kSplitBottom = 100.0;
constexpr double kDaysPerYear = 365.25;

const SlideTitle kTitle{QStringLiteral("The receipts."), QStringLiteral("all the small things, totaled up.")};

QList<StatCard> statCards(const WrappedReport& report) {
  return {
      {QStringLiteral("Messages"), LocaleFormat::groupedInteger(report.totalMessages)},
      {QStringLiteral("Days"), LocaleFormat::groupedInteger(report.totalDays)},
      {QStringLiteral("Years"), fixedDecimal(static_cast<double>(report.totalDays) / kDaysPerYear, 1)},
      {QStringLiteral("Photos"), LocaleFormat::groupedInteger(report.photosShared)},
      {QStringLiteral("Emojis"), LocaleFormat::groupedInteger(report.totalEmojiCount)},
  };
}

SignaturePhraseCard phraseCard(const WrappedReport& report) {
  if (!report.signaturePhrase) return {QStringLiteral("your phrase"), QStringLiteral("\u2014")};
  return {report.signaturePhrase->phrase, LocaleFormat::groupedInteger(report.signaturePhrase->count)};
}

// The six tiles laid out in their cells.
QList<StatTileLayout> layoutTiles(const WrappedReport& report, const QList<QRectF>& cells) {
  QList<StatTileLayout> tiles;
  const QList<StatCard> stats = statCards(report);
  for (qsizetype i = 0; i < stats.size(); ++i) tiles.append(layoutStatCard(stats[i], cells.value(i)));
  tiles.append(layoutSignaturePhraseCard(phraseCard(report), cells.value(stats.size())));
  return tiles;
}

}  // namespace

ReceiptsSlide::Layout ReceiptsSlide::layout() const {
  const qreal width = SlidePage::kWidth - 2 * kSideInset;
  const qreal column = (width - kGridSpacing) / kGridColumns;
  QList<qreal> heights;
  for (const StatTileLayout& tile : layoutTiles(report, QList<QRectF>(kTileCount, QRectF(0, 0, column, 0))))
    heights.append(tile.frame.rect.height());
  const SlideGridLayout measured = layoutSlideGrid(heights, kGridColumns, {}, width, kGridSpacing, kGridSpacing);
  const SplitBar bar{QStringLiteral("YOU"), report.participantNames.them.toUpper(), report.messagesPerPerson.me,
                     report.messagesPerPerson.them};
  const qreal titleHeight = layoutSlideTitle(kTitle, QRectF(0, 0, SlidePage::kWidth, 0)).frame.height();
  const qreal splitHeight = layoutSplitBar(bar, QRectF(0, 0, width, 0)).frame.height();

  Stack stack = Stack::vertical(0.0);
  stack.add(titleHeight, -1, Insets{kTitleTop, 0, 0, 0});
  stack.add(measured.height, -1, Insets{kGridTop, kSideInset, 0, kSideInset});
  stack.addSpacer();
  stack.add(splitHeight, -1, Insets{0, kSideInset, kSplitBottom, kSideInset});
  const QList<QRectF> frames = stack.layout(SlidePage::bounds());

  Layout layout;
  layout.title = layoutSlideTitle(kTitle, frames[0]);
  layout.tiles = layoutTiles(
      report, layoutSlideGrid(heights, kGridColumns, frames[1].topLeft(), width, kGridSpacing, kGridSpacing).cells);
  layout.split = layoutSplitBar(bar, frames[3]);
  return layout;
}

QList<QRectF> ReceiptsSlide::Layout::elementFrames() const {
  QList<QRectF> frames{title.frame};
  for (const StatTileLayout& tile : tiles) frames.append(tile.frame.rect);
  frames.append(split.frame);
  return frames;
}

void ReceiptsSlide::paint(QPainter& painter) const {
  const Layout geometry = layout();
  paintSlideTitle(painter, geometry.title);
  for (const StatTileLayout& tile : geometry.tiles) paintStatTile(painter, tile);
  paintSplitBar(painter, geometry.split);
}

}  // namespace murmela
