#include "kit/paint/Pens.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace murmela {
namespace {

// Qt measures dashes in pen widths, and a pen thinner than 1 as if it were 1.
qreal dashUnit(qreal width) { return std::max(width, 1.0); }

}  // namespace

QPen StrokeStyle::pen(const QColor& color) const {
  QPen result(color);
  result.setWidthF(width);
  result.setCapStyle(cap);
  result.setJoinStyle(join);
  result.setMiterLimit(miterLimit);
  result.setCosmetic(false);
  if (!dash.isEmpty()) {
    QList<qreal> pattern;
    for (const qreal length : dash) pattern.append(std::max(length, 0.0) / dashUnit(width));
    if (pattern.size() % 2 != 0) pattern += pattern;  // an odd list repeats, as in a dash array
    result.setDashPattern(pattern);
    result.setDashOffset(dashPhase / dashUnit(width));
  }
  return result;
}

StrokeStyle StrokeStyle::centredOnEnds(qreal length, qreal overhang) const {
  qreal period = std::accumulate(dash.cbegin(), dash.cend(), 0.0);
  if (dash.size() % 2 != 0) period *= 2.0;
  if (period <= 0.0 || length <= 0.0) return *this;
  const qreal repeats = std::max(std::round(length / period), 1.0);
  const qreal stretch = length / (repeats * period);
  StrokeStyle result = *this;
  for (qreal& part : result.dash) part *= stretch;
  result.dashPhase = result.dash.front() / 2.0 - overhang;
  if (result.dashPhase < 0.0) result.dashPhase += period * stretch;  // an overhang past half a dash
  return result;
}

StrokeStyle dashedStroke(qreal width, QList<qreal> dash, Qt::PenCapStyle cap) {
  StrokeStyle style;
  style.width = width;
  style.cap = cap;
  style.dash = std::move(dash);
  return style;
}

QList<qreal> dashPatternInPoints(const QPen& pen) {
  if (pen.style() == Qt::SolidLine || pen.style() == Qt::NoPen) return {};
  QList<qreal> points;
  for (const qreal length : pen.dashPattern()) points.append(length * dashUnit(pen.widthF()));
  return points;
}

qreal dashOffsetInPoints(const QPen& pen) { return pen.dashOffset() * dashUnit(pen.widthF()); }

}  // namespace murmela
