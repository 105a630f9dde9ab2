#pragma once

#include "kit/text/TextLayout.h"
#include "kit/text/TextStyle.h"

#include <QColor>
#include <QRectF>
#include <QString>

class QPainter;

namespace murmela {

// A hand-written aside above a screen's title: the text and one space in
// Caveat 22, turned by `rotation` degrees about its centre (which moves
// nothing else), centred across the width it is given.
struct Eyebrow {
  static constexpr qreal kFontSize = 22.0;

  QString text;
  QColor color;
  qreal rotation = 0.0;

  TextStyle style() const;
  TextLayout layout() const { return layoutText(text + QLatin1Char(' '), style()); }
  // Its unrotated box with its top at `top`, centred in [left, left + width].
  QRectF rect(qreal top, qreal left, qreal width) const;
  void paint(QPainter& painter, const QRectF& rect) const;
};

// A screen's serif title: DM Serif Display at `size`, ink, tracking -0.8,
// lines centred and drawn 2 points closer than the font sets them, wrapping
// within the width it is given.
struct OnbTitle {
  static constexpr qreal kTracking = -0.8;
  static constexpr qreal kLineSpacing = -2.0;

  QString text;
  qreal size = 38.0;

  TextStyle style() const;
  TextLayout layout(qreal width) const { return layoutText(text, style(), width); }
};

// The box of a laid-out text with its top at `top`, centred in [left, left + width].
QRectF centredRect(const TextLayout& text, qreal top, qreal left, qreal width);

}  // namespace murmela
