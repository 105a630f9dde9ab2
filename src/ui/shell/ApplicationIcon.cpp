#include "shell/ApplicationIcon.h"

#include "brand/DoubleBubbleLogo.h"
#include "kit/paint/Shapes.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>
#include <QPixmap>

namespace murmela::ApplicationIcon {
namespace {

constexpr qreal kCornerShare = 0.22;  // corner radius as a share of the side
constexpr qreal kLogoShare = 0.74;    // the mark's width as a share of the side
// The size the mark is drawn at before scaling. The dashes of its front bubble
// keep a fixed length in points while its lines grow with the size: at 48 they
// are square dots, as long as the line is wide, which still read at 16 pixels;
// at the welcome screen's size they would be thin ties.
constexpr qreal kLogoDesignSize = 48.0;

}  // namespace

QList<int> sizes() { return {16, 24, 32, 48, 64, 128, 256, 512}; }

QImage image(int pixels) {
  QImage result(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
  result.fill(Qt::transparent);
  QPainter painter(&result);
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal side = pixels;
  painter.fillPath(roundedRectPath(QRectF(0, 0, side, side), side * kCornerShare), MurmelaTheme::cream);

  // The mark drawn once at its design size and scaled as a whole, so that its
  // strokes and dashes keep their proportions at every icon size.
  const DoubleBubbleLogo logo{kLogoDesignSize};
  const QSizeF frame = logo.frameSize();
  const qreal scale = side * kLogoShare / frame.width();
  painter.translate((side - frame.width() * scale) / 2.0, (side - frame.height() * scale) / 2.0);
  painter.scale(scale, scale);
  logo.paint(painter, QRectF(QPointF(0.0, 0.0), frame));
  return result;
}

QIcon icon() {
  QIcon result;
  for (int pixels : sizes()) result.addPixmap(QPixmap::fromImage(image(pixels)));
  return result;
}

}  // namespace murmela::ApplicationIcon
