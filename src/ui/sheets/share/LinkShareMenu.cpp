#include "sheets/share/LinkShareMenu.h"

#include "kit/paint/PainterState.h"
#include "kit/paint/Pens.h"
#include "kit/paint/Shadow.h"
#include "kit/paint/Shapes.h"
#include "sheets/share/SheetLook.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>

namespace murmela {

QList<LinkShareMenu::Item> LinkShareMenu::items() { return {Item::copyLink, Item::openInBrowser, Item::emailLink}; }

QString LinkShareMenu::text(Item item) {
  switch (item) {
    case Item::copyLink:
      return QStringLiteral("Copy link");
    case Item::openInBrowser:
      return QStringLiteral("Open in browser");
    case Item::emailLink:
      return QStringLiteral("Email link\u2026");
  }
  return {};
}

TextStyle LinkShareMenu::textStyle() {
  return TextStyle{.typeface = Typeface::inter, .size = 12, .weight = QFont::Medium, .color = MurmelaTheme::ink};
}

LinkShareMenu::Layout LinkShareMenu::layout(const QRectF& button) {
  Layout result;
  qreal width = button.width();
  QList<TextLayout> texts;
  for (const Item item : items()) {
    texts.append(layoutText(text(item), textStyle()));
    width = std::max(width, texts.last().width() + 2 * kHorizontalPadding);
  }
  const qreal height = items().size() * kRowHeight + 2 * kVerticalPadding;
  result.frame = QRectF(button.right() - width, button.top() - kGap - height, width, height);
  qreal y = result.frame.top() + kVerticalPadding;
  for (int index = 0; index < items().size(); ++index) {
    Row row{items()[index], QRectF(result.frame.left(), y, width, kRowHeight), texts[index], {}};
    row.textOrigin = QPointF(row.frame.left() + kHorizontalPadding, row.frame.center().y() - row.text.height() / 2.0);
    result.rows.append(row);
    y += kRowHeight;
  }
  return result;
}

std::optional<LinkShareMenu::Item> LinkShareMenu::hitTest(const Layout& layout, QPointF point) {
  for (const Row& row : layout.rows)
    if (row.frame.contains(point)) return row.item;
  return std::nullopt;
}

void LinkShareMenu::paint(QPainter& painter, const Layout& layout, std::optional<Item> hovered,
                          std::optional<Item> pressed, std::optional<Item> focused) {
  const PainterStateScope state(painter);
  painter.setRenderHint(QPainter::Antialiasing);
  const QPainterPath shape = roundedRectPath(layout.frame, kCornerRadius);
  drawShadow(painter, shape, ShadowStyle{QColor(0, 0, 0, 46), 12.0, QPointF(0.0, 4.0)});
  painter.fillPath(shape, MurmelaTheme::cream);
  for (const Row& row : layout.rows) {
    const bool lit = row.item == hovered || row.item == pressed || row.item == focused;
    if (lit) {
      const QRectF highlight = row.frame.adjusted(4.0, 1.0, -4.0, -1.0);
      painter.fillPath(roundedRectPath(highlight, 7.0), MurmelaTheme::creamDeep);
    }
    const OpacityScope dim(painter, row.item == pressed ? SheetLook::kPressedOpacity : 1.0);
    row.text.draw(painter, row.textOrigin);
  }
  painter.setBrush(Qt::NoBrush);
  painter.setPen(StrokeStyle{.width = 1.0}.pen(withOpacity(MurmelaTheme::ink, 0.14)));
  painter.drawPath(shape);
}

}  // namespace murmela
