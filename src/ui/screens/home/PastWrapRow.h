#pragma once

#include "app/PastWrap.h"
#include "common/Date.h"
#include "kit/controls/PaintedButton.h"
#include "kit/text/TextLayout.h"

#include <QColor>
#include <QPointF>
#include <QRectF>
#include <QString>

class QPainter;

namespace murmela {

// One saved report in the home screen's library: a badge with the other
// participant's initials on the row's colour, "you & " and the name, the
// detail line (the day it was saved, " · ", the grouped message count and
// " msgs", shown in capitals) and a "›", on a cream-deep card.
struct PastWrapRow {
  static constexpr qreal kBadgeDiameter = 32.0;
  static constexpr qreal kSpacing = 10.0;     // between the badge, the texts, the spacer and the "›"
  static constexpr qreal kTextSpacing = 4.0;  // between the name and the detail line
  static constexpr qreal kHorizontalPadding = 12.0;
  static constexpr qreal kVerticalPadding = 10.0;
  static constexpr qreal kCornerRadius = 6.0;
  static constexpr int kNameLines = 2;  // a long name wraps once, then ends in an ellipsis

  PastWrap wrap;
  QColor color;

  // The badge colour of the row at a zero-based position: rose, sage-deep,
  // gold, sage, and round again.
  static QColor colorFor(int position);
  // The first character of each of the first two pieces of the name split at
  // U+0020 (empty pieces dropped), case kept: "Mary Jane Watson" gives "MJ".
  static QString initials(const QString& name);
  // "Today · 12,345 msgs", or the save date in place of "Today"; as stored,
  // before the row's capitals.
  static QString detailLine(const PastWrap& wrap, Date now);

  struct Layout {
    QRectF frame;  // the card, also the hit area
    QRectF badge;
    TextLayout initials;
    TextLayout name;
    QPointF nameOrigin;
    TextLayout detail;
    QPointF detailOrigin;
    TextLayout chevron;
    QPointF chevronOrigin;
  };
  // The row at `topLeft`, `width` wide, as tall as its content.
  Layout layout(QPointF topLeft, qreal width, Date now) const;
  void paint(QPainter& painter, const Layout& layout, const ButtonState& state = {}, bool showsFocus = false) const;
};

}  // namespace murmela
