#include "deck/charts/LineChart.h"

#include "kit/paint/PainterState.h"
#include "kit/paint/Pens.h"
#include "kit/paint/Shapes.h"
#include "theme/MurmelaTheme.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace murmela {
namespace {

// The chart's frame around its plot.
constexpr double kPlotLeft = 42.0;
constexpr double kPlotTop = 18.0;
constexpr double kPlotRightMargin = 16.0;
constexpr double kPlotBottomMargin = 34.0;
constexpr int kGridRows = 5;
constexpr double kYLabelCentreX = 16.0;
constexpr double kXLabelBelowPlot = 22.0;
// Annotations: the leader's length and the title's distance from the point,
// and how far inside the plot the title's centre is kept.
constexpr double kLeaderLength = 38.0;
constexpr double kTitleOffset = 52.0;
constexpr double kTitleInsetX = 54.0;
constexpr double kTitleInsetTop = 16.0;
constexpr double kTitleInsetBottom = 10.0;

// Strokes and fills of the layers.
constexpr double kGridOpacity = 0.1;
const QList<qreal> kGridDash = {2.0, 3.0};
constexpr double kAreaTopOpacity = 0.32;
constexpr double kAreaBottomOpacity = 0.05;
constexpr double kAreaLineWidth = 2.6;
constexpr double kGlowWidth = 8.0;
constexpr double kGlowOpacity = 0.18;
constexpr double kLineWidth = 2.8;
constexpr double kPointDiameter = 7.0;
constexpr double kLeaderOpacity = 0.42;
constexpr double kMarkerDiameter = 11.0;
constexpr double kMarkerRingWidth = 3.0;
// The widest an annotation title may wrap at (two lines), and the least
// room kept between two neighbouring x labels.
constexpr double kTitleWidth = 148.0;
constexpr double kLabelGap = 4.0;

const TextStyle kAxisStyle{.typeface = Typeface::inter,
                           .size = 9,
                           .weight = QFont::DemiBold,
                           .color = MurmelaTheme::inkSoft,
                           .alignment = TextAlign::center,
                           .lineLimit = 1,
                           .minimumScale = 0.7};
const TextStyle kTitleStyle{.typeface = Typeface::inter,
                            .size = 11,
                            .weight = QFont::DemiBold,
                            .tracking = 2,
                            .color = MurmelaTheme::ink,
                            .alignment = TextAlign::center,
                            .lineLimit = 2,
                            .minimumScale = 0.8};

// A text centred on a point, fitted to a width that keeps it inside the frame.
PlacedText centredWithin(const QString& text, const TextStyle& style, QPointF centre, double width,
                         const QRectF& frame) {
  const double room = 2 * std::max(0.0, std::min(centre.x() - frame.left(), frame.right() - centre.x()));
  return PlacedText::centredAt(fitText(text, style, QSizeF(std::max(0.0, std::min(width, room)), kUnlimitedWidth)),
                               centre);
}

double xAt(qsizetype i, qsizetype n, const QRectF& plot) {
  const double steps = static_cast<double>(std::max<qsizetype>(n, 2) - 1);
  return plot.left() + static_cast<double>(i) / steps * plot.width();
}

// value / maxValue within 0 ... 1; not-a-number counts as the top.
double unitRatio(double value, double maxValue) {
  const double ratio = value / maxValue;
  if (std::isnan(ratio)) return 1.0;
  return std::clamp(ratio, 0.0, 1.0);
}

}  // namespace

QRectF lineChartPlot(const QRectF& frame) {
  return {frame.left() + kPlotLeft, frame.top() + kPlotTop, std::max(0.0, frame.width() - kPlotLeft - kPlotRightMargin),
          std::max(0.0, frame.height() - kPlotTop - kPlotBottomMargin)};
}

QList<QPointF> lineChartPoints(const QList<double>& values, double maxValue, const QRectF& plot) {
  QList<QPointF> points;
  points.reserve(values.size());
  for (qsizetype i = 0; i < values.size(); ++i)
    points.append(
        {xAt(i, values.size(), plot), plot.top() + plot.height() - plot.height() * unitRatio(values[i], maxValue)});
  return points;
}

QList<int> lineChartLabelIndices(qsizetype count) {
  if (count <= 0) return {};
  if (count <= 7) {
    QList<int> all;
    for (int i = 0; i < count; ++i) all.append(i);
    return all;
  }
  const int n = static_cast<int>(std::min<qsizetype>(count, std::numeric_limits<int>::max()));
  QList<int> picked = {0, n / 3, 2 * n / 3, n - 1};
  picked.erase(std::unique(picked.begin(), picked.end()), picked.end());
  return picked;
}

LineChartLayout layoutLineChart(const LineChart& chart, const QRectF& frame) {
  LineChartLayout layout;
  layout.chart = chart;
  layout.frame = frame;
  layout.plot = lineChartPlot(frame);
  const QRectF& plot = layout.plot;

  for (int k = 0; k < kGridRows; ++k) {
    LineChartGridRow row;
    row.y = plot.top() + plot.height() * k * 0.25;
    if (k < chart.yAxisLabels.size()) row.label = chart.yAxisLabels[k];
    row.labelCentre = {frame.left() + kYLabelCentreX, row.y};
    if (row.label) row.labelText = centredWithin(*row.label, kAxisStyle, row.labelCentre, 2 * kYLabelCentreX, frame);
    layout.grid.append(row);
  }

  const QList<int> shown = lineChartLabelIndices(chart.labels.size());
  for (qsizetype k = 0; k < shown.size(); ++k) {
    const int i = shown[k];
    const QPointF centre(xAt(i, chart.labels.size(), plot), plot.bottom() + kXLabelBelowPlot);
    double room = plot.width() + 2 * kPlotRightMargin;
    if (k > 0) room = std::min(room, centre.x() - xAt(shown[k - 1], chart.labels.size(), plot));
    if (k + 1 < shown.size()) room = std::min(room, xAt(shown[k + 1], chart.labels.size(), plot) - centre.x());
    layout.xLabels.append(
        {i, chart.labels[i], centre, centredWithin(chart.labels[i], kAxisStyle, centre, room - kLabelGap, frame)});
  }

  layout.pointsA = lineChartPoints(chart.seriesA, chart.maxValue, plot);
  if (chart.fill) {
    if (!layout.pointsA.isEmpty()) {
      layout.area = QPolygonF(layout.pointsA);
      layout.area << QPointF(layout.pointsA.last().x(), plot.bottom())
                  << QPointF(layout.pointsA.first().x(), plot.bottom());
    }
  } else {
    layout.pointsB = lineChartPoints(chart.seriesB, chart.maxValue, plot);
  }

  for (const ChartAnnotation& annotation : chart.annotations) {
    if (annotation.index < 0 || annotation.index >= layout.pointsA.size()) continue;
    const QPointF p = layout.pointsA[annotation.index];
    const double s = annotation.placement == ChartAnnotation::Placement::above ? -1.0 : 1.0;
    LineChartAnnotationLayout placed;
    placed.index = annotation.index;
    placed.point = p;
    placed.leaderEnd = {p.x(), p.y() + s * kLeaderLength};
    placed.titleCentre = {
        std::min(std::max(p.x(), plot.left() + kTitleInsetX), plot.right() - kTitleInsetX),
        std::min(std::max(p.y() + s * kTitleOffset, plot.top() + kTitleInsetTop), plot.bottom() - kTitleInsetBottom)};
    placed.title = annotation.title;
    placed.color = annotation.color;
    placed.titleText = centredWithin(annotation.title, kTitleStyle, placed.titleCentre, kTitleWidth, frame);
    layout.annotations.append(placed);
  }
  return layout;
}

namespace {

QPainterPath polyline(const QList<QPointF>& points) {
  QPainterPath path;
  if (points.isEmpty()) return path;
  path.moveTo(points.first());
  for (qsizetype i = 1; i < points.size(); ++i) path.lineTo(points[i]);
  return path;
}

StrokeStyle roundStroke(double width) {
  StrokeStyle stroke;
  stroke.width = width;
  stroke.cap = Qt::RoundCap;
  stroke.join = Qt::RoundJoin;
  return stroke;
}

void paintDots(QPainter& painter, const QList<QPointF>& points, const QColor& color) {
  for (const QPointF& point : points) painter.fillPath(circlePath(point, kPointDiameter / 2), color);
}

}  // namespace

void paintLineChart(QPainter& painter, const LineChartLayout& layout) {
  const LineChart& chart = layout.chart;
  PainterStateScope scope(painter);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(Qt::NoBrush);

  const StrokeStyle grid = dashedStroke(1.0, kGridDash);
  for (const LineChartGridRow& row : layout.grid) {
    painter.setPen(grid.pen(withOpacity(MurmelaTheme::ink, kGridOpacity)));
    painter.drawLine(QPointF(layout.plot.left(), row.y), QPointF(layout.plot.right(), row.y));
    if (row.labelText) row.labelText->paint(painter);
  }
  for (const LineChartAxisLabel& label : layout.xLabels) label.placed.paint(painter);

  if (chart.fill) {
    if (!layout.area.isEmpty()) {
      const QColor fill = chart.fillColor.value_or(chart.aColor);
      QLinearGradient gradient(layout.frame.topLeft(), layout.frame.bottomLeft());
      gradient.setColorAt(0.0, withOpacity(fill, kAreaTopOpacity));
      gradient.setColorAt(1.0, withOpacity(fill, kAreaBottomOpacity));
      QPainterPath area;
      area.addPolygon(layout.area);
      area.closeSubpath();
      painter.fillPath(area, gradient);
      const QPainterPath line = polyline(layout.pointsA);
      StrokeStyle glow;
      glow.width = kGlowWidth;
      painter.strokePath(line, glow.pen(withOpacity(chart.aColor, kGlowOpacity)));
      painter.strokePath(line, roundStroke(kAreaLineWidth).pen(chart.aColor));
    }
  } else {
    painter.strokePath(polyline(layout.pointsB), roundStroke(kLineWidth).pen(chart.bColor));
    painter.strokePath(polyline(layout.pointsA), roundStroke(kLineWidth).pen(chart.aColor));
    if (chart.showPoints) {
      paintDots(painter, layout.pointsA, chart.aColor);
      paintDots(painter, layout.pointsB, chart.bColor);
    }
  }

  for (const LineChartAnnotationLayout& annotation : layout.annotations) {
    StrokeStyle leader;
    painter.setPen(leader.pen(withOpacity(MurmelaTheme::ink, kLeaderOpacity)));
    painter.drawLine(annotation.point, annotation.leaderEnd);
    const QPainterPath marker = circlePath(annotation.point, kMarkerDiameter / 2);
    painter.fillPath(marker, annotation.color);
    StrokeStyle ring;
    ring.width = kMarkerRingWidth;
    painter.strokePath(marker, ring.pen(MurmelaTheme::cream));
    annotation.titleText.paint(painter);
  }
}

}  // namespace murmela
