#include "screens/picker/ChatRow.h"

#include "common/LocaleFormat.h"
#include "kit/layout/Stack.h"
#include "kit/paint/PainterState.h"
#include "kit/paint/Shapes.h"
#include "screens/picker/ContactNaming.h"
#include "theme/MurmelaTheme.h"

#include <QFontMetricsF>
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

}  // namespace

QString ChatRow::rangeLabel() const {
  const QString pattern = QStringLiteral("MMM d, yyyy");
  return LocaleFormat::formatDate(contact.firstMessage, pattern) + QStringLiteral(" \u2014 ") +
         LocaleFormat::formatDate(contact.lastMessage, pattern);
}

QString ChatRow::countLabel() const {
  return LocaleFormat::groupedInteger(contact.messageCount) + QStringLiteral(" msgs");
}

QString ChatRow::name() const { return contactRowName(contact); }
QString ChatRow::initials() const { return contactInitials(name()); }

ChatRow::Layout ChatRow::layout(qreal width) const {
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
      layoutBaselineRow({BaselineItem::of(result.name), BaselineItem::spacer(), BaselineItem::of(result.count)},
                        kNameToCount, columnWidth);
  Stack column = Stack::vertical(kColumnSpacing, StackAlign::leading);
  column.add(QSizeF(columnWidth, nameRow.size.height()));
  column.add(result.handle);
  column.add(result.range);
  const qreal innerHeight = std::max(kBadgeSize, column.idealLength());
  result.bounds = QRectF(0.0, 0.0, width, innerHeight + 2.0 * kPadding);

  const qreal columnTop = kPadding + (innerHeight - column.idealLength()) / 2.0;
  const QList<QRectF> lines = column.layout(QRectF(columnLeft, columnTop, columnWidth, column.idealLength()));
  const QPointF rowOrigin = lines[0].topLeft();
  result.nameRect = nameRow.frames[0].translated(rowOrigin);
  result.countRect = nameRow.frames[2].translated(rowOrigin);
  result.countRect.moveRight(columnLeft + columnWidth);  // even when an elided name runs a hair long
  result.handleRect = lines[1];
  result.rangeRect = lines[2];
  result.badge = QRectF(kPadding, kPadding + (innerHeight - kBadgeSize) / 2.0, kBadgeSize, kBadgeSize);
  return result;
}

bool ChatRow::inOwnTypefaces() const {
  static const QFontMetricsF nameMetrics(kNameStyle.font());
  static const QFontMetricsF handleMetrics(kHandleStyle.font());
  const auto covered = [](const QString& text, const QFontMetricsF& metrics) {
    for (const char32_t codePoint : text.toUcs4())
      if (!metrics.inFontUcs4(codePoint)) return false;
    return true;
  };
  return covered(name(), nameMetrics) && covered(contact.handle, handleMetrics);
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
