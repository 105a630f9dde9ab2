#include "kit/layout/Stack.h"

#include <algorithm>

namespace murmela {

Stack::Stack(Qt::Orientation axis, qreal spacing, StackAlign alignment)
    : axis_(axis), spacing_(spacing), alignment_(alignment) {}

int Stack::add(qreal length, qreal crossExtent, const Insets& padding) {
  items_.append({std::max(length, 0.0), crossExtent, padding, false});
  return count() - 1;
}

int Stack::add(const QSizeF& size, const Insets& padding) {
  return axis_ == Qt::Vertical ? add(size.height(), size.width(), padding) : add(size.width(), size.height(), padding);
}

int Stack::addFlexible(qreal minLength, qreal crossExtent, const Insets& padding) {
  items_.append({std::max(minLength, 0.0), crossExtent, padding, true});
  return count() - 1;
}

qreal Stack::before(const Item& item) const { return axis_ == Qt::Vertical ? item.padding.top : item.padding.left; }
qreal Stack::after(const Item& item) const { return axis_ == Qt::Vertical ? item.padding.bottom : item.padding.right; }

qreal Stack::idealLength() const {
  qreal total = 0.0;
  for (const Item& item : items_) total += before(item) + item.length + after(item);
  if (items_.size() > 1) total += spacing_ * static_cast<qreal>(items_.size() - 1);
  return total;
}

qreal Stack::idealCrossExtent() const {
  qreal widest = 0.0;
  for (const Item& item : items_) {
    if (item.cross < 0.0) continue;
    const qreal padding = axis_ == Qt::Vertical ? item.padding.width() : item.padding.height();
    widest = std::max(widest, item.cross + padding);
  }
  return widest;
}

QList<QRectF> Stack::layout(const QRectF& box) const {
  const bool vertical = axis_ == Qt::Vertical;
  const qreal length = vertical ? box.height() : box.width();
  const qreal crossLength = vertical ? box.width() : box.height();
  const qsizetype spacers = std::count_if(items_.begin(), items_.end(), [](const Item& item) { return item.flexible; });
  const qreal extra = spacers > 0 ? std::max(0.0, length - idealLength()) / static_cast<qreal>(spacers) : 0.0;

  QList<QRectF> frames;
  qreal position = vertical ? box.top() : box.left();
  for (const Item& item : items_) {
    const qreal itemLength = item.length + (item.flexible ? extra : 0.0);
    position += before(item);
    const qreal crossBefore = vertical ? item.padding.left : item.padding.top;
    const qreal crossAfter = vertical ? item.padding.right : item.padding.bottom;
    const qreal available = std::max(0.0, crossLength - crossBefore - crossAfter);
    const qreal cross = item.cross < 0.0 ? available : item.cross;
    qreal offset = crossBefore;
    if (item.cross >= 0.0) {
      switch (alignment_) {
        case StackAlign::leading:
          break;
        case StackAlign::center:
          offset = crossBefore + (available - cross) / 2.0;
          break;
        case StackAlign::trailing:
          offset = crossLength - crossAfter - cross;
          break;
      }
    }
    const qreal crossStart = (vertical ? box.left() : box.top()) + offset;
    frames.append(vertical ? QRectF(crossStart, position, cross, itemLength)
                           : QRectF(position, crossStart, itemLength, cross));
    position += itemLength + after(item) + spacing_;
  }
  return frames;
}

BaselineRowLayout layoutBaselineRow(const QList<BaselineItem>& items, qreal spacing, qreal width) {
  BaselineRowLayout row;
  qreal above = 0.0;
  qreal below = 0.0;
  qreal fixed = 0.0;
  int flexible = 0;
  for (const BaselineItem& item : items) {
    if (item.flexible) {
      ++flexible;
    } else {
      above = std::max(above, item.baseline);
      below = std::max(below, item.height - item.baseline);
    }
    fixed += item.width;
  }
  if (items.size() > 1) fixed += spacing * static_cast<qreal>(items.size() - 1);
  const qreal share = (width > 0.0 && flexible > 0) ? std::max(0.0, width - fixed) / flexible : 0.0;

  qreal x = 0.0;
  for (const BaselineItem& item : items) {
    const qreal itemWidth = item.width + (item.flexible ? share : 0.0);
    const qreal top = item.flexible ? 0.0 : above - item.baseline;
    row.frames.append(QRectF(x, top, itemWidth, item.flexible ? above + below : item.height));
    x += itemWidth + spacing;
  }
  row.size = QSizeF(items.isEmpty() ? 0.0 : x - spacing, above + below);
  row.baseline = above;
  return row;
}

}  // namespace murmela
