#pragma once

#include "deck/cards/CardFrame.h"
#include "deck/cards/PlacedText.h"

#include <QList>
#include <QRectF>
#include <QString>

class QPainter;

namespace murmela {

// A number tile: a small upper-cased label over a large value. A highlighted
// tile is filled cream-deep with a rose border and a rose value.
struct StatCard {
  QString label;
  QString value;  // already formatted
  bool highlight = false;
};

// A tile's content: texts stacked at the leading edge, 6 apart, vertically
// centred in a frame at least 92 high, inset 14 at the sides and 12 above
// and below. The tile takes the rectangle's width and its own height.
struct StatTileLayout {
  CardFrame frame;
  QList<PlacedText> texts;  // top to bottom
};

StatTileLayout layoutStatTile(const QList<TextLayout>& texts, bool highlight, const QRectF& rect);
// The tile's content width for a tile `width` wide.
qreal statTileContentWidth(qreal width);
void paintStatTile(QPainter& painter, const StatTileLayout& layout);

// Texts: the label, then the value.
StatTileLayout layoutStatCard(const StatCard& card, const QRectF& rect);
inline void paintStatCard(QPainter& painter, const StatTileLayout& layout) { paintStatTile(painter, layout); }

}  // namespace murmela
