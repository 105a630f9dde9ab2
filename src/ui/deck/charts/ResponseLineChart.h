#pragma once

#include "data/WrappedReport.h"
#include "deck/charts/LegendSwatch.h"
#include "deck/charts/LineChart.h"

#include <QList>
#include <QRectF>
#include <QString>

class QPainter;

namespace murmela {

// Both people's median reply times per year, in minutes, as two lines with
// dots, and a two-entry legend under them.
struct ResponseLineChart {
  QList<YearlyResponseTime> values;
  QString themName;
};

// The top of the scale in minutes: the slowest median of any year, at least 1.
double responseChartTopMinutes(const QList<YearlyResponseTime>& values);
// The five y labels, top to bottom: the whole minutes of k x top / 4 for
// k = 4 ... 0, followed by "m".
QStringList responseChartAxisLabels(double topMinutes);
// The line chart the response times draw as.
LineChart responseLineChartData(const ResponseLineChart& chart);

struct ResponseLineChartLayout {
  QRectF frame;
  LineChartLayout chart;  // 206 high, the frame's width
  QList<LegendSwatchLayout> legend;
};

ResponseLineChartLayout layoutResponseLineChart(const ResponseLineChart& chart, const QRectF& frame);
void paintResponseLineChart(QPainter& painter, const ResponseLineChartLayout& layout);

}  // namespace murmela
