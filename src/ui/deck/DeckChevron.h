#pragma once

#include "kit/controls/PaintedButton.h"
#include "kit/paint/Shadow.h"

#include <QColor>
#include <QRectF>
#include <QSizeF>

#include <array>

class QPainter;

namespace murmela {

enum class ChevronDirection { left, right };

// One of the deck's two navigation buttons: a semibold chevron at 14 points
// in a 24-point square (the whole square takes clicks), ink while hovered and
// ink-soft otherwise, with two soft shadows. A disabled chevron is invisible
// and takes no clicks. Painted by the deck; no widget of its own.
struct DeckChevron {
  static constexpr QSizeF kSize{24.0, 24.0};
  static constexpr qreal kSymbolSize = 14.0;
  static constexpr double kHoverDuration = 0.12;  // ease-out
  static constexpr std::array<ShadowStyle, 2> kShadows = {
      ShadowStyle{QColor(0, 0, 0, 71), 2.0, QPointF(0.0, 1.0)},  // black at 0.28
      ShadowStyle{QColor(0, 0, 0, 46), 5.0, QPointF(0.0, 2.0)},  // black at 0.18
  };

  ChevronDirection direction = ChevronDirection::left;
  bool disabled = false;

  // The square at the deck's left or right edge, halfway down.
  QRectF frame(const QSizeF& deck) const;
  bool hits(const QSizeF& deck, QPointF point) const { return !disabled && frame(deck).contains(point); }

  // ink-soft at 0, ink at 1 (the hover look, animated between the two).
  static QColor color(qreal hover);
  ButtonStyle style(qreal hover) const;
  void paint(QPainter& painter, const QSizeF& deck, qreal hover, bool pressed) const;
};

}  // namespace murmela
