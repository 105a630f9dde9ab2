#include "screens/intelligence/IntelligenceCard.h"

#include "kit/access/ShownText.h"

#include "kit/paint/PainterState.h"
#include "kit/paint/Pens.h"
#include "kit/paint/Shapes.h"
#include "kit/symbols/Symbols.h"
#include "kit/widgets/ButtonHost.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>

namespace murmela {
namespace {

TextStyle titleStyle() {
  return {.typeface = Typeface::dmSerifDisplay, .size = 17.0, .tracking = -0.3, .color = MurmelaTheme::ink};
}
TextStyle subStyle() {
  return {.typeface = Typeface::inter,
          .size = 9.5,
          .weight = QFont::Medium,
          .tracking = 1.4,
          .color = MurmelaTheme::inkSoft};
}
TextStyle bulletStyle() {
  return {.typeface = Typeface::inter, .size = 11.0, .color = MurmelaTheme::inkSoft, .lineSpacing = 2.0};
}
TextStyle badgeStyle() {
  return {.typeface = Typeface::inter,
          .size = 8.5,
          .weight = QFont::DemiBold,
          .tracking = 1.6,
          .upperCase = true,
          .color = MurmelaTheme::cream};
}
constexpr Insets kBadgePadding = Insets::symmetric(8.0, 3.0);
const QString kRecommended = QStringLiteral("Recommended");

}  // namespace

QColor IntelligenceCard::accent() const { return kind == Kind::hybrid ? MurmelaTheme::sageDeep : MurmelaTheme::rose; }

IntelligenceCard::Layout IntelligenceCard::layout(QPointF topLeft, qreal width) const {
  Layout l;
  const qreal left = topLeft.x() + kPaddingSides;
  const qreal inner = width - 2.0 * kPaddingSides;
  const qreal top = topLeft.y() + kPaddingTop;

  // Icon, text column, spacer and mark, 11 apart, top-aligned.
  l.icon = QRectF(left, top, kIconTile, kIconTile);
  const qreal columnLeft = l.icon.right() + kRowSpacing;
  const qreal columnWidth = inner - kIconTile - kMark - 3.0 * kRowSpacing;
  l.title = layoutText(title, titleStyle(), columnWidth);
  l.titleRect = QRectF(QPointF(columnLeft, top), l.title.size);
  l.sub = layoutText(sub, subStyle(), columnWidth);
  l.subRect = QRectF(QPointF(columnLeft, l.titleRect.bottom() + kTitleSpacing), l.sub.size);
  l.mark = QRectF(left + inner - kMark, top, kMark, kMark);
  const qreal rowBottom = std::max({l.icon.bottom(), l.subRect.bottom(), l.mark.bottom()});

  // The bullets, each a dot and its text, 8 apart.
  qreal y = rowBottom + kBulletsTop;
  const qreal textLeft = left + kBulletDot + kBulletGap;
  for (qsizetype index = 0; index < bullets.size(); ++index) {
    Bullet bullet;
    bullet.dot = QRectF(left, y + kBulletDotTop, kBulletDot, kBulletDot);
    bullet.text = layoutText(bullets[index], bulletStyle(), inner - kBulletDot - kBulletGap);
    bullet.textRect = QRectF(QPointF(textLeft, y), bullet.text.size);
    y = std::max(bullet.dot.bottom(), bullet.textRect.bottom());
    l.bullets.append(bullet);
    if (index + 1 < bullets.size()) y += kBulletSpacing;
  }
  if (bullets.isEmpty()) y = rowBottom;
  l.card = QRectF(topLeft, QSizeF(width, y + kPaddingBottom - topLeft.y()));

  l.hasBadge = recommended;
  if (recommended) {
    l.badge = layoutText(kRecommended, badgeStyle());
    const QSizeF size = kBadgePadding.grown(l.badge.size);
    l.badgeRect = QRectF(QPointF(l.card.right() - size.width() + kBadgeOffsetX, l.card.top() + kBadgeOffsetY), size);
  }
  return l;
}

void IntelligenceCard::paint(QPainter& painter, const Layout& l, const ButtonState& state, bool focused) const {
  // A held card dims as a plain button does.
  OpacityScope faded(painter, (disabled ? kDisabledOpacity : 1.0) * (state.pressed ? kPlainButtonPressedOpacity : 1.0));
  painter.setRenderHint(QPainter::Antialiasing);
  const QColor colour = accent();
  const QPainterPath shape = roundedRectPath(l.card, kRadius);
  if (selected) painter.fillPath(shape, MurmelaTheme::creamDeep);
  {
    PainterStateScope clipped(painter);
    painter.setClipPath(shape, Qt::IntersectClip);
    {
      OpacityScope icon(painter, disabled ? kDisabledIconOpacity : 1.0);
      painter.fillPath(roundedRectPath(l.icon, kIconRadius), colour);
    }
    drawSymbol(painter, kind == Kind::hybrid ? Symbol::lockFill : Symbol::cloudFill, l.icon, kIconSize,
               SymbolWeight::semibold, MurmelaTheme::cream);
    l.title.draw(painter, l.titleRect.topLeft());
    l.sub.draw(painter, l.subRect.topLeft());
    painter.strokePath(ellipsePath(l.mark), StrokeStyle{.width = kMarkWidth}.pen(
                                                selected ? colour : withOpacity(MurmelaTheme::ink, kMarkOpacity)));
    if (selected) {
      const QPointF centre = l.mark.center();
      painter.fillPath(circlePath(centre, kMarkDot / 2.0), colour);
    }
    for (const Bullet& bullet : l.bullets) {
      painter.fillPath(ellipsePath(bullet.dot), colour);
      bullet.text.draw(painter, bullet.textRect.topLeft());
    }
  }
  // A hovered card that can be chosen shows a little more of its outline.
  const qreal idleOpacity = state.hovered && !selected ? 2.0 * kOutlineOpacity : kOutlineOpacity;
  painter.strokePath(shape, selected ? StrokeStyle{.width = kSelectedOutlineWidth}.pen(colour)
                                     : StrokeStyle{}.pen(withOpacity(MurmelaTheme::sageDeep, idleOpacity)));
  if (l.hasBadge) {
    painter.fillPath(capsulePath(l.badgeRect), MurmelaTheme::sageDeep);
    l.badge.draw(painter, l.badgeRect, Qt::AlignCenter);
  }
  if (focused) paintFocusRing(painter, shape);
}

QString IntelligenceCard::spokenDetails(const Layout& layout) {
  QStringList parts{shownText(layout.sub, layout.subRect).text};
  if (layout.hasBadge) parts.append(shownText(layout.badge, layout.badgeRect).text);
  for (const Bullet& bullet : layout.bullets) parts.append(shownText(bullet.text, bullet.textRect).text);
  // Sentences apart: a part that ends its own sentence takes no second stop.
  QString spoken;
  for (const QString& part : parts) {
    const QString line = part.trimmed();
    if (line.isEmpty()) continue;
    if (!spoken.isEmpty()) {
      const QChar last = spoken.back();
      const bool ended = last == QLatin1Char('.') || last == QLatin1Char('!') || last == QLatin1Char('?') ||
                         last == QChar(0x2026) || last == QLatin1Char(':');
      spoken += ended ? QStringLiteral(" ") : QStringLiteral(". ");
    }
    spoken += line;
  }
  return spoken;
}

}  // namespace murmela
