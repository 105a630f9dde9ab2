#pragma once

#include "deck/cards/PlacedText.h"

#include <QColor>
#include <QList>
#include <QRectF>
#include <QString>

class QPainter;

namespace murmela {

// A coloured rounded square with a short label. When the label must be cut
// to fit, `text` gives way and `suffix` (a count after a name) stays whole.
struct LegendSwatch {
  QColor color;
  QString text;
  QString suffix;
};

struct LegendSwatchLayout {
  QRectF frame;
  QRectF square;
  QColor color;
  PlacedText text;  // one line, shrunk to 0.7 and then elided to fit
};

// The swatch's width with its label at full size.
qreal legendSwatchWidth(const LegendSwatch& swatch);
// The swatch at the rectangle's left edge, vertically centred in it; its label
// fits the rest of the rectangle's width.
LegendSwatchLayout layoutLegendSwatch(const LegendSwatch& swatch, const QRectF& rect);

// A row of swatches `spacing` apart: centred, or spread so that the first
// starts at the left edge and the last ends at the right. When the row is too
// wide the longer labels give way first.
enum class LegendRowArrangement { centred, spread };
QList<LegendSwatchLayout> layoutLegendRow(const QList<LegendSwatch>& swatches, const QRectF& rect, qreal spacing,
                                          LegendRowArrangement arrangement = LegendRowArrangement::centred);

void paintLegendSwatch(QPainter& painter, const LegendSwatchLayout& layout);

}  // namespace murmela
