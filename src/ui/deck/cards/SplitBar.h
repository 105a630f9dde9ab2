#pragma once

#include "deck/cards/PlacedText.h"
#include "deck/cards/TwoPartySplit.h"

#include <QRectF>
#include <QString>

class QPainter;

namespace murmela {

// Who sent more: one bar split in two by the two counts, each part labelled
// with its name and whole percent, the counts under the ends.
struct SplitBar {
  QString leftLabel;
  QString rightLabel;
  qint64 left = 0;
  qint64 right = 0;
};

// A label in the bar, laid out twice with one frame: in cream where it lies
// over the sage part and in ink where it lies over the gold part, so that a
// label running past a narrow part stays readable and is never cut.
struct SplitBarLabel {
  PlacedText onSage;
  PlacedText onGold;
};

struct SplitBarLayout {
  QRectF frame;
  TwoPartySplit split;
  PlacedText heading;
  QRectF bar;
  QRectF leftPart;
  QRectF rightPart;
  SplitBarLabel leftText;   // "YOU 48%" at the leading end
  SplitBarLabel rightText;  // "SAM 52%" at the trailing end
  PlacedText leftCaption;   // "1,234 sent"
  PlacedText rightCaption;
};

SplitBarLayout layoutSplitBar(const SplitBar& bar, const QRectF& rect);
void paintSplitBar(QPainter& painter, const SplitBarLayout& layout);

}  // namespace murmela
