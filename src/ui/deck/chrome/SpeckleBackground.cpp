#include "deck/chrome/SpeckleBackground.h"

#include "theme/MurmelaTheme.h"

#include <QPainter>

#include <cmath>

namespace murmela {

int SpeckleBackground::columns(qreal width) {
  return width < 0.0 ? 0 : static_cast<int>(std::floor(width / kPitch)) + 1;
}

int SpeckleBackground::rows(qreal height) { return columns(height); }

QList<SpeckleBackground::Dot> SpeckleBackground::dots(const QSizeF& size) {
  QList<Dot> result;
  const int columnCount = columns(size.width());
  const int rowCount = rows(size.height());
  result.reserve(static_cast<qsizetype>(columnCount) * rowCount);
  for (int column = 0; column < columnCount; ++column) {
    for (int row = 0; row < rowCount; ++row) {
      const bool large = (column + row) % 2 == 0;
      result.append({QPointF(column * kPitch, row * kPitch), large ? kLargeDiameter : kSmallDiameter, large});
    }
  }
  return result;
}

void SpeckleBackground::paint(QPainter& painter, const QSizeF& size) {
  // One small ellipse per dot: the raster engine fills ~19,000 of them in a
  // few milliseconds, where one path holding them all takes seconds.
  const QColor large = withOpacity(MurmelaTheme::sageDeep, kLargeOpacity);
  const QColor small = withOpacity(MurmelaTheme::sageDeep, kSmallOpacity);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  for (const Dot& dot : dots(size)) {
    painter.setBrush(dot.large ? large : small);
    painter.drawEllipse(QRectF(dot.topLeft, QSizeF(dot.diameter, dot.diameter)));
  }
  painter.restore();
}

}  // namespace murmela
