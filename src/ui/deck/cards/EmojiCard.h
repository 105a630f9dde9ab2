#pragma once

#include "data/WrappedReport.h"
#include "deck/cards/CardFrame.h"
#include "deck/cards/PlacedText.h"

#include <QRectF>

#include <optional>

class QPainter;

namespace murmela {

// One emoji of the top list with its count. The first three ranks are drawn
// taller, on cream-deep, with a "#n" badge; the rest smaller and paler.
struct EmojiCard {
  int rank = 1;  // counts from 1
  CountedString emoji;
};

bool isTopEmojiRank(int rank);  // rank 3 or better

struct EmojiCardLayout {
  CardFrame frame;  // the rectangle's width; 110 high at the top size, 82 otherwise
  std::optional<PlacedText> badge;
  PlacedText emoji;
  PlacedText count;
};

EmojiCardLayout layoutEmojiCard(const EmojiCard& card, const QRectF& rect);
// The card's height at its rank's size.
qreal emojiCardHeight(int rank);
void paintEmojiCard(QPainter& painter, const EmojiCardLayout& layout);

}  // namespace murmela
