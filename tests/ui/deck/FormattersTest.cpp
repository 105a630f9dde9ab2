#include "deck/Captions.h"
#include "deck/SlideFormatters.h"
#include "support/TestRegistry.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace murmela;

Q_DECLARE_METATYPE(murmela::Date)

namespace {

Date utc(int year, int month, int day, int hour = 0, int minute = 0) {
  return Date::fromQDateTime(QDateTime(QDate(year, month, day), QTime(hour, minute), QTimeZone::utc()));
}

}  // namespace

class FormattersTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() {
    QLocale::setDefault(QLocale(QStringLiteral("en_US")));
    QCOMPARE(QTimeZone::systemTimeZoneId(), QByteArray("America/New_York"));
  }

  void insightTextNeedsSomethingLeftAfterTrimming_data() {
    QTest::addColumn<bool>("present");
    QTest::addColumn<QString>("sentence");
    QTest::addColumn<QString>("expected");  // empty: no sentence
    QTest::newRow("absent") << false << ""
                            << "";
    QTest::newRow("empty") << true << ""
                           << "";
    QTest::newRow("blanks") << true << "   "
                            << "";
    QTest::newRow("blanks and line breaks") << true << " \n\t\r\n \u2028"
                                            << "";
    QTest::newRow("trimmed") << true << "  \n Thursday nights were loud.\n  "
                             << "Thursday nights were loud.";
    QTest::newRow("inner breaks kept") << true << "one\ntwo "
                                       << "one\ntwo";
  }
  void insightTextNeedsSomethingLeftAfterTrimming() {
    QFETCH(bool, present);
    QFETCH(QString, sentence);
    QFETCH(QString, expected);
    const std::optional<QString> result = insightText(present ? std::optional<QString>(sentence) : std::nullopt);
    QCOMPARE(result.has_value(), !expected.isEmpty());
    if (result) QCOMPARE(*result, expected);
  }

  void hostedInsightReadsTheReportsCopy() {
    WrappedReport report;
    QVERIFY(!hostedInsight(report, &ReportInsightCopy::heatmapPeakInsight));
    report.insightCopy = ReportInsightCopy{};
    report.insightCopy->heatmapPeakInsight = QStringLiteral(" \n ");
    report.insightCopy->argumentInsight = QStringLiteral(" Four storms. ");
    QVERIFY(!hostedInsight(report, &ReportInsightCopy::heatmapPeakInsight));
    QCOMPARE(hostedInsight(report, &ReportInsightCopy::argumentInsight), QStringLiteral("Four storms."));
  }

  void hourLabels_data() {
    QTest::addColumn<int>("hour");
    QTest::addColumn<QString>("label");
    QTest::newRow("midnight") << 0 << "12 AM";
    QTest::newRow("morning") << 9 << "9 AM";
    QTest::newRow("before noon") << 11 << "11 AM";
    QTest::newRow("noon") << 12 << "12 PM";
    QTest::newRow("afternoon") << 13 << "1 PM";
    QTest::newRow("last hour") << 23 << "11 PM";
    QTest::newRow("a day later") << 24 << "12 AM";
    QTest::newRow("before midnight") << -1 << "11 PM";
  }
  void hourLabels() {
    QFETCH(int, hour);
    QFETCH(QString, label);
    QCOMPARE(hourLabel(hour), label);
  }

  void timeWindowLabels_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("duration");
    QTest::addColumn<QString>("label");
    QTest::newRow("evening") << 20 << 2 << "8 \u2014 10 PM";
    QTest::newRow("into midnight") << 22 << 2 << "10 PM \u2014 12 AM";
    QTest::newRow("across midnight") << 23 << 2 << "11 PM \u2014 1 AM";
    QTest::newRow("from midnight") << 0 << 2 << "12 \u2014 2 AM";
    QTest::newRow("into noon") << 10 << 2 << "10 AM \u2014 12 PM";
    QTest::newRow("across noon") << 11 << 2 << "11 AM \u2014 1 PM";
    QTest::newRow("whole day") << 5 << 24 << "5 \u2014 5 AM";
    QTest::newRow("start out of range") << 25 << 2 << "1 \u2014 3 AM";
  }
  void timeWindowLabels() {
    QFETCH(int, start);
    QFETCH(int, duration);
    QFETCH(QString, label);
    QCOMPARE(timeWindowLabel(start, duration), label);
  }

  // Every band edge: the lower bound itself, and just below it.
  void frequencyPhraseBands_data() {
    QTest::addColumn<double>("rate");
    QTest::addColumn<QString>("phrase");
    const QList<QPair<double, QString>> bands = {
        {0.95, "basically every time"},       {0.88, "almost always"},
        {0.83, "four out of five times"},     {0.78, "more than three quarters of the time"},
        {0.72, "three quarters of the time"}, {0.69, "almost three quarters of the time"},
        {0.66, "two thirds of the time"},     {0.58, "almost two thirds of the time"},
        {0.53, "more than half of the time"},
    };
    for (qsizetype i = 0; i < bands.size(); ++i) {
      const QString below = i + 1 < bands.size() ? bands[i + 1].second : QStringLiteral("about half the time");
      QTest::addRow("%.2f", bands[i].first) << bands[i].first << bands[i].second;
      QTest::addRow("below %.2f", bands[i].first) << std::nextafter(bands[i].first, 0.0) << below;
    }
    QTest::newRow("0.9499") << 0.9499 << "almost always";
    QTest::newRow("one") << 1.0 << "basically every time";
    QTest::newRow("above one") << 1.5 << "basically every time";
    QTest::newRow("a half") << 0.5 << "about half the time";
    QTest::newRow("a tenth") << 0.1 << "about half the time";
    QTest::newRow("negative") << -1.0 << "about half the time";
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << "about half the time";
    QTest::newRow("0.67") << 0.67 << "two thirds of the time";
    QTest::newRow("0.7") << 0.7 << "almost three quarters of the time";
  }
  void frequencyPhraseBands() {
    QFETCH(double, rate);
    QFETCH(QString, phrase);
    QCOMPARE(initiationFrequencyPhrase(rate), phrase);
  }

  void durationWordings_data() {
    QTest::addColumn<double>("seconds");
    QTest::addColumn<QString>("wording");
    constexpr double kMinute = 60.0;
    constexpr double kHour = 3600.0;
    constexpr double kDay = 86400.0;
    QTest::newRow("59 seconds") << 59.0 << "0 minutes";
    QTest::newRow("1 minute") << kMinute << "1 minutes";
    QTest::newRow("90 seconds") << 90.0 << "1 minutes";
    QTest::newRow("59 minutes") << 59 * kMinute << "59 minutes";
    QTest::newRow("3599 seconds") << 3599.0 << "59 minutes";
    QTest::newRow("60 minutes") << 60 * kMinute << "1 hours";
    QTest::newRow("90 minutes") << 90 * kMinute << "1 hours";
    QTest::newRow("1 day") << kDay << "24 hours";
    QTest::newRow("47.9 hours") << 47.9 * kHour << "47 hours";
    QTest::newRow("48 hours") << 48 * kHour << "2 days";
    QTest::newRow("71 hours") << 71 * kHour << "2 days";
    QTest::newRow("72 hours") << 72 * kHour << "3 days";
    QTest::newRow("59 days") << 59 * kDay << "59 days";
    QTest::newRow("90 days") << 90 * kDay << "90 days";
    QTest::newRow("zero") << 0.0 << "0 minutes";
    QTest::newRow("negative") << -90.0 << "-1 minutes";
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << "0 minutes";
    QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << "11574074074 days";
  }
  void durationWordings() {
    QFETCH(double, seconds);
    QFETCH(QString, wording);
    QCOMPARE(formatDuration(seconds), wording);
  }

  // Dates print in the current zone: 03:00 UTC on New Year's Day is still
  // the last evening of the old year in New York.
  void datesFollowTheLocaleAndZone_data() {
    QTest::addColumn<Date>("date");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QString>("full");
    QTest::addColumn<QString>("monthYear");
    QTest::addColumn<QString>("shortMonth");
    QTest::newRow("spring") << utc(2024, 3, 3, 15) << "en_US" << QByteArray() << "March 3, 2024"
                            << "March 2024"
                            << "Mar 2024";
    QTest::newRow("new year in New York") << utc(2024, 1, 1, 3) << "en_US" << QByteArray() << "December 31, 2023"
                                          << "December 2023"
                                          << "Dec 2023";
    QTest::newRow("new year in UTC") << utc(2024, 1, 1, 3) << "en_US" << QByteArray("UTC") << "January 1, 2024"
                                     << "January 2024"
                                     << "Jan 2024";
    QTest::newRow("German month names, same order") << utc(2024, 3, 3, 15) << "de_DE" << QByteArray() << "März 3, 2024"
                                                    << "März 2024"
                                                    << "März 2024";
  }
  void datesFollowTheLocaleAndZone() {
    QFETCH(Date, date);
    QFETCH(QString, locale);
    QFETCH(QByteArray, zone);
    QFETCH(QString, full);
    QFETCH(QString, monthYear);
    QFETCH(QString, shortMonth);
    const QLocale language(locale);
    const QTimeZone place = zone.isEmpty() ? QTimeZone::systemTimeZone() : QTimeZone(zone);
    QCOMPARE(murmelaDate(date, language, place), full);
    QCOMPARE(murmelaMonthYear(date, language, place), monthYear);
    QCOMPARE(argumentMapLabel(date, language, place), shortMonth);
  }

  void defaultsAreTheCurrentLocaleAndZone() {
    QCOMPARE(murmelaMonthYear(utc(2024, 1, 1, 3)), QStringLiteral("December 2023"));
    QCOMPARE(groupedCount(1234567), QStringLiteral("1,234,567"));
    QCOMPARE(groupedCount(1234567, QLocale(QStringLiteral("de_DE"))), QStringLiteral("1.234.567"));
  }
};

MURMELA_TEST(FormattersTest)
#include "FormattersTest.moc"
