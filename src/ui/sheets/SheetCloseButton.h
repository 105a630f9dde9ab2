#pragma once

#include "kit/widgets/ButtonHost.h"

#include <QRectF>
#include <QString>

class QPainter;

namespace murmela {

// The round button that closes every onboarding sheet: "xmark" at 11 points
// semibold in ink-soft, centred in a 28-point circle of cream-deep. Pressed,
// it fades like any plain button; hovered, its mark turns ink.
struct SheetCloseButton {
  static constexpr qreal kDiameter = 28.0;
  static constexpr qreal kSymbolSize = 11.0;
  // What a screen reader calls it (it shows only the mark).
  static inline const QString kName = QStringLiteral("Close");

  static QRectF rectAt(QPointF topLeft) { return {topLeft, QSizeF(kDiameter, kDiameter)}; }
  static QPainterPath shape(const QRectF& rect);
  static void paint(QPainter& painter, const QRectF& rect, const ButtonState& state, bool focused = false);
};

}  // namespace murmela
