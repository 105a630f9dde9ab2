#pragma once

#include "deck/cards/PlacedText.h"

#include <QColor>
#include <QRectF>
#include <QString>

class QPainter;

namespace murmela {

// A labelled progress bar: name and count on one baseline, a track filled
// to value / max, and a handwritten note below.
struct ComparisonBar {
  QString name;  // shown as given
  qint64 value = 0;
  qint64 max = 0;
  QColor color;
  QString note;
};

struct ComparisonBarLayout {
  QRectF frame;
  PlacedText name;
  PlacedText value;
  QRectF track;
  QRectF fill;  // width track x value / max(max, 1); it may run past the track
  PlacedText note;
  QColor color;
};

// The fill's share of the track: value / max(max, 1), never below 0.
double comparisonBarShare(qint64 value, qint64 max);

ComparisonBarLayout layoutComparisonBar(const ComparisonBar& bar, const QRectF& rect);
void paintComparisonBar(QPainter& painter, const ComparisonBarLayout& layout);

}  // namespace murmela
