#pragma once

#include "deck/cards/CardFrame.h"
#include "deck/cards/PlacedText.h"

#include <QColor>
#include <QRectF>
#include <QString>

#include <optional>

class QPainter;

namespace murmela {

// A bordered card with an eyebrow, a large number and its unit, a caption
// and a handwritten note. The dashed variant is lighter: cream, with a
// dashed border and an ink note.
struct StreakCard {
  QString eyebrow;
  QString value;
  QString suffix;  // may be empty
  QString caption;
  QString note;
  QColor accent;  // eyebrow and border
  bool dashed = false;
};

struct StreakCardLayout {
  CardFrame frame;  // the rectangle's width, the card's own height
  PlacedText eyebrow;
  PlacedText value;
  std::optional<PlacedText> suffix;  // on the value's baseline
  PlacedText caption;
  PlacedText note;
};

StreakCardLayout layoutStreakCard(const StreakCard& card, const QRectF& rect);
void paintStreakCard(QPainter& painter, const StreakCardLayout& layout);

}  // namespace murmela
