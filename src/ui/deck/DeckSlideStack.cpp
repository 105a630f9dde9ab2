#include "deck/DeckSlideStack.h"

#include "kit/paint/PainterState.h"

#include <QPainter>

namespace murmela {

SlidePlacement SlideMove::arriving(qreal progress, qreal width) { return {width * (1.0 - progress), progress}; }

SlidePlacement SlideMove::leaving(qreal progress, qreal width, SlidePlacement from) {
  return {from.offset + (-width - from.offset) * progress, from.opacity * (1.0 - progress)};
}

void DeckSlideStack::show(int index, QImage image, double now) {
  const bool animated = current_.has_value() && Motion::enabled();
  if (current_) {
    Layer leaving = std::move(*current_);
    // Still on its way in (the viewer pressed again): it leaves from where it is.
    leaving.from = SlideMove::arriving(leaving.transition.progress(now), 1.0);  // offset as a share of the width
    leaving.transition = Transition::startingAt(now, kDuration, Easing::easeInOut);
    if (animated) leaving_.append(std::move(leaving));
  }
  current_ = Layer{index,
                   std::move(image),
                   animated ? Transition::startingAt(now, kDuration, Easing::easeInOut) : Transition::instant(),
                   {}};
  if (!animated) leaving_.clear();
}

void DeckSlideStack::setCurrentImage(QImage image) {
  if (current_) current_->image = std::move(image);
}

void DeckSlideStack::clear() {
  current_.reset();
  leaving_.clear();
}

std::optional<int> DeckSlideStack::currentIndex() const {
  return current_ ? std::optional<int>(current_->index) : std::nullopt;
}

bool DeckSlideStack::isAnimating(double now) const {
  if (current_ && !current_->transition.finished(now)) return true;
  for (const Layer& layer : leaving_)
    if (!layer.transition.finished(now)) return true;
  return false;
}

void DeckSlideStack::settle(double now) {
  leaving_.removeIf([now](const Layer& layer) { return layer.transition.finished(now); });
}

QList<DeckSlideStack::Placed> DeckSlideStack::placements(double now, qreal width) const {
  QList<Placed> placed;
  for (const Layer& layer : leaving_) {
    if (layer.transition.finished(now)) continue;
    SlidePlacement from = layer.from;
    from.offset *= width;  // stored as a share of the width
    placed.append({&layer, SlideMove::leaving(layer.transition.progress(now), width, from)});
  }
  if (current_) placed.append({&*current_, SlideMove::arriving(current_->transition.progress(now), width)});
  return placed;
}

void DeckSlideStack::paint(QPainter& painter, double now, qreal width) const {
  for (const Placed& placed : placements(now, width)) {
    if (placed.placement.opacity <= 0.0) continue;
    const OpacityScope scope(painter, placed.placement.opacity);
    painter.drawImage(QPointF(placed.placement.offset, 0.0), placed.layer->image);
  }
}

}  // namespace murmela
