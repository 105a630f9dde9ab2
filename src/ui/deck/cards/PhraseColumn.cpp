#include "deck/cards/PhraseColumn.h"

#include "deck/SlideFormatters.h"
#include "deck/cards/WidthShare.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>

#include <algorithm>

namespace murmela {
namespace {

constexpr qreal kSpacing = 10.0;
constexpr qreal kRowPaddingY = 6.0;
constexpr qreal kRowPaddingX = 8.0;
constexpr qreal kRowGap = 8.0;  // between a phrase and its count
constexpr qreal kHairlineOpacity = 0.12;
// A column is half a slide wide: a long name takes a second line and a long
// phrase shrinks a little before either is elided.
constexpr int kNameLines = 2;
constexpr qreal kNameMinimumScale = 0.7;
constexpr qreal kPhraseMinimumScale = 0.8;

const TextStyle kPhraseStyle{.typeface = Typeface::dmSerifDisplay,
                             .size = 18,
                             .italic = true,
                             .lineLimit = 1,
                             .minimumScale = kPhraseMinimumScale};
const TextStyle kCountStyle{.typeface = Typeface::inter,
                            .size = 11,
                            .color = MurmelaTheme::inkSoft,
                            .lineLimit = 1,
                            .minimumScale = 0.7,
                            .monospacedDigits = true};

}  // namespace

PhraseColumnLayout layoutPhraseColumn(const PhraseColumn& column, const QRectF& rect) {
  PhraseColumnLayout layout;
  const qreal width = std::max(0.0, rect.width());
  const TextStyle nameStyle{.typeface = Typeface::caveat,
                            .size = 26,
                            .color = column.accent,
                            .alignment = TextAlign::center,
                            .lineLimit = kNameLines,
                            .minimumScale = kNameMinimumScale};
  const TextLayout name = fitText(column.name + QLatin1Char(' '), nameStyle, QSizeF(width, kUnlimitedWidth));
  layout.name =
      PlacedText::within(name, QRectF(rect.left(), rect.top(), width, name.height()), Qt::AlignHCenter | Qt::AlignTop);
  qreal y = layout.name.frame.bottom();

  const qreal inner = std::max(0.0, width - 2 * kRowPaddingX);
  for (qsizetype i = 0; i < std::min<qsizetype>(column.phrases.size(), kPhraseColumnRows); ++i) {
    const PhraseStat& stat = column.phrases[i];
    const QString countText = groupedCount(stat.count);
    const QList<qreal> widths = sharedWidths(
        {layoutText(stat.phrase, kPhraseStyle).width(), layoutText(countText, kCountStyle).width()}, inner - kRowGap);
    const TextLayout phrase = fitText(stat.phrase, kPhraseStyle, QSizeF(widths[0], kUnlimitedWidth));
    const TextLayout count = fitText(countText, kCountStyle, QSizeF(widths[1], kUnlimitedWidth));

    y += kSpacing;
    // Rows keep the height of a full-size line when a long phrase shrinks.
    const qreal contentHeight =
        std::max({layoutText(stat.phrase, kPhraseStyle).height(), phrase.height(), count.height()});
    PhraseColumnRow row;
    row.rect = QRectF(rect.left(), y, width, contentHeight + 2 * kRowPaddingY);
    const QRectF content = row.rect.adjusted(kRowPaddingX, kRowPaddingY, -kRowPaddingX, -kRowPaddingY);
    row.phrase = PlacedText::within(phrase, content, Qt::AlignLeft | Qt::AlignVCenter);
    row.count = PlacedText::within(count, content, Qt::AlignRight | Qt::AlignVCenter);
    row.hairline = QRectF(row.rect.left(), row.rect.bottom() - 1, width, 1);
    layout.rows.append(row);
    y = row.rect.bottom();
  }
  layout.frame = QRectF(rect.left(), rect.top(), width, y - rect.top());
  return layout;
}

void paintPhraseColumn(QPainter& painter, const PhraseColumnLayout& layout) {
  layout.name.paint(painter);
  for (const PhraseColumnRow& row : layout.rows) {
    row.phrase.paint(painter);
    row.count.paint(painter);
    painter.fillRect(row.hairline, withOpacity(MurmelaTheme::ink, kHairlineOpacity));
  }
}

}  // namespace murmela
