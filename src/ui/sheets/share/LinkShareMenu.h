#pragma once

#include "kit/text/TextLayout.h"

#include <QList>
#include <QRectF>
#include <QString>

#include <optional>

class QPainter;

namespace murmela {

// What "Share..." offers for a link on this desktop, in place of a system
// sharing picker: a small painted menu standing above the button.
struct LinkShareMenu {
  enum class Item { copyLink, openInBrowser, emailLink };
  static constexpr qreal kRowHeight = 34.0;
  static constexpr qreal kHorizontalPadding = 14.0;
  static constexpr qreal kVerticalPadding = 5.0;
  static constexpr qreal kCornerRadius = 10.0;
  static constexpr qreal kGap = 6.0;

  static QList<Item> items();
  // "Copy link", "Open in browser", "Email link…".
  static QString text(Item item);
  static TextStyle textStyle();

  struct Row {
    Item item;
    QRectF frame;  // also the hit area
    TextLayout text;
    QPointF textOrigin;
  };
  struct Layout {
    QRectF frame;
    QList<Row> rows;
  };
  // Right-aligned with the button, its bottom `kGap` above the button's top,
  // at least as wide as the button.
  static Layout layout(const QRectF& button);
  static std::optional<Item> hitTest(const Layout& layout, QPointF point);
  static void paint(QPainter& painter, const Layout& layout, std::optional<Item> hovered, std::optional<Item> pressed,
                    std::optional<Item> focused);
};

}  // namespace murmela
