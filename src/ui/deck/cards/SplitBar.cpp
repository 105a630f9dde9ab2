#include "deck/cards/SplitBar.h"

#include "deck/SlideFormatters.h"
#include "deck/cards/TailFit.h"
#include "deck/cards/WidthShare.h"
#include "kit/paint/PainterState.h"
#include "kit/paint/Shapes.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>

#include <algorithm>

namespace murmela {
namespace {

constexpr qreal kSpacing = 6.0;
constexpr qreal kBarHeight = 22.0;
constexpr qreal kBarRadius = 4.0;
constexpr qreal kLabelInset = 10.0;
constexpr qreal kLabelGap = 8.0;  // between the two bar labels when they meet
constexpr qreal kMinimumScale = 0.7;

const TextStyle kHeadingStyle{.typeface = Typeface::inter,
                              .size = 9,
                              .tracking = 2,
                              .upperCase = true,
                              .color = MurmelaTheme::inkSoft,
                              .lineLimit = 1,
                              .minimumScale = kMinimumScale};
const TextStyle kPartStyle{.typeface = Typeface::inter,
                           .size = 10,
                           .weight = QFont::DemiBold,
                           .tracking = 1.4,
                           .color = MurmelaTheme::cream,
                           .lineLimit = 1,
                           .minimumScale = kMinimumScale};
const TextStyle kCaptionStyle{.typeface = Typeface::inter,
                              .size = 9,
                              .tracking = 1,
                              .color = MurmelaTheme::inkSoft,
                              .lineLimit = 1,
                              .minimumScale = kMinimumScale};

TextStyle coloured(TextStyle style, const QColor& color) {
  style.color = color;
  return style;
}

// A text of a line: the part that may be cut, and the part kept whole.
struct EndText {
  QString head;
  QString tail;
};

// Two texts on one line, at the ends of a width: shrunk, and then cut in
// their heads, when together they would not leave `gap` between them.
QList<TextLayout> endTexts(const EndText& left, const EndText& right, const TextStyle& style, qreal width, qreal gap) {
  const qreal naturalLeft = layoutText(left.head + left.tail, style).width();
  const qreal naturalRight = layoutText(right.head + right.tail, style).width();
  const QList<qreal> widths = sharedWidths({naturalLeft, naturalRight}, width - gap);
  return {fitTextKeepingTail(left.head, left.tail, style, QSizeF(widths[0], kUnlimitedWidth)),
          fitTextKeepingTail(right.head, right.tail, style, QSizeF(widths[1], kUnlimitedWidth))};
}

}  // namespace

SplitBarLayout layoutSplitBar(const SplitBar& bar, const QRectF& rect) {
  SplitBarLayout layout;
  layout.split = twoPartySplit(bar.left, bar.right);
  const qreal width = std::max(0.0, rect.width());

  const TextLayout heading = fitText(QStringLiteral("who sent more"), kHeadingStyle, QSizeF(width, kUnlimitedWidth));
  layout.heading = PlacedText::within(heading, QRectF(rect.left(), rect.top(), width, heading.height()),
                                      Qt::AlignHCenter | Qt::AlignTop);

  layout.bar = QRectF(rect.left(), layout.heading.frame.bottom() + kSpacing, width, kBarHeight);
  const qreal split = layout.bar.left() + layout.split.fraction * width;
  layout.leftPart = QRectF(layout.bar.topLeft(), QPointF(split, layout.bar.bottom()));
  layout.rightPart = QRectF(QPointF(split, layout.bar.top()), layout.bar.bottomRight());

  const EndText leftText{bar.leftLabel,
                         QLatin1Char(' ') + QString::number(layout.split.leftPercent) + QLatin1Char('%')};
  const EndText rightText{bar.rightLabel,
                          QLatin1Char(' ') + QString::number(layout.split.rightPercent) + QLatin1Char('%')};
  const QRectF inner = layout.bar.adjusted(kLabelInset, 0, -kLabelInset, 0);
  const QList<TextLayout> onSage = endTexts(leftText, rightText, kPartStyle, inner.width(), kLabelGap);
  const QList<TextLayout> onGold =
      endTexts(leftText, rightText, coloured(kPartStyle, MurmelaTheme::ink), inner.width(), kLabelGap);
  layout.leftText = {PlacedText::within(onSage[0], inner, Qt::AlignLeft | Qt::AlignVCenter),
                     PlacedText::within(onGold[0], inner, Qt::AlignLeft | Qt::AlignVCenter)};
  layout.rightText = {PlacedText::within(onSage[1], inner, Qt::AlignRight | Qt::AlignVCenter),
                      PlacedText::within(onGold[1], inner, Qt::AlignRight | Qt::AlignVCenter)};

  const QList<TextLayout> captions =
      endTexts({groupedCount(bar.left), QStringLiteral(" sent")}, {groupedCount(bar.right), QStringLiteral(" sent")},
               kCaptionStyle, width, kLabelGap);
  const qreal captionHeight = std::max(captions[0].height(), captions[1].height());
  const QRectF captionRow(rect.left(), layout.bar.bottom() + kSpacing, width, captionHeight);
  layout.leftCaption = PlacedText::within(captions[0], captionRow, Qt::AlignLeft | Qt::AlignVCenter);
  layout.rightCaption = PlacedText::within(captions[1], captionRow, Qt::AlignRight | Qt::AlignVCenter);
  layout.frame = QRectF(rect.left(), rect.top(), width, captionRow.bottom() - rect.top());
  return layout;
}

void paintSplitBar(QPainter& painter, const SplitBarLayout& layout) {
  layout.heading.paint(painter);
  const QPainterPath bar = roundedRectPath(layout.bar, kBarRadius);
  for (const auto& [part, sage] : {std::pair{layout.leftPart, true}, std::pair{layout.rightPart, false}}) {
    if (part.width() <= 0.0) continue;
    PainterStateScope scope(painter);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath partPath;
    partPath.addRect(part);
    painter.fillPath(bar.intersected(partPath), sage ? MurmelaTheme::sageDeep : MurmelaTheme::gold);
    // The labels lie inside the bar's straight stretch: a rectangular clip is enough.
    painter.setClipRect(part, painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    for (const SplitBarLabel* label : {&layout.leftText, &layout.rightText})
      (sage ? label->onSage : label->onGold).paint(painter);
  }
  layout.leftCaption.paint(painter);
  layout.rightCaption.paint(painter);
}

}  // namespace murmela
