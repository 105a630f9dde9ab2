#include "sheets/share/SocialGlyph.h"

#include "kit/paint/PainterState.h"
#include "kit/paint/Pens.h"
#include "kit/paint/Shapes.h"
#include "kit/symbols/Symbols.h"

#include <QPainter>
#include <QPolygonF>

namespace murmela {
namespace {

QPointF at(const QRectF& area, qreal x, qreal y) {
  const qreal unit = area.width() / SocialGlyph::kGrid;
  return area.topLeft() + QPointF(x * unit, y * unit);
}

qreal unitOf(const QRectF& area) { return area.width() / SocialGlyph::kGrid; }

}  // namespace

QPainterPath SocialGlyph::cameraOutline(const QRectF& area) {
  const qreal unit = unitOf(area);
  QPainterPath path = roundedRectPath(QRectF(at(area, 5, 5), QSizeF(14 * unit, 14 * unit)), 4 * unit);
  path.addPath(circlePath(at(area, 12, 12), 3.4 * unit));
  return path;
}

QPainterPath SocialGlyph::cameraDot(const QRectF& area) { return circlePath(at(area, 16.2, 7.8), 0.7 * unitOf(area)); }

QPainterPath SocialGlyph::letterMark(const QRectF& area) {
  static constexpr QPointF kPoints[] = {{5, 5},   {10.5, 13},   {5, 19},   {7, 19},   {11.4, 14.2}, {14.5, 19},
                                        {19, 19}, {13.2, 10.7}, {18.5, 5}, {16.5, 5}, {12.3, 9.5},  {9.5, 5}};
  QPolygonF polygon;
  for (const QPointF& point : kPoints) polygon.append(at(area, point.x(), point.y()));
  QPainterPath path;
  path.setFillRule(Qt::WindingFill);
  path.addPolygon(polygon);
  path.closeSubpath();
  return path;
}

void SocialGlyph::paint(QPainter& painter, const QRectF& area) const {
  const PainterStateScope state(painter);
  painter.setRenderHint(QPainter::Antialiasing);
  switch (destination) {
    case ShareDestination::instagram:
      painter.setBrush(Qt::NoBrush);
      painter.setPen(StrokeStyle{.width = kStrokeWidth, .cap = Qt::RoundCap, .join = Qt::RoundJoin}.pen(stroke));
      painter.drawPath(cameraOutline(area));
      painter.fillPath(cameraDot(area), stroke);
      break;
    case ShareDestination::twitter:
      painter.fillPath(letterMark(area), stroke);
      break;
    case ShareDestination::iMessage:
      drawSymbol(painter, Symbol::bubbleLeftFill, area, 16, SymbolWeight::medium, stroke);
      break;
    case ShareDestination::tiktok:
      drawSymbol(painter, Symbol::musicNote, area, 14, SymbolWeight::bold, stroke);
      break;
    case ShareDestination::copyImage:
    case ShareDestination::downloadImage:
      break;
  }
}

}  // namespace murmela
