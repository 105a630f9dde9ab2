#pragma once

#include <QColor>
#include <QList>
#include <QPen>

namespace murmela {

// A stroke described the way the drawing code reads: width, caps, joins and
// miter limit set explicitly (Qt's defaults are square caps, bevel joins and
// a miter limit of 2), dash lengths and phase in points (Qt counts them in
// pen widths). The defaults are butt caps, miter joins (beveled past the limit), miter
// limit 10, solid.
struct StrokeStyle {
  qreal width = 1.0;
  Qt::PenCapStyle cap = Qt::FlatCap;
  // Past the miter limit a join becomes a bevel, as in SVG (Qt::MiterJoin
  // would clip the spike at the limit instead).
  Qt::PenJoinStyle join = Qt::SvgMiterJoin;
  qreal miterLimit = 10.0;
  QList<qreal> dash{};  // on, off, on, off... in points; empty: solid
  qreal dashPhase = 0.0;

  QPen pen(const QColor& color) const;

  // The same stroke with its dash pattern laid on an open line of `length`
  // whose two ends fall in the middle of a dash: the pattern is stretched or
  // shrunk evenly to hold a whole number of repeats (at least one) and starts
  // half way through its first dash. Lines drawn this way end to end (the sides
  // of an outline split at its corners) share a whole dash at each joint; with
  // the line drawn `overhang` longer at both ends (so the two halves overlap
  // rather than meet edge to edge) the end dashes reach that far too.
  // Solid strokes stay.
  StrokeStyle centredOnEnds(qreal length, qreal overhang = 0.0) const;
};

inline QPen makePen(const QColor& color, const StrokeStyle& style) { return style.pen(color); }

// A dashed stroke of `width` with the pattern in points (butt caps, miter
// joins unless given).
StrokeStyle dashedStroke(qreal width, QList<qreal> dash, Qt::PenCapStyle cap = Qt::FlatCap);

// A pen's dash pattern and offset back in points (empty for a solid pen).
QList<qreal> dashPatternInPoints(const QPen& pen);
qreal dashOffsetInPoints(const QPen& pen);

}  // namespace murmela
