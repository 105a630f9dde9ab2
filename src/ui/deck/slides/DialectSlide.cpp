#include "deck/slides/DialectSlide.h"

#include "deck/slides/SlideColumn.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>

#include <algorithm>

namespace murmela {
namespace {

using namespace slide_column;

constexpr qreal kTitleTop = 70.0;
constexpr qreal kRowSideInset = 24.0;
constexpr qreal kRowTop = 15.0;
constexpr qreal kRowSpacing = 8.0;
constexpr qreal kDividerWidth = 1.0;
constexpr qreal kDividerOpacity = 0.18;
constexpr qreal kDividerTopInset = 100.0;
constexpr qreal kDividerBottomInset = 55.0;
constexpr qreal kCaptionSideInset = 32.0;
constexpr qreal kCaptionBottom = 96.0;
// Long terms wrap the caption over a few lines; beyond that it shrinks and
// is cut rather than reach into the columns.
constexpr qreal kCaptionMaxHeight = 150.0;
constexpr qreal kCaptionMinimumScale = 0.7;

TextStyle captionStyle(const QColor& color, qreal size = 21) {
  return TextStyle{.typeface = Typeface::caveat, .size = size, .color = color};
}

QString topTerm(const QList<PhraseStat>& terms) {
  return terms.isEmpty() ? QStringLiteral("...") : terms.first().phrase;
}

QString quoted(const QString& term) { return QChar(0x201C) + term + QChar(0x201D); }

}  // namespace

StyledText dialectCaption(const WrappedReport& report) {
  StyledText caption(ParagraphStyle{.alignment = TextAlign::center, .minimumScale = kCaptionMinimumScale});
  caption.append(QStringLiteral("you say "), captionStyle(MurmelaTheme::ink))
      .append(quoted(topTerm(report.dialectTermsPerPerson.me)), captionStyle(MurmelaTheme::sageDeep))
      .append(QStringLiteral(" \u00B7 they say "), captionStyle(MurmelaTheme::ink))
      .append(quoted(topTerm(report.dialectTermsPerPerson.them)), captionStyle(MurmelaTheme::rose))
      .append(QStringLiteral(".\neverything you need to know. "), captionStyle(MurmelaTheme::inkSoft, 17));
  return caption;
}

QList<QRectF> DialectSlide::Layout::elementFrames() const { return {title.frame, row, caption.frame}; }

DialectSlide::Layout DialectSlide::layout() const {
  Layout result;
  result.title = slide_column::title(QStringLiteral("Your dialect."),
                                     QStringLiteral("a private language, with two speakers."), kTitleTop);
  const qreal rowTop = result.title.frame.bottom() + kSpacing + kRowTop;
  const qreal columnWidth = (kWidth - 2 * kRowSideInset - kDividerWidth - 2 * kRowSpacing) / 2;
  const QRectF mine(kRowSideInset, 0, columnWidth, 0);
  const QRectF theirs(kWidth - kRowSideInset - columnWidth, 0, columnWidth, 0);
  const PhraseColumn me{QStringLiteral("You"), report.dialectTermsPerPerson.me, MurmelaTheme::sageDeep};
  const PhraseColumn them{report.participantNames.them, report.dialectTermsPerPerson.them, MurmelaTheme::rose};
  const qreal columnsHeight =
      std::max(layoutPhraseColumn(me, mine).frame.height(), layoutPhraseColumn(them, theirs).frame.height());

  const qreal captionBottom = kHeight - kCaptionBottom;
  const qreal captionRoom = captionBottom - (rowTop + columnsHeight + 2 * kSpacing);
  result.caption =
      textAbove(dialectCaption(report), kCaptionSideInset, captionBottom, std::min(kCaptionMaxHeight, captionRoom));

  // The row and the spacer under it share the free height equally: the
  // divider stretches with the row, the columns stay centred in it.
  const qreal free = std::max(0.0, result.caption.frame.top() - 2 * kSpacing - rowTop - columnsHeight);
  result.row = QRectF(kRowSideInset, rowTop, kWidth - 2 * kRowSideInset, columnsHeight + free / 2);
  const qreal columnsTop = result.row.top() + (result.row.height() - columnsHeight) / 2;
  result.mine = layoutPhraseColumn(me, mine.translated(0, columnsTop));
  result.theirs = layoutPhraseColumn(them, theirs.translated(0, columnsTop));
  const qreal dividerTop = result.row.top() + kDividerTopInset;
  const qreal dividerBottom = result.row.bottom() - kDividerBottomInset;
  if (dividerBottom > dividerTop)
    result.divider = QRectF(mine.right() + kRowSpacing, dividerTop, kDividerWidth, dividerBottom - dividerTop);
  return result;
}

void DialectSlide::paint(QPainter& painter) const {
  const Layout geometry = layout();
  paintSlideTitle(painter, geometry.title);
  paintPhraseColumn(painter, geometry.mine);
  if (geometry.divider) painter.fillRect(*geometry.divider, withOpacity(MurmelaTheme::ink, kDividerOpacity));
  paintPhraseColumn(painter, geometry.theirs);
  geometry.caption.paint(painter);
}

}  // namespace murmela
