#include "screens/picker/ChatRow.h"

#include "common/LocaleFormat.h"
#include "kit/layout/Stack.h"
#include "kit/paint/PainterState.h"
#include "kit/paint/Shapes.h"
#include "screens/picker/ContactNaming.h"
#include "theme/MurmelaTheme.h"

#include <QDateTime>
#include <QLocale>
#include <QPainter>

#include <algorithm>

namespace murmela {
namespace {

const TextStyle kInitialsStyle{.typeface = Typeface::dmSerifDisplay, .size = 14, .color = MurmelaTheme::cream};
const TextStyle kNameStyle{
    .typeface = Typeface::dmSerifDisplay, .size = 15, .tracking = -0.3, .color = MurmelaTheme::ink};
const TextStyle kCountStyle{.typeface = Typeface::inter,
                            .size = 9.5,
                            .weight = QFont::Medium,
                            .tracking = 1.0,
                            .color = MurmelaTheme::inkSoft,
                            .monospacedDigits = true};
const TextStyle kHandleStyle{
    .typeface = Typeface::inter, .size = 10, .color = MurmelaTheme::inkSoft, .monospacedDigits = true};
const TextStyle kRangeStyle{.typeface = Typeface::inter,
                            .size = 9,
                            .weight = QFont::Medium,
                            .tracking = 1.2,
                            .upperCase = true,
                            .color = MurmelaTheme::inkSoft};

const QString kRangePattern = QStringLiteral("MMM d, yyyy");

QString rangeLabelOf(Date first, Date last) {
  return LocaleFormat::formatDate(first, kRangePattern) + QStringLiteral(" \u2014 ") +
         LocaleFormat::formatDate(last, kRangePattern);
}

QString countLabelOf(qint64 count) { return LocaleFormat::groupedInteger(count) + QStringLiteral(" msgs"); }

// The cases of the names and the handles, met by every list in the process.
FallbackCases& nameCases() {
  static FallbackCases cases(kNameStyle);
  return cases;
}
FallbackCases& handleCases() {
  static FallbackCases cases(kHandleStyle);
  return cases;
}

// The boxes of the count and the dates in the user's locale: those of a
// text holding every digit and every month's name, so that any row's count
// and dates fall in them.
struct LocaleLines {
  QString locale;
  LineBox count;
  LineBox range;
};
const LocaleLines& localeLines() {
  static FallbackCases counts(kCountStyle);
  static FallbackCases ranges(kRangeStyle);
  static LocaleLines lines;
  const QString locale = QLocale().name();
  if (lines.locale != locale) {
    QString months;
    for (int month = 1; month <= 12; ++month) {
      const Date date = Date::fromUnix(QDateTime(QDate(2024, month, 28), QTime(12, 0)).toSecsSinceEpoch());
      months += rangeLabelOf(date, date);
    }
    lines = {locale, counts.boxOf(countLabelOf(1'234'567'890)), ranges.boxOf(months)};
  }
  return lines;
}

// The height of the name and the count on one baseline.
qreal nameRowHeight(const ChatRow::Lines& lines) {
  return layoutBaselineRow({{0.0, lines.name.height, lines.name.baseline},
                            BaselineItem::spacer(),
                            {0.0, lines.count.height, lines.count.baseline}},
                           ChatRow::kNameToCount)
      .size.height();
}

Stack textColumn(const ChatRow::Lines& lines, qreal width) {
  Stack column = Stack::vertical(ChatRow::kColumnSpacing, StackAlign::leading);
  column.add(QSizeF(width, nameRowHeight(lines)));
  column.add(QSizeF(width, lines.handle.height));
  column.add(QSizeF(width, lines.range.height));
  return column;
}

// A text set in a line: its first baseline on the line's.
QRectF inLine(const TextLayout& text, QPointF lineTopLeft, const LineBox& line) {
  return QRectF(QPointF(lineTopLeft.x(), lineTopLeft.y() + line.baseline - text.firstBaseline()), text.size);
}

}  // namespace

QString ChatRow::rangeLabel() const { return rangeLabelOf(contact.firstMessage, contact.lastMessage); }

QString ChatRow::countLabel() const { return countLabelOf(contact.messageCount); }

QString ChatRow::name() const { return contactRowName(contact); }
QString ChatRow::initials() const { return contactInitials(name()); }

ChatRow::Case ChatRow::fallbackCase() const {
  return {nameCases().caseOf(name()), handleCases().caseOf(contact.handle)};
}

bool ChatRow::plainAtAGlance() const {
  return nameCases().plainAtAGlance(name()) && handleCases().plainAtAGlance(contact.handle);
}

ChatRow::Lines ChatRow::lines(Case fallbackCase) {
  const LocaleLines& locale = localeLines();
  return {nameCases().box(fallbackCase.name), locale.count, handleCases().box(fallbackCase.handle), locale.range};
}

qreal ChatRow::height(const Lines& lines) {
  return std::max(kBadgeSize, textColumn(lines, 0.0).idealLength()) + 2.0 * kPadding;
}

ChatRow::Layout ChatRow::layout(qreal width, const Lines& lines) const {
  Layout result;
  const qreal columnLeft = kPadding + kBadgeSize + kSpacing;
  const qreal columnWidth = std::max(0.0, width - columnLeft - kPadding);

  result.count = layoutText(countLabel(), kCountStyle);
  const qreal nameWidth = std::max(0.0, columnWidth - result.count.width() - kNameToCount);
  result.name = layoutText(name(), kNameStyle, nameWidth, 1);
  result.handle = layoutText(contact.handle, kHandleStyle, columnWidth, 1);
  result.range = layoutText(rangeLabel(), kRangeStyle, columnWidth, 1);
  result.initials = layoutText(initials(), kInitialsStyle);

  // The name row sits on the first baseline of the name and the count.
  const BaselineRowLayout nameRow =
      layoutBaselineRow({{result.name.width(), lines.name.height, lines.name.baseline},
                         BaselineItem::spacer(),
                         {result.count.width(), lines.count.height, lines.count.baseline}},
                        kNameToCount, columnWidth);
  const Stack column = textColumn(lines, columnWidth);
  const qreal innerHeight = std::max(kBadgeSize, column.idealLength());
  result.bounds = QRectF(0.0, 0.0, width, height(lines));

  const qreal columnTop = kPadding + (innerHeight - column.idealLength()) / 2.0;
  const QList<QRectF> lineRects = column.layout(QRectF(columnLeft, columnTop, columnWidth, column.idealLength()));
  const QPointF rowOrigin = lineRects[0].topLeft();
  result.nameRect = inLine(result.name, nameRow.frames[0].topLeft() + rowOrigin, lines.name);
  result.countRect = inLine(result.count, nameRow.frames[2].topLeft() + rowOrigin, lines.count);
  result.countRect.moveRight(columnLeft + columnWidth);  // even when an elided name runs a hair long
  result.handleRect = inLine(result.handle, lineRects[1].topLeft(), lines.handle);
  result.rangeRect = inLine(result.range, lineRects[2].topLeft(), lines.range);
  result.badge = QRectF(kPadding, kPadding + (innerHeight - kBadgeSize) / 2.0, kBadgeSize, kBadgeSize);
  return result;
}

void ChatRow::paint(QPainter& painter, const Layout& layout) const {
  const PainterStateScope scope(painter);
  painter.setRenderHint(QPainter::Antialiasing);
  const QPainterPath outline = roundedRectPath(layout.bounds.adjusted(0.5, 0.5, -0.5, -0.5), kCornerRadius);
  if (selected) painter.fillPath(outline, MurmelaTheme::creamDeep);
  painter.strokePath(outline, QPen(selected ? MurmelaTheme::rose : withOpacity(MurmelaTheme::sageDeep, 0.18), 1.0));

  painter.fillPath(ellipsePath(layout.badge), selected ? MurmelaTheme::rose : MurmelaTheme::sage);
  layout.initials.drawCentered(painter, layout.badge.center());
  layout.name.draw(painter, layout.nameRect.topLeft());
  layout.count.draw(painter, layout.countRect.topLeft());
  layout.handle.draw(painter, layout.handleRect.topLeft());
  layout.range.draw(painter, layout.rangeRect.topLeft());
}

}  // namespace murmela
