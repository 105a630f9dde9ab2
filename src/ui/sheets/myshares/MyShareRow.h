#pragma once

#include "kit/controls/PaintedButton.h"
#include "kit/text/TextLayout.h"
#include "sharelinks/ShareCacheEntry.h"

#include <QPointF>
#include <QRectF>
#include <QString>

#include <functional>

class QPainter;

namespace murmela {

// How a share row's two pills show right now.
struct MyShareRowState {
  ButtonState copy;
  ButtonState revoke;
  bool copyShowsFocus = false;
  bool revokeShowsFocus = false;
};

// One live share link in the "My shares" sheet: "you & " and the name over
// the one-line dates ("Created … · Expires …", shown in capitals), then the
// "Copy" and "Revoke" pills, on a cream-deep card.
struct MyShareRow {
  static constexpr qreal kSpacing = 12.0;     // between the texts, the spacer and the pills
  static constexpr qreal kTextSpacing = 5.0;  // between the name and the dates
  static constexpr qreal kButtonSpacing = 6.0;
  static constexpr qreal kPadding = 12.0;
  static constexpr qreal kCornerRadius = 8.0;
  static constexpr qreal kButtonRadius = 7.0;
  static constexpr Insets kButtonInsets = Insets::symmetric(10.0, 7.0);
  static constexpr int kNameLines = 2;  // a long name wraps once, then ends in an ellipsis

  ShareCacheEntry share;
  std::function<void()> onRevoke;
  std::function<void()> onCopy;

  // "Created Mar 4, 2025 · Expires Apr 3, 2025", as stored, before the capitals.
  static QString datesLine(const ShareCacheEntry& share);
  // "you & " + the partner's name: the row's title, whole.
  static QString nameLine(const ShareCacheEntry& share);
  static ButtonStyle copyStyle();
  static ButtonStyle revokeStyle();

  struct Layout {
    QRectF frame;
    TextLayout name;
    QPointF nameOrigin;
    TextLayout dates;
    QPointF datesOrigin;
    QRectF copy;
    QRectF revoke;
  };
  // The row at `topLeft`, `width` wide, as tall as its content.
  Layout layout(QPointF topLeft, qreal width) const;

  void paint(QPainter& painter, const Layout& layout, const MyShareRowState& state = {}) const;
};

}  // namespace murmela
