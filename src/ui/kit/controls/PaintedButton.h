#pragma once

#include "kit/controls/SymbolLabel.h"
#include "kit/layout/Insets.h"
#include "kit/paint/Pens.h"

#include <QColor>
#include <QRectF>
#include <QSizeF>

#include <optional>

class QPainter;

namespace murmela {

// How much a pressed plain button (a label without chrome) fades.
inline constexpr qreal kPlainButtonPressedOpacity = 0.6;

// The look of a painted button: its label, content colour, fill (and the fill
// while pressed), outline, shape and the opacities of its states. A look is a
// value beside the code that uses it; there is one button painter.
struct ButtonStyle {
  SymbolLabel label;
  QColor content;  // the label's colour
  QColor fill = Qt::transparent;
  std::optional<QColor> pressedFill;  // none: the fill at pressedOpacity
  std::optional<QColor> hoverFill;
  std::optional<QColor> outline;
  qreal outlineWidth = 1.0;
  qreal cornerRadius = -1.0;  // negative: a capsule
  QSizeF fixedSize;           // empty: the label's size and the padding
  Insets padding;
  qreal pressedOpacity = 0.7;
  qreal disabledOpacity = 0.4;
};

// What the pointer does to a button.
struct ButtonState {
  bool hovered = false;
  bool pressed = false;
  bool disabled = false;
};

struct ButtonLayout {
  QRectF frame;  // also the hit area
  SymbolLabel::Layout label;
  QPointF labelOrigin;
};

// The button centred on a point, or filling a frame.
ButtonLayout layoutButton(const ButtonStyle& style, QPointF centre);
ButtonLayout layoutButton(const ButtonStyle& style, const QRectF& frame);
void paintButton(QPainter& painter, const ButtonStyle& style, const ButtonLayout& layout,
                 const ButtonState& state = {});

}  // namespace murmela
