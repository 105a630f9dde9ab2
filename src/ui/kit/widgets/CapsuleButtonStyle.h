#pragma once

#include "kit/layout/Insets.h"
#include "kit/text/TextLayout.h"
#include "kit/text/TextStyle.h"
#include "kit/widgets/ButtonHost.h"

#include <QColor>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <optional>

class QPainter;

namespace murmela {

// A colour whose opacity follows the button's state.
struct StateColor {
  QColor color;
  qreal opacity = 1.0;
  qreal hoveredOpacity = 1.0;
  qreal pressedOpacity = 1.0;

  QColor at(const ButtonState& state) const;
};

// The look of a capsule button: a one-line label in a text style, padded,
// on an optional fill, inside an optional outline of the same capsule (drawn
// over the fill, whole: the clip to the capsule comes before it), the whole
// at an opacity. A pressed or hovered button changes only the opacities its
// fill and outline give for that state. Keyboard focus adds a ring outside
// the capsule.
struct CapsuleButtonStyle {
  TextStyle label;
  Insets padding;
  std::optional<StateColor> fill{};
  std::optional<StateColor> outline{};
  qreal outlineWidth = 1.0;
  qreal opacity = 1.0;

  static constexpr qreal kFocusRingGap = 2.5;
  static constexpr qreal kFocusRingWidth = 1.5;
  static constexpr qreal kFocusRingOpacity = 0.55;

  TextLayout layoutLabel(const QString& text) const { return layoutText(text, label); }
  // The button's size: its label's plus the padding.
  QSizeF size(const QString& text) const;
  // The button's rectangle with its top edge centred on `centreX` at `top`.
  QRectF placed(const QString& text, qreal centreX, qreal top) const;
  void paint(QPainter& painter, const QRectF& rect, const QString& text, const ButtonState& state) const;
};

// The keyboard-focus ring around a button shape.
void paintFocusRing(QPainter& painter, const QPainterPath& shape);

}  // namespace murmela
