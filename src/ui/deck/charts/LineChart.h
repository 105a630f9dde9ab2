#pragma once

#include "deck/cards/PlacedText.h"

#include <QColor>
#include <QList>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <optional>

class QPainter;

namespace murmela {

// A call-out on one point of series A: a leader line, a marker dot and a
// title above or below the point.
struct ChartAnnotation {
  enum class Placement { above, below };
  int index = 0;
  QString title;
  QColor color;
  Placement placement = Placement::above;
};

// The deck's one line and area chart. Series values are drawn against
// maxValue at the top of the plot; both series are spaced by their own length.
struct LineChart {
  QList<double> seriesA;
  QList<double> seriesB;
  QStringList labels;       // one per x position of series A
  QStringList yAxisLabels;  // top to bottom; the first five are used
  double maxValue = 1.0;
  QColor aColor;
  QColor bColor;
  bool fill = false;  // area mode: series A only, as a filled area under a glowing line
  std::optional<QColor> fillColor;
  bool showPoints = false;  // line mode: a dot on every point
  QList<ChartAnnotation> annotations;
};

// The plot inside a chart of the given frame: 42 in from the left, 18 from the
// top, 16 from the right and 34 from the bottom (never negative in size).
QRectF lineChartPlot(const QRectF& frame);

// Screen points of a series: x = plot.left + i / (max(n, 2) - 1) x plot.width,
// y from value / maxValue clamped to 0 ... 1 (a ratio that is not a number,
// such as 0 / 0, counts as 1). A single value sits on the left edge.
QList<QPointF> lineChartPoints(const QList<double>& values, double maxValue, const QRectF& plot);

// The x positions that carry a label for n labels: none for n <= 0, 0 for one,
// all of them up to seven, and 0, n/3, 2n/3 and n - 1 from eight on.
QList<int> lineChartLabelIndices(qsizetype count);

struct LineChartGridRow {
  double y = 0.0;
  std::optional<QString> label;  // centred at (frame.left + 16, y)
  QPointF labelCentre;
  std::optional<PlacedText> labelText;
};

struct LineChartAxisLabel {
  int index = 0;
  QString text;
  QPointF centre;
  PlacedText placed;
};

struct LineChartAnnotationLayout {
  int index = 0;
  QPointF point;        // the series-A point; the dot's centre
  QPointF leaderEnd;    // 38 above or below the point
  QPointF titleCentre;  // clamped into the plot
  QString title;
  QColor color;
  PlacedText titleText;  // at most two lines, centred on titleCentre
};

struct LineChartLayout {
  QRectF frame;
  QRectF plot;
  QList<LineChartGridRow> grid;  // five rows, top to bottom
  QList<LineChartAxisLabel> xLabels;
  QList<QPointF> pointsA;
  QList<QPointF> pointsB;                        // empty in area mode
  QPolygonF area;                                // area mode: series A closed along the plot's bottom
  QList<LineChartAnnotationLayout> annotations;  // in range only, in list order
  LineChart chart;
};

LineChartLayout layoutLineChart(const LineChart& chart, const QRectF& frame);
void paintLineChart(QPainter& painter, const LineChartLayout& layout);

}  // namespace murmela
