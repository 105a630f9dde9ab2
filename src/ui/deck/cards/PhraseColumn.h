#pragma once

#include "data/WrappedReport.h"
#include "deck/cards/PlacedText.h"

#include <QColor>
#include <QList>
#include <QRectF>
#include <QString>

class QPainter;

namespace murmela {

// One person's ranked phrases: the name in handwriting, then up to five rows
// of phrase and count over hairlines.
struct PhraseColumn {
  QString name;
  QList<PhraseStat> phrases;  // the first five are shown, in order
  QColor accent;
};

inline constexpr int kPhraseColumnRows = 5;

struct PhraseColumnRow {
  QRectF rect;  // the padded row, full column width
  PlacedText phrase;
  PlacedText count;
  QRectF hairline;  // along the row's bottom edge
};

struct PhraseColumnLayout {
  QRectF frame;  // the rectangle's width, the column's own height
  PlacedText name;
  QList<PhraseColumnRow> rows;
};

PhraseColumnLayout layoutPhraseColumn(const PhraseColumn& column, const QRectF& rect);
void paintPhraseColumn(QPainter& painter, const PhraseColumnLayout& layout);

}  // namespace murmela
