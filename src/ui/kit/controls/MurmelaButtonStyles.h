#pragma once

#include "kit/controls/PaintedButton.h"

#include <QRectF>
#include <QSizeF>
#include <QString>

class QPainter;

namespace murmela {

// The filled capsule of a screen's main action: Inter 12 semibold, tracking
// 1.6, upper-cased, cream on sage-deep (0.85 while pressed), an ink outline at
// 0.3. `disabled` only changes the look (the whole button at 0.55): a screen
// that must block the action also lists the button as disabled.
struct MurmelaPrimaryButtonStyle {
  bool disabled = false;

  static constexpr qreal kFontSize = 12.0;
  static constexpr qreal kTracking = 1.6;
  static constexpr Insets kPadding = Insets::symmetric(24.0, 12.0);
  static constexpr qreal kHoveredFillOpacity = 0.93;
  static constexpr qreal kPressedFillOpacity = 0.85;
  static constexpr qreal kOutlineOpacity = 0.3;
  static constexpr qreal kDisabledOpacity = 0.55;

  ButtonStyle style(const QString& label) const;
  QSizeF size(const QString& label) const;
  // The button with its top edge at `top`, centred on `centreX`.
  QRectF placed(const QString& label, qreal centreX, qreal top) const;
  void paint(QPainter& painter, const QRectF& rect, const QString& label, ButtonState state,
             bool focused = false) const;
};

// The outlined capsule of secondary actions: Inter medium, tracking 1.6,
// upper-cased, ink-soft, no fill, an ink outline at 0.22 (0.4 while pressed);
// 11 points padded 16 x 10, or 9.5 points padded 12 x 6 when `compact`. It has
// no disabled look of its own.
struct MurmelaGhostButtonStyle {
  bool compact = false;

  static constexpr qreal kFontSize = 11.0;
  static constexpr qreal kCompactFontSize = 9.5;
  static constexpr qreal kTracking = 1.6;
  static constexpr Insets kPadding = Insets::symmetric(16.0, 10.0);
  static constexpr Insets kCompactPadding = Insets::symmetric(12.0, 6.0);
  static constexpr qreal kOutlineOpacity = 0.22;
  static constexpr qreal kHoveredOutlineOpacity = 0.3;
  static constexpr qreal kPressedOutlineOpacity = 0.4;

  // The look in a state: only the outline follows it.
  ButtonStyle style(const QString& label, const ButtonState& state = {}) const;
  QSizeF size(const QString& label) const;
  QRectF placed(const QString& label, qreal centreX, qreal top) const;
  void paint(QPainter& painter, const QRectF& rect, const QString& label, ButtonState state,
             bool focused = false) const;
};

}  // namespace murmela
