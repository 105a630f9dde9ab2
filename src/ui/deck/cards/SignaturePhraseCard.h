#pragma once

#include "deck/cards/StatCard.h"

#include <QString>

namespace murmela {

// The highlighted tile of the signature phrase: the phrase in rose
// handwriting between curly quotes, hyphenated for the narrow tile, and its
// count below.
struct SignaturePhraseCard {
  QString phrase;
  QString count;  // already formatted
};

// The phrase line as shown: U+201C, a blank, the hyphenated phrase, U+201D.
QString signaturePhraseLine(const QString& phrase);

// Texts: the phrase line, then the count.
StatTileLayout layoutSignaturePhraseCard(const SignaturePhraseCard& card, const QRectF& rect);
inline void paintSignaturePhraseCard(QPainter& painter, const StatTileLayout& layout) {
  paintStatTile(painter, layout);
}

}  // namespace murmela
