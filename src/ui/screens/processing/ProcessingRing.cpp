#include "screens/processing/ProcessingRing.h"

#include "theme/MurmelaTheme.h"

#include <QList>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

namespace murmela {
namespace {

constexpr qreal kTrackOpacity = 0.18;
constexpr qreal kMinimumScale = 0.25;
constexpr int kBandRows = 2;
constexpr int kUprightBandRows = 6;

// The circle's points one device pixel apart (`steps` of them, the first
// again at the end), from twelve o'clock clockwise.
QList<QPointF> circlePoints(const QRectF& circle, quint64 steps) {
  const QPointF centre = circle.center();
  const qreal radius = circle.width() / 2.0;
  QList<QPointF> points;
  points.reserve(static_cast<qsizetype>(steps) + 1);
  for (quint64 step = 0; step <= steps; ++step) {
    const qreal angle = 2.0 * std::numbers::pi * static_cast<qreal>(step) / static_cast<qreal>(steps);
    points.append(centre + QPointF(radius * std::sin(angle), -radius * std::cos(angle)));
  }
  return points;
}

// The arc as a line through those points from `from` to `to`: a longer arc
// keeps the shorter one's points, so its pixels stay the same away from the
// moved end. Only the stretches that reach into the rows from `top` to
// `bottom` are made: a pixel row's coverage comes from the outline within
// that row alone, and a cut end lies further away than its reach: the line's
// half width around its last point, plus a step of the points either side of
// it, antialiasing's pixel and one to spare (`pixel` long).
QPainterPath arcPath(const QList<QPointF>& points, quint64 from, quint64 to, qreal top, qreal bottom, qreal pixel) {
  const qreal reach = ProcessingRing::kLineWidth / 2.0 + 4.0 * pixel;
  QPainterPath arc;
  bool drawing = false;
  for (quint64 step = from; step <= to; ++step) {
    const QPointF& at = points[static_cast<qsizetype>(step)];
    const bool near = at.y() >= top - reach && at.y() <= bottom + reach;
    if (near && drawing)
      arc.lineTo(at);
    else if (near)
      arc.moveTo(at);
    drawing = near;
  }
  return arc;
}

}  // namespace

quint64 ProcessingRing::stepCount(qreal diameter, qreal scale) {
  const qreal pixels = std::ceil(std::numbers::pi * diameter * std::max<qreal>(scale, 0.0));
  return std::max<quint64>(1, static_cast<quint64>(pixels));
}

quint64 ProcessingRing::sweepStep(double fraction, qreal diameter, qreal scale) {
  const quint64 steps = stepCount(diameter, scale);
  const double clamped = std::isfinite(fraction) ? std::clamp(fraction, 0.0, 1.0) : 0.0;
  return std::clamp<quint64>(static_cast<quint64>(std::llround(clamped * static_cast<double>(steps))), 1, steps);
}

void ProcessingRing::paint(QPainter& painter, const QRectF& circle, double fraction) const {
  const qreal scale = painter.deviceTransform().m11();
  const quint64 steps = stepCount(circle.width(), scale);
  const quint64 step = sweepStep(fraction, circle.width(), scale);
  const qreal cap = kLineWidth / 2.0;
  const qreal pixel = 1.0 / std::max<qreal>(scale, kMinimumScale);
  std::optional<QList<QPointF>> points;  // made once, when something is drawn
  const auto pointsOnce = [&]() -> const QList<QPointF>& {
    if (!points) points = circlePoints(circle, steps);
    return *points;
  };
  cache_.paint(
      painter, circle.adjusted(-kLineWidth, -kLineWidth, kLineWidth, kLineWidth), step,
      [&](QPainter& ring) {
        // The cache draws a few pixel rows at a time: each time only the
        // lines that reach them.
        const QRectF rows = ring.clipBoundingRect();
        ring.setRenderHint(QPainter::Antialiasing);
        ring.strokePath(arcPath(pointsOnce(), 0, steps, rows.top(), rows.bottom(), pixel),
                        QPen(withOpacity(MurmelaTheme::sageDeep, kTrackOpacity), kLineWidth, Qt::SolidLine, Qt::FlatCap,
                             Qt::MiterJoin));
        ring.strokePath(arcPath(pointsOnce(), 0, step, rows.top(), rows.bottom(), pixel),
                        QPen(MurmelaTheme::rose, kLineWidth, Qt::SolidLine, Qt::RoundCap, Qt::MiterJoin));
      },
      // Between two lengths only the stretch of the circle between their
      // ends changes, with the round end's reach around it.
      [&](quint64 from, quint64 to) {
        return arcPath(pointsOnce(), std::min(from, to), std::max(from, to), circle.top(), circle.bottom(), pixel)
            .boundingRect()
            .adjusted(-cap, -cap, cap, cap);
      },
      // Where both edges of the line run within 45 degrees of upright, a row
      // crosses each in at most two pixels: a fill makes at most ten spans a
      // row there (two crossings of the circle), and a band takes six rows.
      [&](qreal top) {
        const qreal upright = (circle.height() / 2.0 - cap) * std::numbers::sqrt2 / 2.0;
        const qreal rows = kUprightBandRows * pixel;
        return std::abs(top - circle.center().y()) <= upright && std::abs(top + rows - circle.center().y()) <= upright
                   ? kUprightBandRows
                   : kBandRows;
      });
}

}  // namespace murmela
