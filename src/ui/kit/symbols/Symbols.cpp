#include "kit/symbols/Symbols.h"

#include <QFont>
#include <QPainter>
#include <QPainterPathStroker>
#include <QTransform>
#include <QtMath>

#include <cmath>

namespace murmela {
namespace {

// Designs are drawn on a one-point grid centred on (0, 0), y downwards, and
// scaled to the point size. Strokes get round caps and joins.
qreal strokeWidth(SymbolWeight weight) {
  switch (weight) {
    case SymbolWeight::regular:
      return 0.075;
    case SymbolWeight::medium:
      return 0.088;
    case SymbolWeight::semibold:
      return 0.1;
    case SymbolWeight::bold:
      return 0.12;
  }
  return 0.075;
}

QPainterPath polyline(std::initializer_list<QPointF> points) {
  QPainterPath path;
  bool first = true;
  for (const QPointF& point : points) {
    if (first) {
      path.moveTo(point);
      first = false;
    } else {
      path.lineTo(point);
    }
  }
  return path;
}

QPainterPath roundedRect(qreal x, qreal y, qreal w, qreal h, qreal r) {
  QPainterPath path;
  path.addRoundedRect(QRectF(x, y, w, h), r, r);
  return path;
}

QPainterPath circle(qreal x, qreal y, qreal r) {
  QPainterPath path;
  path.addEllipse(QPointF(x, y), r, r);
  return path;
}

// A design is made of stroked lines and filled areas.
struct Design {
  QPainterPath stroked;
  QPainterPath filled;
  void stroke(const QPainterPath& path) { stroked.addPath(path); }
  void fill(const QPainterPath& path) { filled = filled.isEmpty() ? path : filled.united(path); }
};

QPainterPath gearOutline() {
  constexpr int kTeeth = 8;
  constexpr qreal kOuter = 0.44;
  constexpr qreal kInner = 0.33;
  QPolygonF points;
  for (int k = 0; k < kTeeth; ++k) {
    const qreal centre = k * 360.0 / kTeeth;
    for (const auto& [radius, angle] : {std::pair{kInner, -15.0}, {kOuter, -8.0}, {kOuter, 8.0}, {kInner, 15.0}}) {
      const qreal radians = qDegreesToRadians(centre + angle);
      points.append(QPointF(radius * std::cos(radians), radius * std::sin(radians)));
    }
  }
  QPainterPath path;
  path.addPolygon(points);
  path.closeSubpath();
  return path;
}

QPainterPath chainLink(QPointF centre) {
  QPainterPath link;
  link.addRoundedRect(QRectF(-0.3, -0.14, 0.6, 0.28), 0.14, 0.14);
  QTransform transform;
  transform.translate(centre.x(), centre.y());
  transform.rotate(-45.0);
  return transform.map(link);
}

Design design(Symbol symbol) {
  Design d;
  switch (symbol) {
    case Symbol::chevronLeft:
      d.stroke(polyline({{0.16, -0.4}, {-0.16, 0.0}, {0.16, 0.4}}));
      break;
    case Symbol::chevronRight:
      d.stroke(polyline({{-0.16, -0.4}, {0.16, 0.0}, {-0.16, 0.4}}));
      break;
    case Symbol::squareAndArrowUp: {
      QPainterPath box;
      box.moveTo(-0.13, -0.08);
      box.lineTo(-0.24, -0.08);
      box.quadTo(-0.32, -0.08, -0.32, 0.0);
      box.lineTo(-0.32, 0.42);
      box.quadTo(-0.32, 0.5, -0.24, 0.5);
      box.lineTo(0.24, 0.5);
      box.quadTo(0.32, 0.5, 0.32, 0.42);
      box.lineTo(0.32, 0.0);
      box.quadTo(0.32, -0.08, 0.24, -0.08);
      box.lineTo(0.13, -0.08);
      d.stroke(box);
      d.stroke(polyline({{0.0, 0.22}, {0.0, -0.56}}));
      d.stroke(polyline({{-0.15, -0.41}, {0.0, -0.56}, {0.15, -0.41}}));
      break;
    }
    case Symbol::house:
      d.stroke(polyline({{-0.48, 0.0}, {0.0, -0.42}, {0.48, 0.0}}));
      d.stroke(polyline({{-0.33, -0.13}, {-0.33, 0.44}, {0.33, 0.44}, {0.33, -0.13}}));
      d.stroke(polyline({{-0.09, 0.44}, {-0.09, 0.17}, {0.09, 0.17}, {0.09, 0.44}}));
      break;
    case Symbol::xmark:
      d.stroke(polyline({{-0.32, -0.32}, {0.32, 0.32}}));
      d.stroke(polyline({{0.32, -0.32}, {-0.32, 0.32}}));
      break;
    case Symbol::checkmark:
      d.stroke(polyline({{-0.36, 0.02}, {-0.11, 0.3}, {0.38, -0.34}}));
      break;
    case Symbol::lockFill: {
      d.fill(roundedRect(-0.34, -0.04, 0.68, 0.52, 0.09));
      QPainterPath shackle;
      shackle.moveTo(-0.21, 0.0);
      shackle.lineTo(-0.21, -0.2);
      shackle.arcTo(QRectF(-0.21, -0.41, 0.42, 0.42), 180.0, -180.0);
      shackle.lineTo(0.21, 0.0);
      d.stroke(shackle);
      break;
    }
    case Symbol::cloudFill:
      d.fill(roundedRect(-0.46, 0.0, 0.92, 0.32, 0.16));
      d.fill(circle(-0.18, 0.04, 0.22));
      d.fill(circle(0.08, -0.08, 0.28));
      d.fill(circle(0.28, 0.1, 0.2));
      break;
    case Symbol::magnifyingGlass:
      d.stroke(circle(-0.07, -0.07, 0.3));
      d.stroke(polyline({{0.15, 0.15}, {0.42, 0.42}}));
      break;
    case Symbol::gearshape:
      d.stroke(gearOutline());
      d.stroke(circle(0.0, 0.0, 0.13));
      break;
    case Symbol::trash:
      d.stroke(polyline({{-0.4, -0.29}, {0.4, -0.29}}));
      d.stroke(polyline({{-0.13, -0.29}, {-0.13, -0.43}, {0.13, -0.43}, {0.13, -0.29}}));
      d.stroke(polyline({{-0.3, -0.29}, {-0.25, 0.46}, {0.25, 0.46}, {0.3, -0.29}}));
      d.stroke(polyline({{-0.1, -0.12}, {-0.08, 0.3}}));
      d.stroke(polyline({{0.1, -0.12}, {0.08, 0.3}}));
      break;
    case Symbol::plus:
      d.stroke(polyline({{-0.38, 0.0}, {0.38, 0.0}}));
      d.stroke(polyline({{0.0, -0.38}, {0.0, 0.38}}));
      break;
    case Symbol::arrowRight:
      d.stroke(polyline({{-0.38, 0.0}, {0.38, 0.0}}));
      d.stroke(polyline({{0.08, -0.3}, {0.38, 0.0}, {0.08, 0.3}}));
      break;
    case Symbol::link:
      d.stroke(chainLink({-0.14, 0.14}));
      d.stroke(chainLink({0.14, -0.14}));
      break;
    case Symbol::bubbleLeftFill: {
      d.fill(roundedRect(-0.46, -0.38, 0.92, 0.66, 0.3));
      QPainterPath tail;
      tail.addPolygon(QPolygonF({QPointF(-0.32, 0.14), QPointF(-0.42, 0.42), QPointF(-0.08, 0.26)}));
      tail.closeSubpath();
      d.fill(tail);
      break;
    }
    case Symbol::musicNote: {
      QPainterPath head;
      head.addEllipse(QPointF(0.0, 0.0), 0.17, 0.13);
      QTransform transform;
      transform.translate(-0.1, 0.3);
      transform.rotate(-20.0);
      d.fill(transform.map(head));
      d.stroke(polyline({{0.06, 0.28}, {0.06, -0.44}}));
      QPainterPath flag;
      flag.moveTo(0.06, -0.44);
      flag.cubicTo(0.1, -0.26, 0.34, -0.26, 0.3, -0.04);
      d.stroke(flag);
      break;
    }
    case Symbol::docOnDoc: {
      const QPainterPath front = roundedRect(-0.14, -0.26, 0.46, 0.62, 0.07);
      d.stroke(front);
      // The back sheet shows only where the front one does not cover it.
      QPainterPathStroker gap;
      gap.setWidth(0.16);
      const QPainterPath cover = front.united(gap.createStroke(front));
      QPainterPathStroker edge;
      edge.setWidth(0.075);
      edge.setCapStyle(Qt::RoundCap);
      edge.setJoinStyle(Qt::RoundJoin);
      d.fill(edge.createStroke(roundedRect(-0.36, -0.46, 0.46, 0.62, 0.07)).subtracted(cover));
      break;
    }
    case Symbol::arrowDownToLine:
      d.stroke(polyline({{0.0, -0.46}, {0.0, 0.2}}));
      d.stroke(polyline({{-0.24, -0.04}, {0.0, 0.2}, {0.24, -0.04}}));
      d.stroke(polyline({{-0.34, 0.44}, {0.34, 0.44}}));
      break;
  }
  return d;
}

struct NamedSymbol {
  Symbol symbol;
  const char* name;
};

constexpr NamedSymbol kNames[] = {
    {Symbol::chevronLeft, "chevron.left"},
    {Symbol::chevronRight, "chevron.right"},
    {Symbol::squareAndArrowUp, "square.and.arrow.up"},
    {Symbol::house, "house"},
    {Symbol::xmark, "xmark"},
    {Symbol::checkmark, "checkmark"},
    {Symbol::lockFill, "lock.fill"},
    {Symbol::cloudFill, "cloud.fill"},
    {Symbol::magnifyingGlass, "magnifyingglass"},
    {Symbol::gearshape, "gearshape"},
    {Symbol::trash, "trash"},
    {Symbol::plus, "plus"},
    {Symbol::arrowRight, "arrow.right"},
    {Symbol::link, "link"},
    {Symbol::bubbleLeftFill, "bubble.left.fill"},
    {Symbol::musicNote, "music.note"},
    {Symbol::docOnDoc, "doc.on.doc"},
    {Symbol::arrowDownToLine, "arrow.down.to.line"},
};

}  // namespace

QString symbolName(Symbol symbol) {
  for (const NamedSymbol& entry : kNames)
    if (entry.symbol == symbol) return QString::fromLatin1(entry.name);
  return {};
}

std::optional<Symbol> symbolNamed(const QString& name) {
  for (const NamedSymbol& entry : kNames)
    if (name == QLatin1String(entry.name)) return entry.symbol;
  return std::nullopt;
}

QList<Symbol> allSymbols() {
  QList<Symbol> symbols;
  for (const NamedSymbol& entry : kNames) symbols.append(entry.symbol);
  return symbols;
}

SymbolWeight symbolWeightFor(int fontWeight) {
  if (fontWeight >= QFont::Bold) return SymbolWeight::bold;
  if (fontWeight >= QFont::DemiBold) return SymbolWeight::semibold;
  if (fontWeight >= QFont::Medium) return SymbolWeight::medium;
  return SymbolWeight::regular;
}

QPainterPath symbolPath(Symbol symbol, qreal pointSize, SymbolWeight weight) {
  const Design d = design(symbol);
  QPainterPath outline = d.filled;
  if (!d.stroked.isEmpty()) {
    QPainterPathStroker stroker;
    stroker.setWidth(strokeWidth(weight));
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    const QPainterPath strokes = stroker.createStroke(d.stroked);
    outline = outline.isEmpty() ? strokes.simplified() : outline.united(strokes);
  }
  outline.setFillRule(Qt::WindingFill);
  return QTransform::fromScale(pointSize, pointSize).map(outline);
}

QSizeF symbolSize(Symbol symbol, qreal pointSize, SymbolWeight weight) {
  return symbolPath(symbol, pointSize, weight).boundingRect().size();
}

QRectF drawSymbol(QPainter& painter, Symbol symbol, QPointF centre, qreal pointSize, SymbolWeight weight,
                  const QColor& color) {
  QPainterPath path = symbolPath(symbol, pointSize, weight);
  const QRectF bounds = path.boundingRect();
  path.translate(centre - bounds.center());
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillPath(path, color);
  painter.restore();
  return path.boundingRect();
}

QRectF drawSymbol(QPainter& painter, Symbol symbol, const QRectF& box, qreal pointSize, SymbolWeight weight,
                  const QColor& color) {
  return drawSymbol(painter, symbol, box.center(), pointSize, weight, color);
}

}  // namespace murmela
