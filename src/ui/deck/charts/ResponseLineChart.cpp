#include "deck/charts/ResponseLineChart.h"

#include "deck/charts/YearBars.h"
#include "theme/MurmelaTheme.h"

#include <algorithm>
#include <cmath>

namespace murmela {
namespace {

constexpr double kChartHeight = 206.0;
constexpr double kLegendSpacing = 10.0;  // between the chart and its legend
constexpr double kSwatchSpacing = 22.0;
constexpr double kSecondsPerMinute = 60.0;
// The y labels print whole minutes; a top beyond this is not a reply time and
// is written at this bound.
constexpr double kLargestLabelMinutes = 1.0e12;

QString minutesLabel(double minutes) {
  const double whole = std::trunc(std::clamp(minutes, 0.0, kLargestLabelMinutes));
  return QString::number(static_cast<qint64>(whole)) + QLatin1Char('m');
}

}  // namespace

double responseChartTopMinutes(const QList<YearlyResponseTime>& values) {
  double top = 1.0;
  for (const YearlyResponseTime& year : values)
    for (const double seconds : {year.me, year.them})
      if (std::isfinite(seconds)) top = std::max(top, seconds / kSecondsPerMinute);
  return top;
}

QStringList responseChartAxisLabels(double topMinutes) {
  QStringList labels;
  for (int k = 4; k >= 0; --k) labels.append(minutesLabel(k * topMinutes * 0.25));
  return labels;
}

LineChart responseLineChartData(const ResponseLineChart& chart) {
  LineChart line;
  for (const YearlyResponseTime& year : chart.values) {
    line.seriesA.append(year.me / kSecondsPerMinute);
    line.seriesB.append(year.them / kSecondsPerMinute);
    line.labels.append(yearBarLabel(year.year));
  }
  line.maxValue = responseChartTopMinutes(chart.values);
  line.yAxisLabels = responseChartAxisLabels(line.maxValue);
  line.aColor = MurmelaTheme::sageDeep;
  line.bColor = MurmelaTheme::gold;
  line.showPoints = true;
  return line;
}

ResponseLineChartLayout layoutResponseLineChart(const ResponseLineChart& chart, const QRectF& frame) {
  ResponseLineChartLayout layout;
  layout.frame = frame;
  const QList<LegendSwatch> swatches = {{MurmelaTheme::sageDeep, QStringLiteral("YOU"), {}},
                                        {MurmelaTheme::gold, chart.themName.toUpper(), {}}};
  // Measure the legend's height first: chart and legend are centred together.
  const qreal legendHeight = layoutLegendSwatch(swatches[0], QRectF(0, 0, frame.width(), 0)).frame.height();
  const qreal total = kChartHeight + kLegendSpacing + legendHeight;
  const qreal top = frame.top() + (frame.height() - total) / 2;
  layout.chart = layoutLineChart(responseLineChartData(chart), QRectF(frame.left(), top, frame.width(), kChartHeight));
  layout.legend = layoutLegendRow(
      swatches, QRectF(frame.left(), top + kChartHeight + kLegendSpacing, frame.width(), legendHeight), kSwatchSpacing);
  return layout;
}

void paintResponseLineChart(QPainter& painter, const ResponseLineChartLayout& layout) {
  paintLineChart(painter, layout.chart);
  for (const LegendSwatchLayout& swatch : layout.legend) paintLegendSwatch(painter, swatch);
}

}  // namespace murmela
