#include "screens/permissions/PermissionCard.h"

#include "kit/controls/MurmelaButtonStyles.h"
#include "kit/paint/PainterState.h"
#include "kit/paint/Pens.h"
#include "kit/paint/Shapes.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>

namespace murmela {
namespace {

QColor badgeColour(PermissionCard::Status status) {
  switch (status) {
    case PermissionCard::Status::ok:
      return MurmelaTheme::sageDeep;
    case PermissionCard::Status::todo:
      return MurmelaTheme::rose;
    case PermissionCard::Status::optional:
      return MurmelaTheme::gold;
  }
  return MurmelaTheme::rose;
}

TextStyle titleStyle() { return {.typeface = Typeface::dmSerifDisplay, .size = 16.0, .color = MurmelaTheme::ink}; }
TextStyle detailStyle() {
  return {.typeface = Typeface::inter, .size = 10.5, .color = MurmelaTheme::inkSoft, .lineSpacing = 2.0};
}
TextStyle badgeStyle() {
  return {.typeface = Typeface::dmSerifDisplay, .size = 11.0, .weight = QFont::Bold, .color = MurmelaTheme::cream};
}

}  // namespace

QString PermissionCard::badgeGlyph(Status status) {
  switch (status) {
    case Status::ok:
      return QStringLiteral("✓");
    case Status::todo:
      return QStringLiteral("!");
    case Status::optional:
      return QStringLiteral("?");
  }
  return QString();
}

PermissionCard::Layout PermissionCard::layout(QPointF topLeft, qreal width) const {
  Layout l;
  const qreal left = topLeft.x() + kPadding;
  const qreal top = topLeft.y() + kPadding;
  l.badge = QRectF(left, top + kBadgeTopPadding, kBadgeSize, kBadgeSize);
  // Badge, text column and a spacer, 10 apart.
  const qreal columnLeft = l.badge.right() + kSpacing;
  const qreal columnWidth = width - 2.0 * kPadding - kBadgeSize - 2.0 * kSpacing;
  l.title = layoutText(title, titleStyle(), columnWidth);
  l.titleRect = QRectF(QPointF(columnLeft, top), l.title.size);
  l.detail = layoutText(detail, detailStyle(), columnWidth);
  l.detailRect = QRectF(QPointF(columnLeft, l.titleRect.bottom() + kColumnSpacing), l.detail.size);
  qreal bottom = l.detailRect.bottom();
  if (hasButton()) {
    const QSizeF size = MurmelaGhostButtonStyle{true}.size(*actionLabel);
    l.button = QRectF(QPointF(columnLeft, bottom + kColumnSpacing + kActionTopPadding), size);
    bottom = l.button->bottom();
  }
  bottom = std::max(bottom, l.badge.bottom());
  l.card = QRectF(topLeft, QSizeF(width, bottom + kPadding - topLeft.y()));
  return l;
}

void PermissionCard::paint(QPainter& painter, const Layout& l, const ButtonState& buttonState,
                           bool buttonFocused) const {
  PainterStateScope scope(painter);
  painter.setRenderHint(QPainter::Antialiasing);
  const QPainterPath shape = roundedRectPath(l.card, kRadius);
  painter.fillPath(shape, MurmelaTheme::creamDeep);

  painter.fillPath(ellipsePath(l.badge), badgeColour(status));
  layoutText(badgeGlyph(status), badgeStyle()).draw(painter, l.badge, Qt::AlignCenter);
  l.title.draw(painter, l.titleRect.topLeft());
  l.detail.draw(painter, l.detailRect.topLeft());
  if (l.button) MurmelaGhostButtonStyle{true}.paint(painter, *l.button, *actionLabel, buttonState, buttonFocused);

  // The outline is drawn over the card and clipped to it: its inner half shows.
  painter.setClipPath(shape, Qt::IntersectClip);
  const QColor outline = status == Status::ok ? withOpacity(MurmelaTheme::sageDeep, kOkOutlineOpacity)
                                              : withOpacity(MurmelaTheme::rose, kTodoOutlineOpacity);
  painter.strokePath(shape, StrokeStyle{}.pen(outline));
}

}  // namespace murmela
