#include "kit/motion/FrameTicker.h"

#include "kit/motion/Motion.h"

namespace murmela {

FrameTicker::FrameTicker(std::function<bool()> animating, std::function<void()> frame, QObject* parent)
    : QObject(parent), animating_(std::move(animating)), frame_(std::move(frame)) {
  timer_.setInterval(kIntervalMs);
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, &FrameTicker::tick);
}

void FrameTicker::kick() {
  frame_();
  if (Motion::enabled() && animating_() && !timer_.isActive()) timer_.start();
}

void FrameTicker::tick() {
  frame_();
  if (!Motion::enabled() || !animating_()) timer_.stop();
}

}  // namespace murmela
