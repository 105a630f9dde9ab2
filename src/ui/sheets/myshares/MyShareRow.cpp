#include "sheets/myshares/MyShareRow.h"

#include "kit/controls/LibraryStyle.h"
#include "kit/text/HomeWrapDate.h"
#include "theme/MurmelaTheme.h"

#include <algorithm>

namespace murmela {
namespace {

const TextStyle kNameStyle{.typeface = Typeface::dmSerifDisplay, .size = 16, .color = MurmelaTheme::ink};
const TextStyle kDatesStyle{.typeface = Typeface::inter,
                            .size = 8.5,
                            .tracking = 1.0,
                            .upperCase = true,
                            .color = MurmelaTheme::inkSoft,
                            .lineLimit = 1};

ButtonStyle pillStyle(const QString& text, const QColor& content, const QColor& outline) {
  ButtonStyle style;
  style.label = SymbolLabel{
      .symbol = std::nullopt,
      .text = text,
      .style = TextStyle{.typeface = Typeface::inter, .size = 10, .weight = QFont::DemiBold, .color = content}};
  style.content = content;
  style.fill = MurmelaTheme::cream;
  style.outline = outline;
  style.cornerRadius = MyShareRow::kButtonRadius;
  style.padding = MyShareRow::kButtonInsets;
  return style;
}

QSizeF pillSize(const ButtonStyle& style) { return style.padding.grown(style.label.layout().size); }

}  // namespace

QString MyShareRow::datesLine(const ShareCacheEntry& share) {
  return QStringLiteral("Created ") + homeWrapDate(share.createdAt) + QStringLiteral(" \u00B7 Expires ") +
         homeWrapDate(share.expiresAt);
}

QString MyShareRow::nameLine(const ShareCacheEntry& share) { return QStringLiteral("you & ") + share.contactDisplay; }

ButtonStyle MyShareRow::copyStyle() {
  return pillStyle(QStringLiteral("Copy"), MurmelaTheme::sageDeep, withOpacity(MurmelaTheme::sageDeep, 0.3));
}

ButtonStyle MyShareRow::revokeStyle() {
  return pillStyle(QStringLiteral("Revoke"), MurmelaTheme::rose, withOpacity(MurmelaTheme::rose, 0.35));
}

MyShareRow::Layout MyShareRow::layout(QPointF topLeft, qreal width) const {
  Layout result;
  const QSizeF copy = pillSize(copyStyle());
  const QSizeF revoke = pillSize(revokeStyle());
  const qreal pills = copy.width() + kButtonSpacing + revoke.width();
  // The texts take what the pills and the spacings around the spacer leave.
  const qreal textWidth = std::max(0.0, width - 2.0 * kPadding - pills - 2.0 * kSpacing);
  result.name = layoutText(nameLine(share), kNameStyle, textWidth, kNameLines);
  result.dates = layoutText(datesLine(share), kDatesStyle, textWidth);

  const qreal textHeight = result.name.height() + kTextSpacing + result.dates.height();
  const qreal inner = std::max({textHeight, copy.height(), revoke.height()});
  result.frame = QRectF(topLeft, QSizeF(width, inner + 2.0 * kPadding));
  const qreal middle = result.frame.center().y();
  result.nameOrigin = QPointF(topLeft.x() + kPadding, middle - textHeight / 2.0);
  result.datesOrigin = result.nameOrigin + QPointF(0.0, result.name.height() + kTextSpacing);
  const qreal right = result.frame.right() - kPadding;
  result.revoke = QRectF(QPointF(right - revoke.width(), middle - revoke.height() / 2.0), revoke);
  result.copy =
      QRectF(QPointF(result.revoke.left() - kButtonSpacing - copy.width(), middle - copy.height() / 2.0), copy);
  return result;
}

void MyShareRow::paint(QPainter& painter, const Layout& layout, const MyShareRowState& state) const {
  LibraryCard{.radius = kCornerRadius}.paint(painter, layout.frame);
  layout.name.draw(painter, layout.nameOrigin);
  layout.dates.draw(painter, layout.datesOrigin);
  paintLibraryButton(painter, copyStyle(), layout.copy, state.copy, state.copyShowsFocus);
  paintLibraryButton(painter, revokeStyle(), layout.revoke, state.revoke, state.revokeShowsFocus);
}

}  // namespace murmela
