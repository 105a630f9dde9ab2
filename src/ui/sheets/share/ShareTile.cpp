#include "sheets/share/ShareTile.h"

#include "kit/paint/PainterState.h"
#include "kit/paint/Shadow.h"
#include "kit/paint/Shapes.h"
#include "sheets/share/SheetLook.h"
#include "sheets/share/SocialGlyph.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>

namespace murmela {

QString ShareTile::label(ShareDestination destination) {
  switch (destination) {
    case ShareDestination::instagram:
      return QStringLiteral("Stories");
    case ShareDestination::iMessage:
      return QStringLiteral("Messages");
    case ShareDestination::twitter:
      return QStringLiteral("X");
    case ShareDestination::tiktok:
      return QStringLiteral("TikTok");
    case ShareDestination::copyImage:
      return QStringLiteral("Copy image");
    case ShareDestination::downloadImage:
      return QStringLiteral("Download as image");
  }
  return {};
}

QColor ShareTile::fill(ShareDestination destination) {
  switch (destination) {
    case ShareDestination::instagram:
      return QColor::fromRgbF(0.659f, 0.42f, 0.525f);
    case ShareDestination::iMessage:
      return MurmelaTheme::sage;
    case ShareDestination::twitter:
      return MurmelaTheme::ink;
    case ShareDestination::tiktok:
      return QColor::fromRgbF(0.1f, 0.1f, 0.1f);
    case ShareDestination::copyImage:
    case ShareDestination::downloadImage:
      return Qt::transparent;
  }
  return Qt::transparent;
}

TextStyle ShareTile::labelStyle() {
  return TextStyle{.typeface = Typeface::inter,
                   .size = 9.5,
                   .weight = QFont::Medium,
                   .tracking = 1.2,
                   .upperCase = true,
                   .color = MurmelaTheme::inkSoft,
                   .alignment = TextAlign::center};
}

qreal ShareTile::height() { return kSquare + kSpacing + layoutText(QStringLiteral("X"), labelStyle()).height(); }

ShareTile::Layout ShareTile::layout(QPointF topLeft) const {
  Layout result;
  result.label = layoutText(label(destination), labelStyle());
  result.frame = QRectF(topLeft, QSizeF(kWidth, kSquare + kSpacing + result.label.height()));
  result.square = QRectF(topLeft + QPointF((kWidth - kSquare) / 2.0, 0.0), QSizeF(kSquare, kSquare));
  result.glyph =
      QRectF(result.square.center() - QPointF(kGlyphSize / 2.0, kGlyphSize / 2.0), QSizeF(kGlyphSize, kGlyphSize));
  result.labelRect =
      QRectF(QPointF(result.frame.center().x() - result.label.width() / 2.0, result.square.bottom() + kSpacing),
             result.label.size);
  return result;
}

void ShareTile::paint(QPainter& painter, const Layout& layout, const ButtonState& state) const {
  const OpacityScope pressed(painter, state.pressed ? SheetLook::kPressedOpacity : 1.0);
  painter.setRenderHint(QPainter::Antialiasing);
  const QPainterPath square = roundedRectPath(layout.square, kCornerRadius);
  const QColor tileFill = fill(destination);
  if (tileFill.alpha() > 0) {
    drawShadow(painter, square, ShadowStyle{QColor(0, 0, 0, 13), 1.0, QPointF(0.0, 1.0)});
    painter.fillPath(square, tileFill);
  }
  SocialGlyph{destination, MurmelaTheme::cream}.paint(painter, layout.glyph);
  layout.label.draw(painter, layout.labelRect.topLeft());
}

}  // namespace murmela
