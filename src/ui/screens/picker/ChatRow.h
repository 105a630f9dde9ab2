#pragma once

#include "data/ContactSummary.h"
#include "kit/text/FallbackCases.h"
#include "kit/text/TextLayout.h"

#include <QHashFunctions>
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
  // The fonts a row's name and handle fall back to: rows of one case have
  // one height, which a long list knows without shaping them.
  struct Case {
    int name = 0;
    int handle = 0;
    friend bool operator==(const Case&, const Case&) = default;
    friend size_t qHash(const Case& fallbackCase, size_t seed = 0) {
      return qHashMulti(seed, fallbackCase.name, fallbackCase.handle);
    }
  };
  // The boxes of a row's lines, which place its parts and give its height:
  // the name's and the handle's by their case, the count's and the dates'
  // by the user's locale (whose month names and digits every row shares).
  struct Lines {
    LineBox name;
    LineBox count;
    LineBox handle;
    LineBox range;
  };
  Case fallbackCase() const;
  // Whether the row is in case {0, 0} at a glance (its name and handle
  // printable ASCII in the row's own fonts).
  bool plainAtAGlance() const;
  static Lines lines(Case fallbackCase);
  // The height of every row whose lines are these.
  static qreal height(const Lines& lines);

  // The row laid out in its case's line boxes: exactly height(lines) tall,
  // each text with its first baseline on its line's.
  Layout layout(qreal width) const { return layout(width, lines(fallbackCase())); }
  Layout layout(qreal width, const Lines& lines) const;
  // Paints the row with its top-left at (0, 0).
  void paint(QPainter& painter, const Layout& layout) const;
};

}  // namespace murmela
