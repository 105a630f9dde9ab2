#include "deck/charts/LineChart.h"

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
    layout.grid.append(row);
  }

  for (const int i : lineChartLabelIndices(chart.labels.size()))
    layout.xLabels.append({i, chart.labels[i], {xAt(i, chart.labels.size(), plot), plot.bottom() + kXLabelBelowPlot}});

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
    layout.annotations.append(placed);
  }
  return layout;
}

}  // namespace murmela
