#pragma once

#include "data/ContactSummary.h"
#include "kit/text/TextLayout.h"

#include <QRectF>
#include <QString>

class QPainter;

namespace murmela {

// One conversation of the contact picker's list: the initials badge, the
// name with the message count, the handle and the date range, in a rounded
// row that is rose-outlined on cream-deep while selected. A long name or
// handle is cut to one line with an ellipsis; the count keeps its place.
struct ChatRow {
  static constexpr qreal kPadding = 10.0;
  static constexpr qreal kBadgeSize = 34.0;
  static constexpr qreal kSpacing = 10.0;       // badge to text column
  static constexpr qreal kColumnSpacing = 2.0;  // between the text lines
  static constexpr qreal kNameToCount = 8.0;    // the least room between name and count
  static constexpr qreal kCornerRadius = 6.0;

  ContactSummary contact;
  bool selected = false;

  // "Jan 5, 2024 — Mar 2, 2025" in the user's locale and zone (shown upper-cased).
  QString rangeLabel() const;
  // The count in the locale's grouping followed by " msgs".
  QString countLabel() const;
  QString name() const;
  QString initials() const;

  struct Layout {
    QRectF bounds;  // the row, from (0, 0)
    QRectF badge;
    TextLayout initials;
    TextLayout name;
    QRectF nameRect;
    TextLayout count;
    QRectF countRect;
    TextLayout handle;
    QRectF handleRect;
    TextLayout range;
    QRectF rangeRect;
  };
  Layout layout(qreal width) const;
  // Whether the name and the handle draw wholly in the row's own typefaces:
  // such rows all have one height, which a long list needs to know without
  // laying each of them out.
  bool inOwnTypefaces() const;
  // Paints the row with its top-left at (0, 0).
  void paint(QPainter& painter, const Layout& layout) const;
};

}  // namespace murmela
