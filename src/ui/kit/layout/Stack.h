#pragma once

#include "kit/layout/Insets.h"
#include "kit/text/TextLayout.h"

#include <QList>
#include <QRectF>

namespace murmela {

// Where items sit across a stack's axis.
enum class StackAlign { leading, center, trailing };

// The spacing a stack puts between items when a layout names no spacing of its own.
inline constexpr qreal kDefaultStackSpacing = 8.0;

// A stack of measured items along one axis, with fixed spacing between
// neighbours (spacers included) and flexible spacers that share what is left
// of the box. Items keep their own length; padding belongs to the item and
// counts in the stack; across the axis an item takes its own extent, placed
// by the alignment, or the whole box when it gives none. Layout is computed
// apart from painting: layout() returns each item's content frame (inside
// its padding), in the order added, spacers included.
class Stack {
 public:
  Stack(Qt::Orientation axis, qreal spacing, StackAlign alignment = StackAlign::center);
  static Stack vertical(qreal spacing = 0.0, StackAlign alignment = StackAlign::center) {
    return Stack(Qt::Vertical, spacing, alignment);
  }
  static Stack horizontal(qreal spacing = 0.0, StackAlign alignment = StackAlign::center) {
    return Stack(Qt::Horizontal, spacing, alignment);
  }

  // An item of `length` along the axis and `crossExtent` across it (negative:
  // the whole box); returns its index.
  int add(qreal length, qreal crossExtent = -1.0, const Insets& padding = {});
  // An item of a size (width and height in the box's terms).
  int add(const QSizeF& size, const Insets& padding = {});
  // A paragraph, by its measured size.
  int add(const TextLayout& text, const Insets& padding = {}) { return add(text.size, padding); }
  // A flexible spacer of at least `minLength`.
  int addSpacer(qreal minLength = 0.0) { return addFlexible(minLength); }
  // A flexible item: it shares what is left of the box with the spacers (two
  // columns that split a row, a panel that takes the rest of a slide).
  int addFlexible(qreal minLength = 0.0, qreal crossExtent = -1.0, const Insets& padding = {});

  int count() const { return static_cast<int>(items_.size()); }
  // The stack's length along the axis with every spacer at its minimum.
  qreal idealLength() const;
  // The widest (tallest) item across the axis, padding included.
  qreal idealCrossExtent() const;
  QList<QRectF> layout(const QRectF& box) const;

 private:
  struct Item {
    qreal length = 0.0;
    qreal cross = -1.0;
    Insets padding;
    bool flexible = false;
  };
  qreal before(const Item& item) const;
  qreal after(const Item& item) const;

  Qt::Orientation axis_;
  qreal spacing_;
  StackAlign alignment_;
  QList<Item> items_;
};

// An item of a row aligned on the first text baseline: its size and its
// first baseline from its top. A flexible item takes a share of the width
// the row is given beyond its items.
struct BaselineItem {
  qreal width = 0.0;
  qreal height = 0.0;
  qreal baseline = 0.0;
  bool flexible = false;

  static BaselineItem of(const TextLayout& text) { return {text.width(), text.height(), text.firstBaseline()}; }
  static BaselineItem spacer() { return {0.0, 0.0, 0.0, true}; }
};

struct BaselineRowLayout {
  QList<QRectF> frames;  // relative to the row's top-left, one per item
  QSizeF size;
  qreal baseline = 0.0;  // the shared baseline from the row's top
};

// Lays items side by side, `spacing` apart, with their first baselines on one
// line. A positive `width` spreads flexible items over what is left.
BaselineRowLayout layoutBaselineRow(const QList<BaselineItem>& items, qreal spacing, qreal width = -1.0);

}  // namespace murmela
