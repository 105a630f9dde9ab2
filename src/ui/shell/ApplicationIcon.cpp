#include "shell/ApplicationIcon.h"

#include "deck/chrome/DoubleBubbleLogo.h"
#include "kit/paint/Shapes.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>
#include <QPixmap>

namespace murmela::ApplicationIcon {
namespace {

constexpr qreal kCornerShare = 0.22;  // corner radius as a share of the side
constexpr qreal kLogoShare = 0.74;    // the mark's width as a share of the side

}  // namespace

QList<int> sizes() { return {16, 24, 32, 48, 64, 128, 256, 512}; }

QImage image(int pixels) {
  QImage result(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
  result.fill(Qt::transparent);
  QPainter painter(&result);
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal side = pixels;
  painter.fillPath(roundedRectPath(QRectF(0, 0, side, side), side * kCornerShare), MurmelaTheme::cream);

  const DoubleBubbleLogo probe{1.0};
  const QSizeF unit = probe.frameSize();
  const DoubleBubbleLogo logo{side * kLogoShare / unit.width() * unit.height()};
  const QSizeF frame = logo.frameSize();
  logo.paint(painter, QRectF(QPointF((side - frame.width()) / 2.0, (side - frame.height()) / 2.0), frame));
  return result;
}

QIcon icon() {
  QIcon result;
  for (int pixels : sizes()) result.addPixmap(QPixmap::fromImage(image(pixels)));
  return result;
}

}  // namespace murmela::ApplicationIcon
