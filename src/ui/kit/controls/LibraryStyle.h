#pragma once

#include "kit/controls/PaintedButton.h"
#include "theme/MurmelaTheme.h"

#include <QColor>
#include <QRectF>

class QPainter;

namespace murmela {

// The card look of the home screen, the "My shares" sheet and the alerts
// over them: a rounded rectangle with continuous corners filled with
// cream-deep, and, where the look has one, a 1-point sage-deep outline at
// 0.16 on the same shape.
struct LibraryCard {
  static constexpr qreal kOutlineOpacity = 0.16;

  qreal radius = 6.0;
  QColor fill = MurmelaTheme::creamDeep;
  bool outlined = true;

  void paint(QPainter& painter, const QRectF& rect) const;
};

// A painted plain button of these screens in its state, with the keyboard
// focus ring around its shape when it shows the focus.
void paintLibraryButton(QPainter& painter, const ButtonStyle& style, const QRectF& rect, const ButtonState& state,
                        bool showsFocus);

}  // namespace murmela
