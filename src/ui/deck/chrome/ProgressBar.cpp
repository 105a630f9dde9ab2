#include "deck/chrome/ProgressBar.h"

#include "kit/paint/Shapes.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>

#include <algorithm>

namespace murmela {

QList<QRectF> ProgressBar::segments(const QRectF& row) const {
  QList<QRectF> result;
  if (total <= 0) return result;
  const qreal width = std::max(0.0, (row.width() - kGap * (total - 1)) / total);
  for (int i = 0; i < total; ++i) result.append(QRectF(row.left() + i * (width + kGap), row.top(), width, kHeight));
  return result;
}

void ProgressBar::paint(QPainter& painter, const QRectF& row) const {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  const QList<QRectF> rects = segments(row);
  for (int i = 0; i < rects.size(); ++i) {
    const QColor fill = isFilled(i) ? MurmelaTheme::sageDeep : withOpacity(MurmelaTheme::sageDeep, kFaintOpacity);
    painter.fillPath(capsulePath(rects[i]), fill);
  }
  painter.restore();
}

}  // namespace murmela
