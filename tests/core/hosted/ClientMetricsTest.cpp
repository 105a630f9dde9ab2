#include "support/BackendTestSupport.h"
#include "hosted/ClientMetrics.h"
#include "hosted/HostedChatMessage.h"
#include "support/TestRegistry.h"

#include <QTest>
#include <QTimeZone>

using namespace murmela;

namespace {

// Local time in the tests' zone (America/New_York).
Date local(int year, int month, int day, int hour, int minute) {
  return Date::fromQDateTime(QDateTime(QDate(year, month, day), QTime(hour, minute), QTimeZone("America/New_York")));
}

WrappedReport reportWithHeatmap(const QList<QList<qint64>>& rows) {
  WrappedReport report;
  report.messagesByHourByDayOfWeek = rows;
  return report;
}

QList<QList<qint64>> emptyHeatmap() { return QList<QList<qint64>>(7, QList<qint64>(24, 0)); }

MessageList messagesAt(const QList<Date>& dates) {
  MessageList list;
  for (const Date date : dates) list.append({list.size() + 1, "m", date, false, "+1", false});
  return list;
}

QList<double> numbers(const JSONValue& array) {
  QList<double> out;
  for (const JSONValue& value : *array.arrayValue()) out.append(*value.numberValue());
  return out;
}

}  // namespace

class ClientMetricsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void windowLabels_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("label");
    QTest::newRow("0") << 0 << QStringLiteral("12 \u2014 2 AM");
    QTest::newRow("10") << 10 << QStringLiteral("10 AM \u2014 12 PM");
    QTest::newRow("11") << 11 << QStringLiteral("11 AM \u2014 1 PM");
    QTest::newRow("20") << 20 << QStringLiteral("8 \u2014 10 PM");
    QTest::newRow("22") << 22 << QStringLiteral("10 PM \u2014 12 AM");
    QTest::newRow("23") << 23 << QStringLiteral("11 PM \u2014 1 AM");
    QTest::newRow("24 is 0") << 24 << QStringLiteral("12 \u2014 2 AM");
  }

  void windowLabels() {
    QFETCH(int, start);
    QFETCH(QString, label);
    QCOMPARE(hostedTimeWindowLabel(start, 2), label);
  }

  void hourLabels_data() {
    QTest::addColumn<int>("hour");
    QTest::addColumn<QString>("label");
    QTest::newRow("midnight") << 0 << "12 AM";
    QTest::newRow("noon") << 12 << "12 PM";
    QTest::newRow("9") << 9 << "9 AM";
    QTest::newRow("21") << 21 << "9 PM";
    QTest::newRow("25 wraps") << 25 << "1 AM";
  }

  void hourLabels() {
    QFETCH(int, hour);
    QFETCH(QString, label);
    QCOMPARE(hostedHourLabel(hour), label);
  }

  void allZeroHeatmapPointsAtSundayMidnight() {
    // 2024-03-03 is a Sunday.
    const MessageList messages = messagesAt({local(2024, 3, 3, 0, 30), local(2024, 3, 3, 2, 0), local(2024, 3, 3, 1, 59),
                                             local(2024, 3, 4, 0, 30), local(2024, 3, 10, 1, 15)});
    const JSONValue peak = heatmapPeakMetric(reportWithHeatmap(emptyHeatmap()), messages);
    const JSONValue::Object& fields = *peak.objectValue();
    QCOMPARE(sortedKeys(fields), QString("durationHours,messageCount,messageIndices,startHour,titleLabel,weekdayIndex,"
                                         "weekdayName,windowLabel"));
    QCOMPARE(fields.value("weekdayIndex"), JSONValue::number(0));
    QCOMPARE(fields.value("weekdayName"), JSONValue::string("Sunday"));
    QCOMPARE(fields.value("startHour"), JSONValue::number(0));
    QCOMPARE(fields.value("durationHours"), JSONValue::number(2));
    QCOMPARE(fields.value("messageCount"), JSONValue::number(0));
    QCOMPARE(fields.value("windowLabel"), JSONValue::string(QStringLiteral("12 \u2014 2 AM")));
    QCOMPARE(fields.value("titleLabel"), JSONValue::string("12 AM"));
    // 2:00 is outside the window; the DST Sunday (March 10) at 1:15 is inside.
    QCOMPARE(numbers(fields.value("messageIndices")), QList<double>({1, 3, 5}));
  }

  void peakWindows_data() {
    QTest::addColumn<QList<QList<qint64>>>("heatmap");
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("hour");
    QTest::addColumn<int>("count");
    QList<QList<qint64>> tie = emptyHeatmap();
    tie[2][21] = tie[2][22] = 5;  // Tuesday
    tie[5][21] = tie[5][22] = 5;  // Friday
    QTest::newRow("Tuesday beats Friday on a tie") << tie << 2 << 21 << 10;
    QList<QList<qint64>> wrap = emptyHeatmap();
    wrap[3][23] = 4;
    wrap[3][0] = 4;  // the same row's hour 0 joins hour 23
    wrap[4][0] = 3;  // not the next day's
    QTest::newRow("hour 23 pairs with the same day's midnight") << wrap << 3 << 23 << 8;
    QList<QList<qint64>> ragged = {{}, {1, 2, 3}, {}, {}, {}, {}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 6}};
    QTest::newRow("short and empty rows") << ragged << 6 << 22 << 6;  // 22 + 23 ties 23 + 0: earlier wins
  }

  void peakWindows() {
    QFETCH(QList<QList<qint64>>, heatmap);
    QFETCH(int, day);
    QFETCH(int, hour);
    QFETCH(int, count);
    const JSONValue::Object fields = *heatmapPeakMetric(reportWithHeatmap(heatmap), {}).objectValue();
    QCOMPARE(fields.value("weekdayIndex"), JSONValue::number(day));
    QCOMPARE(fields.value("startHour"), JSONValue::number(hour));
    QCOMPARE(fields.value("messageCount"), JSONValue::number(count));
  }

  void sparseReportSendsOnlyTheAlwaysPresentKeys() {
    const JSONValue metrics = clientMetrics(reportWithHeatmap(emptyHeatmap()), {});
    QCOMPARE(sortedKeys(*metrics.objectValue()), QString("heatmapPeak,responseTimeByYear"));
    QCOMPARE(metrics.objectValue()->value("responseTimeByYear"), JSONValue::array({}));
  }

  void fullReportSendsEveryMetric() {
    WrappedReport report = reportWithHeatmap(emptyHeatmap());
    report.responseTimeByYear = {{2023, 60.5, 120}, {2024, 30, 90}};
    report.longestReplyGap = ReplyGap{true, 86400.5, Date::fromUnix(1700000000), Date::fromUnix(1700086400.5)};
    report.messagesByYear = {{2022, 5}, {2023, 9}, {2024, 9}};
    report.firstDistinctiveTerm = FirstDistinctiveTerm{"lake", Date::fromUnix(1709648530), "(a tuesday.)"};
    report.sentimentByMonth = {{local(2024, 1, 1, 0, 0), 0.2}, {local(2024, 2, 1, 0, 0), 0.8}, {local(2024, 3, 1, 0, 0), 0.8}};
    const JSONValue::Object metrics = *clientMetrics(report, {}).objectValue();
    QCOMPARE(sortedKeys(metrics), QString("firstDistinctiveTerm,heatmapPeak,longestReplyGap,peakYear,"
                                          "positiveSentimentPeak,responseTimeByYear"));

    const JSONValue::Array years = *metrics.value("responseTimeByYear").arrayValue();
    QCOMPARE(years.size(), 2);
    QCOMPARE(years[0], JSONValue::object({{"year", JSONValue::number(2023)},
                                          {"me", JSONValue::number(60.5)},
                                          {"them", JSONValue::number(120)}}));
    QCOMPARE(metrics.value("longestReplyGap"),
             JSONValue::object({{"responderWasMe", JSONValue::boolean(true)},
                                {"interval", JSONValue::number(86400.5)},
                                {"previousMessageDate", JSONValue::string("2023-11-14T22:13:20Z")},
                                {"replyDate", JSONValue::string("2023-11-15T22:13:20Z")}}));
    QCOMPARE(metrics.value("peakYear"), JSONValue::number(2023));  // the earlier of two equal years
    QCOMPARE(metrics.value("firstDistinctiveTerm"),
             JSONValue::object({{"term", JSONValue::string("lake")},
                                {"timestamp", JSONValue::string("2024-03-05T14:22:10Z")},
                                {"context", JSONValue::string("(a tuesday.)")}}));
    // The first of two equal months, as a UTC time stamp of its local start.
    QCOMPARE(metrics.value("positiveSentimentPeak"),
             JSONValue::object({{"month", JSONValue::string("2024-02-01T05:00:00Z")}, {"score", JSONValue::number(0.8)}}));
  }
};

MURMELA_TEST(ClientMetricsTest)
#include "ClientMetricsTest.moc"
