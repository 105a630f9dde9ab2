#include "deck/charts/ChartDescription.h"

#include "common/LocaleFormat.h"
#include "deck/SlideFormatters.h"

#include <QMap>
#include <QStringList>

namespace murmela {
namespace {

// A drawn text as one line of speech: its lines joined by blanks.
QString spoken(const PlacedText& text) { return text.shown().simplified(); }

QString minutes(double value) { return QString::number(qRound64(value)) + QLatin1Char('m'); }

// "Lead: a; b; c." or "Lead." without parts.
QString listed(const QString& lead, const QStringList& parts) {
  if (parts.isEmpty()) return lead + QLatin1Char('.');
  return lead + QStringLiteral(": ") + parts.join(QStringLiteral("; ")) + QLatin1Char('.');
}

// The first and the last non-empty x label, "A to B" (or just A).
QString labelSpan(const LineChartLayout& layout) {
  QStringList labels;
  for (const QString& label : layout.chart.labels)
    if (!label.isEmpty()) labels.append(label);
  if (labels.isEmpty()) return {};
  if (labels.first() == labels.last()) return labels.first();
  return labels.first() + QStringLiteral(" to ") + labels.last();
}

}  // namespace

QString describeYearBars(const YearBarsLayout& layout) {
  QStringList parts;
  for (const YearBar& bar : layout.bars)
    parts.append(QString::number(bar.year) + QStringLiteral(", ") + LocaleFormat::groupedInteger(bar.count));
  return listed(QStringLiteral("Messages per year"), parts);
}

QString describeMessageHeatmap(const MessageHeatmapLayout& layout) {
  QMap<int, qint64> perDay;
  QMap<int, HeatmapCell> busiest;  // each weekday's loudest hour
  for (const HeatmapCell& cell : layout.cells) {
    perDay[cell.day] += cell.value;
    if (cell.value > busiest.value(cell.day).value) busiest[cell.day] = cell;
  }
  const auto weekday = [&](int day) {
    return day >= 0 && day < layout.weekdays.size() ? spoken(layout.weekdays[day]) : QString();
  };
  QStringList parts;
  for (qsizetype day = 0; day < layout.weekdays.size(); ++day) {
    const int row = static_cast<int>(day);
    QString part = weekday(row) + QStringLiteral(", ") + LocaleFormat::groupedInteger(perDay.value(row));
    if (busiest.contains(row)) part += QStringLiteral(", most at ") + hourLabel(busiest[row].hour);
    parts.append(part);
  }
  QString result = listed(QStringLiteral("Messages per weekday and hour, noon to noon"), parts);
  const QString quiet = spoken(layout.quiet);
  const QString loud = spoken(layout.loud);
  if (!quiet.isEmpty() && !loud.isEmpty())
    result += QStringLiteral(" Colour runs from ") + quiet + QStringLiteral(" to ") + loud + QLatin1Char('.');
  if (layout.peakOutline && !weekday(layout.peak.day).isEmpty())
    result += QStringLiteral(" Outlined, the busiest two hours: ") + weekday(layout.peak.day) +
              QStringLiteral(" from ") + hourLabel(layout.peak.hour) + QStringLiteral(", ") +
              LocaleFormat::groupedInteger(layout.peak.count) + QStringLiteral(" messages.");
  return result;
}

QString describeResponseLineChart(const ResponseLineChartLayout& layout) {
  const LineChart& chart = layout.chart.chart;
  const QString me = layout.legend.size() > 0 ? spoken(layout.legend[0].text) : QString();
  const QString them = layout.legend.size() > 1 ? spoken(layout.legend[1].text) : QString();
  QStringList parts;
  for (qsizetype i = 0; i < chart.labels.size(); ++i) {
    QString part = chart.labels[i];
    if (i < chart.seriesA.size()) part += QStringLiteral(", ") + me + QLatin1Char(' ') + minutes(chart.seriesA[i]);
    if (i < chart.seriesB.size()) part += QStringLiteral(", ") + them + QLatin1Char(' ') + minutes(chart.seriesB[i]);
    parts.append(part);
  }
  return listed(QStringLiteral("Median reply time per year"), parts);
}

QString describeSentimentChart(const LineChartLayout& layout) {
  const QString span = labelSpan(layout);
  QString result = span.isEmpty() ? QStringLiteral("Mood by month.") : QStringLiteral("Mood by month, ") + span + '.';
  // A call-out above its point marks the warmest month, one below the lowest.
  for (const LineChartAnnotationLayout& annotation : layout.annotations) {
    const bool high = annotation.leaderEnd.y() < annotation.point.y();
    result += (high ? QStringLiteral(" Warmest month: ") : QStringLiteral(" Lowest month: ")) +
              spoken(annotation.titleText) + QLatin1Char('.');
  }
  return result;
}

QString describeArgumentTimeline(const ArgumentTimelineLayout& layout) {
  if (layout.emptyText) return spoken(*layout.emptyText);
  QString result = QString::number(layout.dots.size()) +
                   (layout.dots.size() == 1 ? QStringLiteral(" argument") : QStringLiteral(" arguments"));
  if (!layout.ticks.isEmpty()) {
    result += QStringLiteral(" on a time line, ") + layout.ticks.first().label;
    if (layout.ticks.size() > 1) result += QStringLiteral(" to ") + layout.ticks.last().label;
  }
  result += QLatin1Char('.');
  if (layout.callout)
    result += QStringLiteral(" The biggest, ringed: ") + spoken(layout.callout->countText) + QStringLiteral(", ") +
              spoken(layout.callout->dateText) + QLatin1Char('.');
  return result;
}

}  // namespace murmela
