#pragma once

#include "data/WrappedReport.h"
#include "deck/cards/EmojiCard.h"
#include "deck/slides/SlideText.h"

#include <QList>
#include <QRectF>

class QPainter;

namespace murmela {

// The third slide: the signature phrase large in curly quotes with how often
// it was typed, and the top emojis as a grid of at most nine tiles.
struct VocabularySlide {
  static constexpr int kMaxEmojis = 9;

  const WrappedReport& report;

  struct Layout {
    SlideText youTyped;  // "you typed ", turned
    SlideText phrase;    // “did you eat yet”, at most two lines
    SlideText count;     // grouped, on one baseline with "TIMES"
    SlideText times;
    SlideText flavor;               // the flavor line with its trailing blank
    SlideText heading;              // "✦ TOP EMOJI ✦"
    QList<EmojiCardLayout> emojis;  // rank i + 1 at position i
    QList<QRectF> elementFrames() const;
  };
  Layout layout() const;
  void paint(QPainter& painter) const;
};

}  // namespace murmela
