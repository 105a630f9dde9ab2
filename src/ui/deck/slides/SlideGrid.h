#pragma once

#include <QList>
#include <QRectF>

namespace murmela {

// Cells of a grid of equal flexible columns, filled in reading order: each
// row is as tall as its tallest item, and an item keeps its own height,
// centred in its row.
struct SlideGridLayout {
  QList<QRectF> cells;  // one per item, in reading order
  qreal height = 0.0;   // of all rows with the spacing between them
};

SlideGridLayout layoutSlideGrid(const QList<qreal>& itemHeights, int columns, QPointF topLeft, qreal width,
                                qreal columnSpacing, qreal rowSpacing);

}  // namespace murmela
