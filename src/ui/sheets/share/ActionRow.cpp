#include "sheets/share/ActionRow.h"

#include "kit/paint/PainterState.h"
#include "kit/paint/Shapes.h"
#include "sheets/share/ShareTile.h"
#include "sheets/share/SheetLook.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>

namespace murmela {

QString ActionRow::title() const {
  switch (destination) {
    case ShareDestination::copyImage:
      return QStringLiteral("Copy image");
    case ShareDestination::downloadImage:
      return mode == ShareMode::slideshow ? QStringLiteral("Download as images") : QStringLiteral("Download as image");
    default:
      return ShareTile::label(destination);
  }
}

QString ActionRow::subtitle() const {
  switch (destination) {
    case ShareDestination::copyImage:
      return QStringLiteral("To clipboard \u00b7 PNG");
    case ShareDestination::downloadImage:
      if (mode == ShareMode::slideshow)
        return QString::number(slideCount) + QStringLiteral(" PNG \u00b7 1170 \u00d7 2340");
      return QStringLiteral("PNG \u00b7 1170 \u00d7 2340");
    default:
      return QString();
  }
}

Symbol ActionRow::icon() const {
  return destination == ShareDestination::copyImage ? Symbol::docOnDoc : Symbol::arrowDownToLine;
}

ActionRow::Layout ActionRow::layout(QPointF topLeft, qreal width) const {
  Layout result;
  result.title = layoutText(title(), SheetLook::rowTitle(MurmelaTheme::ink));
  const QString second = subtitle();
  if (!second.isEmpty()) result.subtitle = layoutText(second, SheetLook::rowSubtitle(MurmelaTheme::inkSoft));
  result.chevron = layoutText(QStringLiteral("\u203a"), SheetLook::rowChevron(withOpacity(MurmelaTheme::inkSoft, 0.6)));
  const qreal textHeight = result.title.height() + (second.isEmpty() ? 0.0 : kTextSpacing + result.subtitle.height());
  const qreal contentHeight = std::max({kIconSize, textHeight, result.chevron.height()});
  result.frame = QRectF(topLeft, QSizeF(width, contentHeight + 2 * kVerticalPadding));
  result.hairline = QRectF(topLeft, QSizeF(width, 1.0));
  const qreal middle = result.frame.center().y();
  result.icon =
      QRectF(QPointF(topLeft.x() + kHorizontalPadding, middle - kIconSize / 2.0), QSizeF(kIconSize, kIconSize));
  const qreal textLeft = result.icon.right() + kSpacing;
  result.titleOrigin = QPointF(textLeft, middle - textHeight / 2.0);
  result.subtitleOrigin = QPointF(textLeft, result.titleOrigin.y() + result.title.height() + kTextSpacing);
  result.chevronOrigin = QPointF(result.frame.right() - kHorizontalPadding - result.chevron.width(),
                                 middle - result.chevron.height() / 2.0);
  return result;
}

void ActionRow::paint(QPainter& painter, const Layout& layout, const ButtonState& state) const {
  const OpacityScope pressed(painter, state.pressed ? SheetLook::kPressedOpacity : 1.0);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillRect(layout.hairline, withOpacity(MurmelaTheme::ink, 0.1));
  painter.fillPath(roundedRectPath(layout.icon, kIconRadius), MurmelaTheme::creamDeep);
  drawSymbol(painter, icon(), layout.icon, 13, SymbolWeight::medium, accent);
  layout.title.draw(painter, layout.titleOrigin);
  if (!layout.subtitle.lines.isEmpty()) layout.subtitle.draw(painter, layout.subtitleOrigin);
  layout.chevron.draw(painter, layout.chevronOrigin);
}

}  // namespace murmela
