#include "kit/motion/Motion.h"

#include <QEasingCurve>
#include <QElapsedTimer>
#include <QPointF>

#include <algorithm>
#include <atomic>
#include <cmath>

namespace murmela {
namespace {

std::atomic<bool> motionEnabled{true};

QEasingCurve bezier(QPointF first, QPointF second) {
  QEasingCurve curve(QEasingCurve::BezierSpline);
  curve.addCubicBezierSegment(first, second, QPointF(1.0, 1.0));
  return curve;
}

}  // namespace

namespace Motion {
bool enabled() { return motionEnabled.load(); }
void setEnabled(bool enabled) { motionEnabled.store(enabled); }
}  // namespace Motion

qreal eased(Easing easing, qreal t) {
  t = std::clamp(t, 0.0, 1.0);
  static const QEasingCurve easeInOut = bezier(QPointF(0.42, 0.0), QPointF(0.58, 1.0));
  static const QEasingCurve easeOut = bezier(QPointF(0.0, 0.0), QPointF(0.58, 1.0));
  switch (easing) {
    case Easing::linear:
      return t;
    case Easing::easeInOut:
      return easeInOut.valueForProgress(t);
    case Easing::easeOut:
      return easeOut.valueForProgress(t);
  }
  return t;
}

double monotonicSeconds() {
  static QElapsedTimer timer = [] {
    QElapsedTimer started;
    started.start();
    return started;
  }();
  return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

qreal Transition::progress(double now) const {
  // Exactly 1 once finished() holds: (start + duration - start) / duration
  // may fall a rounding step short of 1, which would leave a settled picture
  // a fraction of a pixel off its place.
  if (finished(now)) return 1.0;
  const double raw = (now - start) / duration;
  if (std::isnan(raw)) return 1.0;
  return eased(easing, std::clamp(raw, 0.0, 1.0));
}

bool Transition::finished(double now) const {
  return !Motion::enabled() || !(duration > 0.0) || now >= start + duration;
}

Transition Transition::startingAt(double now, double duration, Easing easing) { return {now, duration, easing}; }

}  // namespace murmela
