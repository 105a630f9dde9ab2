#pragma once

#include <QtGlobal>

#include <functional>

namespace murmela {

// The process-wide "motion off" switch: with motion off every transition is
// at its end from the start, so tests, the gallery and the image export see
// static pictures. On by default.
namespace Motion {
bool enabled();
void setEnabled(bool enabled);

// Turns motion off for a scope and puts back what was there before.
class OffScope {
 public:
  OffScope() : previous_(enabled()) { setEnabled(false); }
  ~OffScope() { setEnabled(previous_); }
  OffScope(const OffScope&) = delete;
  OffScope& operator=(const OffScope&) = delete;

 private:
  bool previous_;
};
}  // namespace Motion

enum class Easing { linear, easeInOut, easeOut };

// The eased value of a raw progress t in 0...1 (ease-in-out and ease-out are
// the cubic curves (0.42, 0)(0.58, 1) and (0, 0)(0.58, 1)).
qreal eased(Easing easing, qreal t);

// Seconds on a clock the caller injects; the default is a monotonic clock.
using Clock = std::function<double()>;
double monotonicSeconds();

// An animation as a pure function of time: started at `start` (seconds on
// the caller's clock) for `duration` seconds with an easing. Paint code reads
// progress(now); one animation object only schedules repaints until done.
struct Transition {
  double start = 0.0;
  double duration = 0.0;
  Easing easing = Easing::easeInOut;

  // The eased progress in 0...1; 1 with motion off, with no duration, or after the end.
  qreal progress(double now) const;
  bool finished(double now) const;

  // A transition that starts now, or one that is already over ("instant").
  static Transition startingAt(double now, double duration, Easing easing);
  static Transition instant() { return {}; }
};

}  // namespace murmela
