#include "deck/slides/SlideGrid.h"

#include <algorithm>

namespace murmela {

SlideGridLayout layoutSlideGrid(const QList<qreal>& itemHeights, int columns, QPointF topLeft, qreal width,
                                qreal columnSpacing, qreal rowSpacing) {
  SlideGridLayout grid;
  columns = std::max(columns, 1);
  const qreal columnWidth = std::max(0.0, (width - columnSpacing * (columns - 1)) / columns);
  qreal top = topLeft.y();
  for (qsizetype rowStart = 0; rowStart < itemHeights.size(); rowStart += columns) {
    const qsizetype rowEnd = std::min<qsizetype>(rowStart + columns, itemHeights.size());
    const qreal rowHeight = *std::max_element(itemHeights.begin() + rowStart, itemHeights.begin() + rowEnd);
    for (qsizetype i = rowStart; i < rowEnd; ++i) {
      const qreal left = topLeft.x() + static_cast<qreal>(i - rowStart) * (columnWidth + columnSpacing);
      grid.cells.append(QRectF(left, top + (rowHeight - itemHeights[i]) / 2, columnWidth, itemHeights[i]));
    }
    top += rowHeight + rowSpacing;
  }
  grid.height = itemHeights.isEmpty() ? 0.0 : top - rowSpacing - topLeft.y();
  return grid;
}

}  // namespace murmela
