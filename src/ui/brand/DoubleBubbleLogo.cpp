#include "brand/DoubleBubbleLogo.h"

#include "brand/BubbleShape.h"
#include "kit/paint/Shapes.h"
#include "theme/MurmelaTheme.h"

#include <QLineF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace murmela {
namespace {

// Shares of the size: the frame's width, and each bubble's size and offset
// from the frame's centre.
constexpr qreal kWidthShare = 1.08;
constexpr QSizeF kBackShare(kWidthShare, 1.0);
constexpr QPointF kBackOffset(-0.08, -0.05);
constexpr QSizeF kFrontShare(0.78, 0.58);
constexpr QPointF kFrontOffset(0.14, 0.12);
constexpr qreal kBackLineShare = 1.0 / 14.0;
constexpr qreal kFrontLineShare = 0.0625;
constexpr qreal kFrontDash = 3.0;  // points on and off, whatever the size

QRectF centredAt(QPointF centre, QSizeF size) {
  return QRectF(centre - QPointF(size.width() / 2.0, size.height() / 2.0), size);
}

// A side of an outline drawn `by` longer at both ends, on along the
// neighbouring sides (a few straight steps on each, close enough over so short
// a stretch), so that its end dashes overlap the neighbours' instead of meeting
// them edge to edge, where a seam would show.
constexpr int kOverhangSteps = 4;

QPainterPath overhanging(const QPainterPath& previous, const QPainterPath& side, const QPainterPath& next, qreal by) {
  const auto at = [](const QPainterPath& path, qreal length) {
    return path.pointAtPercent(path.percentAtLength(length));
  };
  QPainterPath result(at(previous, previous.length() - by));
  for (int step = 1; step < kOverhangSteps; ++step)
    result.lineTo(at(previous, previous.length() - by + by * step / kOverhangSteps));
  result.connectPath(side);
  for (int step = 1; step <= kOverhangSteps; ++step) result.lineTo(at(next, by * step / kOverhangSteps));
  return result;
}

DoubleBubbleLogo::Bubble bubbleIn(const QRectF& outline, const StrokeStyle& stroke, const QColor& color) {
  const BubbleParts parts = bubbleParts(outline);
  const qreal half = stroke.width / 2.0;
  const QRectF line = parts.body.adjusted(half, half, -half, -half);
  const QSizeF corners = parts.cornerSize - QSizeF(half, half);
  DoubleBubbleLogo::Bubble bubble;
  bubble.outline = outline;
  if (stroke.dash.isEmpty()) {
    bubble.body.append({roundedRectPath(line, corners, CornerStyle::continuous), stroke});
  } else {
    const qreal overlap = stroke.width / 4.0;
    const std::array<QPainterPath, 4> sides = roundedRectSides(line, corners, CornerStyle::continuous);
    for (std::size_t i = 0; i < sides.size(); ++i) {
      const QPainterPath path = overhanging(sides[(i + 3) % 4], sides[i], sides[(i + 1) % 4], overlap);
      bubble.body.append({path, stroke.centredOnEnds(sides[i].length(), (path.length() - sides[i].length()) / 2.0)});
    }
  }
  // The tail is as wide where it leaves the body as the line drawn round it
  // would make it, narrows to its point on the outline's bottom edge, and
  // reaches up to the middle of the body's bottom line, so the two meet
  // without a seam.
  const QPointF point = parts.tail[1];
  const auto widened = [&](QPointF corner, qreal outward) {
    const QLineF side(point, corner);
    const QPointF edge = corner + QPointF(outward * half * side.length() / std::abs(side.dy()), 0.0);
    return point + (edge - point) * ((side.dy() - half) / side.dy());
  };
  bubble.tail = QPolygonF{widened(parts.tail[0], -1.0), point, widened(parts.tail[2], 1.0)};
  bubble.color = color;
  return bubble;
}

}  // namespace

DoubleBubbleLogo::Bubbles DoubleBubbleLogo::bubbles(const QRectF& frame) const {
  const QSizeF box = QSizeF(kWidthShare, 1.0) * size;
  const QRectF back = centredAt(kBackOffset * size, kBackShare * size);
  const QRectF front = centredAt(kFrontOffset * size, kFrontShare * size);
  const QRectF both = back.united(front);
  const qreal scale = std::min({1.0, box.width() / both.width(), box.height() / both.height()});
  const auto fitted = [&](const QRectF& r) {
    return centredAt(frame.center() + (r.center() - both.center()) * scale, r.size() * scale);
  };
  return Bubbles{
      .back = bubbleIn(fitted(back), StrokeStyle{.width = size * kBackLineShare}, MurmelaTheme::sageDeep),
      .front =
          bubbleIn(fitted(front), dashedStroke(size * kFrontLineShare, {kFrontDash, kFrontDash}), MurmelaTheme::rose),
  };
}

QSizeF DoubleBubbleLogo::frameSize(const std::optional<LogoImage>& image) const {
  if (image && image->size().height() > 0.0) return QSizeF(size * image->size().width() / image->size().height(), size);
  return QSizeF(size * kWidthShare, size);
}

void DoubleBubbleLogo::paint(QPainter& painter, const QRectF& frame, const std::optional<LogoImage>& image) const {
  if (image) {
    image->draw(painter, frame);
    return;
  }
  const Bubbles pair = bubbles(frame);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  for (const Bubble& bubble : {pair.back, pair.front}) {
    painter.setBrush(Qt::NoBrush);
    for (const Line& line : bubble.body) {
      painter.setPen(line.stroke.pen(bubble.color));
      painter.drawPath(line.path);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(bubble.color);
    painter.drawPolygon(bubble.tail);
  }
  painter.restore();
}

}  // namespace murmela
