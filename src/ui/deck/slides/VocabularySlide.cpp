#include "deck/slides/VocabularySlide.h"

#include "common/LocaleFormat.h"
#include "deck/slides/SlideGrid.h"
#include "deck/slides/SlidePage.h"
#include "kit/layout/Stack.h"
#include "theme/MurmelaTheme.h"

#include <algorithm>

namespace murmela {
namespace {

constexpr qreal kPhraseTop = 67.0;
constexpr qreal kPhraseSideInset = 28.0;
constexpr qreal kPhraseSpacing = 6.0;
constexpr qreal kYouTypedTilt = -2.0;
constexpr qreal kCountSpacing = 8.0;
constexpr qreal kHeadingTop = 30.0;
constexpr qreal kGridTop = 15.0;
constexpr qreal kGridSideInset = 36.0;
constexpr int kGridColumns = 3;
constexpr qreal kGridColumnSpacing = 8.0;
constexpr qreal kGridRowSpacing = 7.0;

const TextStyle kYouTypedStyle{.typeface = Typeface::caveat, .size = 26, .color = MurmelaTheme::sageDeep};
const TextStyle kPhraseStyle{.typeface = Typeface::dmSerifDisplay,
                             .size = 40,
                             .italic = true,
                             .color = MurmelaTheme::ink,
                             .alignment = TextAlign::center,
                             .lineLimit = 2,
                             .minimumScale = 0.6};
const TextStyle kCountStyle{
    .typeface = Typeface::dmSerifDisplay, .size = 54, .color = MurmelaTheme::rose, .lineLimit = 1};
const TextStyle kTimesStyle{
    .typeface = Typeface::inter, .size = 11, .tracking = 2, .upperCase = true, .color = MurmelaTheme::inkSoft};
// The flavor line wraps onto three lines at most, fewer when the page is full.
const TextStyle kFlavorStyle{.typeface = Typeface::caveat, .size = 18, .color = MurmelaTheme::inkSoft, .lineLimit = 3};
const TextStyle kHeadingStyle{.typeface = Typeface::inter,
                              .size = 9.5,
                              .tracking = 2.6,
                              .upperCase = true,
                              .color = MurmelaTheme::inkSoft,
                              .lineLimit = 1};

struct PhraseTexts {
  QString phrase;
  qint64 count = 0;
  QString flavorLine;
};

PhraseTexts phraseTexts(const WrappedReport& report) {
  if (!report.signaturePhrase) return {QStringLiteral("your phrase"), 0, QStringLiteral("(not enough signal yet)")};
  return {report.signaturePhrase->phrase, report.signaturePhrase->count, report.signaturePhrase->flavorLine};
}

}  // namespace

VocabularySlide::Layout VocabularySlide::layout() const {
  const PhraseTexts texts = phraseTexts(report);
  const qreal width = SlidePage::kWidth - 2 * kPhraseSideInset;
  const QSizeF open(width, kUnlimitedWidth);
  const TextLayout youTyped = fitText(QStringLiteral("you typed "), kYouTypedStyle, open);
  const QString quoted = QStringLiteral("\u201C") + texts.phrase + QStringLiteral("\u201D");
  TextLayout phrase = fitText(quoted, kPhraseStyle, open);
  const TextLayout count = fitText(LocaleFormat::groupedInteger(texts.count), kCountStyle, open);
  const TextLayout times = fitText(QStringLiteral("times"), kTimesStyle,
                                   QSizeF(std::max(0.0, width - count.width() - kCountSpacing), kUnlimitedWidth));
  const BaselineRowLayout countRow =
      layoutBaselineRow({BaselineItem::of(count), BaselineItem::of(times)}, kCountSpacing);
  TextLayout flavor = fitText(texts.flavorLine + QLatin1Char(' '), kFlavorStyle, open);
  const TextLayout heading = fitText(QStringLiteral("\u2726 Top Emoji \u2726"), kHeadingStyle, open);

  const qreal gridWidth = SlidePage::kWidth - 2 * kGridSideInset;
  QList<qreal> heights;
  for (int i = 0; i < std::min<int>(kMaxEmojis, report.topEmojis.size()); ++i) heights.append(emojiCardHeight(i + 1));
  const SlideGridLayout measured =
      layoutSlideGrid(heights, kGridColumns, {}, gridWidth, kGridColumnSpacing, kGridRowSpacing);

  // The phrase and the flavor line give way, in that order, when the page is full.
  const auto stackOf = [&] {
    Stack stack = Stack::vertical(SlidePage::kStackSpacing);
    stack.add(youTyped.height() + kPhraseSpacing + phrase.height() + kPhraseSpacing + countRow.size.height() +
                  kPhraseSpacing + flavor.height(),
              -1, Insets{kPhraseTop, kPhraseSideInset, 0, kPhraseSideInset});
    stack.add(heading.height(), -1, Insets{kHeadingTop, 0, 0, 0});
    stack.add(measured.height, -1, Insets{kGridTop, kGridSideInset, 0, kGridSideInset});
    stack.addSpacer(SlidePage::kHeight - SlidePage::contentBottom());
    return stack;
  };
  if (const qreal over = -SlidePage::freeLength(stackOf()); over > 0)
    phrase = fitText(quoted, kPhraseStyle, QSizeF(width, std::max(0.0, phrase.height() - over)));
  if (const qreal over = -SlidePage::freeLength(stackOf()); over > 0)
    flavor = fitText(texts.flavorLine + QLatin1Char(' '), kFlavorStyle,
                     QSizeF(width, std::max(0.0, flavor.height() - over)));
  const QList<QRectF> frames = stackOf().layout(SlidePage::bounds());

  Layout layout;
  QRectF column = frames[0];
  const auto next = [&](const QSizeF& size) {
    const QRectF placed = alignedRect(size, column, Qt::AlignHCenter | Qt::AlignTop);
    column.setTop(placed.bottom() + kPhraseSpacing);
    return placed;
  };
  layout.youTyped = {PlacedText::at(youTyped, next(youTyped.size).topLeft()), kYouTypedTilt};
  layout.phrase.placed = PlacedText::at(phrase, next(phrase.size).topLeft());
  const QPointF row = next(countRow.size).topLeft();
  layout.count.placed = PlacedText::at(count, row + countRow.frames[0].topLeft());
  layout.times.placed = PlacedText::at(times, row + countRow.frames[1].topLeft());
  layout.flavor.placed = PlacedText::at(flavor, next(flavor.size).topLeft());
  layout.heading.placed = PlacedText::within(heading, frames[1], Qt::AlignCenter);

  const SlideGridLayout grid =
      layoutSlideGrid(heights, kGridColumns, frames[2].topLeft(), gridWidth, kGridColumnSpacing, kGridRowSpacing);
  for (qsizetype i = 0; i < grid.cells.size(); ++i)
    layout.emojis.append(layoutEmojiCard({static_cast<int>(i) + 1, report.topEmojis[i]}, grid.cells[i]));
  return layout;
}

QList<QRectF> VocabularySlide::Layout::elementFrames() const {
  QList<QRectF> frames{youTyped.bounds(), phrase.bounds(), count.bounds() | times.bounds(), flavor.bounds(),
                       heading.bounds()};
  for (const EmojiCardLayout& card : emojis) frames.append(card.frame.rect);
  return frames;
}

void VocabularySlide::paint(QPainter& painter) const {
  const Layout geometry = layout();
  for (const SlideText* text :
       {&geometry.youTyped, &geometry.phrase, &geometry.count, &geometry.times, &geometry.flavor, &geometry.heading})
    text->paint(painter);
  for (const EmojiCardLayout& card : geometry.emojis) paintEmojiCard(painter, card);
}

}  // namespace murmela
