#pragma once

#include "kit/controls/PaintedButton.h"
#include "kit/symbols/Symbols.h"
#include "kit/text/TextLayout.h"
#include "sharing/ShareDestination.h"

#include <QColor>
#include <QRectF>
#include <QString>

class QPainter;

namespace murmela {

// The light row that copies the slide or saves images: a hairline across
// its top, the icon on a creamDeep square in the row's accent, the title and
// its small-capital second line, and a "›"; the whole row takes clicks.
struct ActionRow {
  static constexpr qreal kVerticalPadding = 12.0;
  static constexpr qreal kHorizontalPadding = 4.0;
  static constexpr qreal kIconSize = 36.0;
  static constexpr qreal kIconRadius = 10.0;
  static constexpr qreal kSpacing = 14.0;
  static constexpr qreal kTextSpacing = 3.0;

  ShareDestination destination;
  ShareMode mode;
  int slideCount = 14;
  QColor accent;

  QString title() const;
  QString subtitle() const;
  Symbol icon() const;

  struct Layout {
    QRectF frame;  // also the hit area
    QRectF hairline;
    QRectF icon;
    TextLayout title, subtitle, chevron;
    QPointF titleOrigin, subtitleOrigin, chevronOrigin;
  };
  Layout layout(QPointF topLeft, qreal width) const;
  void paint(QPainter& painter, const Layout& layout, const ButtonState& state = {}) const;
};

}  // namespace murmela
