#pragma once

#include "kit/motion/Motion.h"

#include <QImage>
#include <QList>

#include <optional>

class QPainter;

namespace murmela {

// Where one slide picture sits at a moment: moved along x, at an opacity.
struct SlidePlacement {
  qreal offset = 0.0;
  qreal opacity = 1.0;
  friend bool operator==(const SlidePlacement&, const SlidePlacement&) = default;
};

// The deck's slide change, the same whichever way the user went: the arriving
// slide moves in from the trailing edge while it fades in, the leaving one
// moves out towards the leading edge while it fades out. A full move is one
// width of the deck.
namespace SlideMove {
SlidePlacement arriving(qreal progress, qreal width);
// A leaving slide starts where it was (a slide still arriving when the next
// change came leaves from its place on the way in).
SlidePlacement leaving(qreal progress, qreal width, SlidePlacement from);
}  // namespace SlideMove

// The pictures the deck's slide layer shows: the current slide and the ones
// still leaving, each a picture made once per change and moved and faded by
// its own transition (ease-in-out, 0.22 seconds). Settled, it shows the
// current picture alone, unmoved and opaque.
class DeckSlideStack {
 public:
  static constexpr double kDuration = 0.22;

  struct Layer {
    int index = 0;
    QImage image;
    Transition transition;
    SlidePlacement from;  // leaving layers: where the move out started
  };
  struct Placed {
    const Layer* layer;
    SlidePlacement placement;
  };

  // Shows another slide: the current one starts leaving, the new one arrives
  // (at once when there was none before or motion is off).
  void show(int index, QImage image, double now);
  // The same slide in a new look (hover, press), without a transition.
  void setCurrentImage(QImage image);
  void clear();

  std::optional<int> currentIndex() const;
  const Layer* current() const { return current_ ? &*current_ : nullptr; }
  bool isAnimating(double now) const;
  // Drops the leaving layers whose move is over.
  void settle(double now);
  // Every layer that is still visible, bottom first, placed at `now`.
  QList<Placed> placements(double now, qreal width) const;
  void paint(QPainter& painter, double now, qreal width) const;

 private:
  std::optional<Layer> current_;
  QList<Layer> leaving_;
};

}  // namespace murmela
