#include "hosted/ClientMetrics.h"

#include "common/LocalCalendar.h"
#include "hosted/HostedChatMessage.h"

#include <array>

namespace murmela {
namespace {

constexpr int kHeatmapWindowHours = 2;
const std::array<QString, 7> kWeekdayNames = {
    QStringLiteral("Sunday"),   QStringLiteral("Monday"), QStringLiteral("Tuesday"),  QStringLiteral("Wednesday"),
    QStringLiteral("Thursday"), QStringLiteral("Friday"), QStringLiteral("Saturday")};

int hourOfDay(int hour) { return ((hour % 24) + 24) % 24; }

int twelveHourForm(int hour) {
  const int h = hourOfDay(hour);
  if (h == 0 || h == 12) return 12;
  return h < 12 ? h : h - 12;
}

QString suffix(int hour) { return hourOfDay(hour) < 12 ? QStringLiteral("AM") : QStringLiteral("PM"); }

JSONValue number(double value) { return JSONValue::number(value); }
JSONValue timestamp(Date date) { return JSONValue::string(HostedAnalysisTimestamp::format(date)); }

}  // namespace

QString hostedTimeWindowLabel(int startHour, int duration) {
  const int start = hourOfDay(startHour);
  const int end = hourOfDay(start + duration);
  const QString dash = QStringLiteral(" \u2014 ");
  const QString startForm = QString::number(twelveHourForm(start));
  const QString endPart = QString::number(twelveHourForm(end)) + QLatin1Char(' ') + suffix(end);
  if (suffix(start) != suffix(end)) return startForm + QLatin1Char(' ') + suffix(start) + dash + endPart;
  return startForm + dash + endPart;
}

QString hostedHourLabel(int hour) { return QString::number(twelveHourForm(hour)) + QLatin1Char(' ') + suffix(hour); }

JSONValue heatmapPeakMetric(const WrappedReport& report, const MessageList& sourceMessages) {
  qint64 best = 0;
  int bestDay = 0;
  int bestHour = 0;
  const QList<QList<qint64>>& rows = report.messagesByHourByDayOfWeek;
  for (qsizetype day = 0; day < rows.size(); ++day) {
    const QList<qint64>& row = rows[day];
    const qsizetype n = row.size();
    for (qsizetype hour = 0; hour < std::min<qsizetype>(n, 24); ++hour) {
      const qsizetype next = (hour + 1) % 24;
      const qint64 sum = row[hour] + (next < n ? row[next] : 0);
      if (sum > best) {
        best = sum;
        bestDay = static_cast<int>(day);
        bestHour = static_cast<int>(hour);
      }
    }
  }

  const LocalCalendar calendar;
  JSONValue::Array indices;
  const int firstHour = hourOfDay(bestHour);
  const int secondHour = hourOfDay(bestHour + 1);
  for (qsizetype i = 0; i < sourceMessages.size(); ++i) {
    const Date date = sourceMessages[i].date;
    if (calendar.weekdayRow(date) != bestDay) continue;
    const int hour = calendar.hour(date);
    if (hour == firstHour || hour == secondHour) indices.append(number(static_cast<double>(i + 1)));
  }

  return JSONValue::object({
      {QStringLiteral("weekdayIndex"), number(bestDay)},
      {QStringLiteral("weekdayName"), JSONValue::string(kWeekdayNames[static_cast<size_t>(bestDay % 7)])},
      {QStringLiteral("startHour"), number(bestHour)},
      {QStringLiteral("durationHours"), number(kHeatmapWindowHours)},
      {QStringLiteral("windowLabel"), JSONValue::string(hostedTimeWindowLabel(bestHour, kHeatmapWindowHours))},
      {QStringLiteral("titleLabel"), JSONValue::string(hostedHourLabel(bestHour))},
      {QStringLiteral("messageCount"), number(static_cast<double>(best))},
      {QStringLiteral("messageIndices"), JSONValue::array(std::move(indices))},
  });
}

JSONValue clientMetrics(const WrappedReport& report, const MessageList& sourceMessages) {
  JSONValue::Object metrics;

  JSONValue::Array responseTimes;
  for (const YearlyResponseTime& year : report.responseTimeByYear) {
    responseTimes.append(JSONValue::object({{QStringLiteral("year"), number(static_cast<double>(year.year))},
                                            {QStringLiteral("me"), number(year.me)},
                                            {QStringLiteral("them"), number(year.them)}}));
  }
  metrics.insert(QStringLiteral("responseTimeByYear"), JSONValue::array(std::move(responseTimes)));

  if (const std::optional<ReplyGap>& gap = report.longestReplyGap) {
    metrics.insert(QStringLiteral("longestReplyGap"),
                   JSONValue::object({{QStringLiteral("responderWasMe"), JSONValue::boolean(gap->responderWasMe)},
                                      {QStringLiteral("interval"), number(gap->interval)},
                                      {QStringLiteral("previousMessageDate"), timestamp(gap->previousMessageDate)},
                                      {QStringLiteral("replyDate"), timestamp(gap->replyDate)}}));
  }

  if (!report.messagesByYear.isEmpty()) {
    // Years ascending; only a strictly higher count replaces the best, so the
    // earliest of equally busy years is sent.
    auto best = report.messagesByYear.cbegin();
    for (auto it = report.messagesByYear.cbegin(); it != report.messagesByYear.cend(); ++it)
      if (it.value() > best.value()) best = it;
    metrics.insert(QStringLiteral("peakYear"), number(static_cast<double>(best.key())));
  }

  metrics.insert(QStringLiteral("heatmapPeak"), heatmapPeakMetric(report, sourceMessages));

  if (const std::optional<FirstDistinctiveTerm>& first = report.firstDistinctiveTerm) {
    metrics.insert(QStringLiteral("firstDistinctiveTerm"),
                   JSONValue::object({{QStringLiteral("term"), JSONValue::string(first->term)},
                                      {QStringLiteral("timestamp"), timestamp(first->date)},
                                      {QStringLiteral("context"), JSONValue::string(first->context)}}));
  }

  if (!report.sentimentByMonth.isEmpty()) {
    const MonthlySentiment* best = &report.sentimentByMonth.first();
    for (const MonthlySentiment& month : report.sentimentByMonth)
      if (month.score > best->score) best = &month;
    metrics.insert(QStringLiteral("positiveSentimentPeak"),
                   JSONValue::object({{QStringLiteral("month"), timestamp(best->month)},
                                      {QStringLiteral("score"), number(best->score)}}));
  }

  return JSONValue::object(std::move(metrics));
}

}  // namespace murmela
