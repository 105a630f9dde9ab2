#include "deck/charts/SentimentAreaChart.h"

#include "common/LocalCalendar.h"
#include "deck/SlideFormatters.h"
#include "deck/charts/ChartDates.h"
#include "theme/MurmelaTheme.h"

#include <cmath>

namespace murmela {
namespace {

double mappedScore(double score) { return (score + 1.0) * 0.5; }

QString monthTitle(Date month) {
  if (!isCalendarPlaceable(month)) return {};
  return murmelaMonthYear(month).toUpper();
}

bool inRange(std::optional<int> index, qsizetype count) { return index && *index >= 0 && *index < count; }

}  // namespace

SentimentExtremes sentimentExtremes(const QList<MonthlySentiment>& values) {
  SentimentExtremes extremes;
  for (int i = 0; i < values.size(); ++i) {
    const double score = values[i].score;
    if (!std::isfinite(score)) continue;
    if (!extremes.peak || score > values[*extremes.peak].score) extremes.peak = i;
    if (!extremes.valley || score < values[*extremes.valley].score) extremes.valley = i;
  }
  return extremes;
}

QList<ChartAnnotation> sentimentAnnotations(const QList<MonthlySentiment>& values, std::optional<int> peakIndex,
                                            std::optional<int> valleyIndex) {
  QList<ChartAnnotation> annotations;
  const bool valley = inRange(valleyIndex, values.size());
  if (valley)
    annotations.append(
        {*valleyIndex, monthTitle(values[*valleyIndex].month), MurmelaTheme::rose, ChartAnnotation::Placement::below});
  if (inRange(peakIndex, values.size()) && (!valleyIndex || *peakIndex != *valleyIndex))
    annotations.append(
        {*peakIndex, monthTitle(values[*peakIndex].month), MurmelaTheme::rose, ChartAnnotation::Placement::above});
  return annotations;
}

LineChart sentimentLineChartData(const SentimentAreaChart& chart) {
  LineChart line;
  const LocalCalendar calendar;
  for (const MonthlySentiment& month : chart.values) {
    line.seriesA.append(mappedScore(month.score));
    line.labels.append(isCalendarPlaceable(month.month) ? QString::number(calendar.year(month.month)) : QString());
  }
  line.yAxisLabels = {QStringLiteral("warm"), QString(), QStringLiteral("neutral"), QString(), QStringLiteral("low")};
  line.maxValue = 1.0;
  line.aColor = MurmelaTheme::sageDeep;
  line.bColor = MurmelaTheme::gold;
  line.fill = true;
  line.fillColor = MurmelaTheme::rose;
  const SentimentExtremes extremes = sentimentExtremes(chart.values);
  line.annotations = sentimentAnnotations(chart.values, extremes.peak, extremes.valley);
  return line;
}

LineChartLayout layoutSentimentAreaChart(const SentimentAreaChart& chart, const QRectF& frame) {
  return layoutLineChart(sentimentLineChartData(chart), frame);
}

}  // namespace murmela
