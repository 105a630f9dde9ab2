#pragma once

#include "theme/MurmelaTheme.h"

#include <QColor>
#include <QPainterPath>
#include <QRectF>

class QPainter;

namespace murmela {

// The keyboard-focus ring drawn around a button's shape, reaching
// kFocusRingReach beyond it. Its default colour stands out 3:1 or more
// against the cream screens; on a dark ground pass a light one.
inline constexpr qreal kFocusRingReach = 3.25;
void paintFocusRing(QPainter& painter, const QPainterPath& shape, const QColor& color = MurmelaTheme::sageDeep);
// The ring inside a rounded box, for rows at the edge of a scrolling list
// (whose edge would cut a ring outside them).
void paintInnerFocusRing(QPainter& painter, const QRectF& box, qreal cornerRadius,
                         const QColor& color = MurmelaTheme::sageDeep);

}  // namespace murmela
