#pragma once

#include <QRectF>
#include <QSizeF>

#include <algorithm>

namespace murmela {

// A row of two buttons with a flexible space between them, both centred on
// the row's middle: the first against the leading edge, the second against
// the trailing one. The row starts at `top` and is as tall as the taller button.
struct ButtonRow {
  QRectF leading;
  QRectF trailing;
  QRectF bounds;

  static ButtonRow place(const QSizeF& leadingSize, const QSizeF& trailingSize, qreal left, qreal right, qreal top) {
    const qreal height = std::max(leadingSize.height(), trailingSize.height());
    const qreal middle = top + height / 2.0;
    ButtonRow row;
    row.leading = QRectF(QPointF(left, middle - leadingSize.height() / 2.0), leadingSize);
    row.trailing = QRectF(QPointF(right - trailingSize.width(), middle - trailingSize.height() / 2.0), trailingSize);
    row.bounds = QRectF(left, top, right - left, height);
    return row;
  }
};

}  // namespace murmela
