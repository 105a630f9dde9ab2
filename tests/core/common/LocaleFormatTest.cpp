#include "common/IcuTimeZone.h"
#include "common/Iso8601.h"
#include "common/LocaleFormat.h"
#include "support/TestRegistry.h"

#include <QTest>

#include <limits>

#include <unicode/gregocal.h>

using namespace murmela;

namespace {

Date utc(const char* text) { return *Iso8601::parse(QString::fromLatin1(text)); }

// A Friday evening in New York: 2024-03-08 21:14 EST.
const Date kFridayEvening = utc("2024-03-09T02:14:00Z");
const QTimeZone kNewYork("America/New_York");
const char* const kBerlinRule = "CET-1CEST,M3.5.0,M10.5.0/3";
const char* const kNewYorkRule = "EST5EDT,M3.2.0,M11.1.0";

// ICU's own answer, with its own zone data for the id: the reference the
// helpers must agree with, also for a Qt zone that ICU does not know.
qint64 icuFieldDifference(const char* icuZone, Date from, Date to, UCalendarDateFields field) {
  UErrorCode status = U_ZERO_ERROR;
  icu::GregorianCalendar calendar(icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(icuZone)), status);
  calendar.setGregorianChange(-184303902528000000.0, status);
  calendar.setTime(static_cast<UDate>(from.toUnixMilliseconds()), status);
  const int32_t difference = calendar.fieldDifference(static_cast<UDate>(to.toUnixMilliseconds()), field, status);
  return U_SUCCESS(status) ? difference : -999999;
}

int icuOffsetSeconds(const icu::TimeZone& zone, qint64 unixMilliseconds) {
  UErrorCode status = U_ZERO_ERROR;
  int32_t raw = 0;
  int32_t dst = 0;
  zone.getOffset(static_cast<UDate>(unixMilliseconds), false, raw, dst, status);
  return U_SUCCESS(status) ? (raw + dst) / 1000 : -999999;
}

}  // namespace

class LocaleFormatTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void groupedCounts_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("en_US 999") << "en_US" << 999LL << "999";
    QTest::newRow("en_US 1234") << "en_US" << 1234LL << "1,234";
    QTest::newRow("en_US 1234567") << "en_US" << 1234567LL << "1,234,567";
    QTest::newRow("en_GB 1234567") << "en_GB" << 1234567LL << "1,234,567";
    QTest::newRow("de_DE 1234") << "de_DE" << 1234LL << "1.234";
    QTest::newRow("de_DE 1234567") << "de_DE" << 1234567LL << "1.234.567";
    // Two digits before the first separator at least.
    QTest::newRow("es_ES 1234") << "es_ES" << 1234LL << "1234";
    QTest::newRow("es_ES 12345") << "es_ES" << 12345LL << "12.345";
    QTest::newRow("es_ES 1234567") << "es_ES" << 1234567LL << "1.234.567";
    QTest::newRow("pl_PL 1234") << "pl_PL" << 1234LL << "1234";
    QTest::newRow("pl_PL 1234567") << "pl_PL" << 1234567LL << "1\u00A0234\u00A0567";
    QTest::newRow("ar_EG 1234567") << "ar_EG" << 1234567LL << "\u0661\u066C\u0662\u0663\u0664\u066C\u0665\u0666\u0667";
    QTest::newRow("ja_JP 1234567") << "ja_JP" << 1234567LL << "1,234,567";
    QTest::newRow("en_US negative") << "en_US" << -1234567LL << "-1,234,567";
    QTest::newRow("en_US int64 max") << "en_US" << std::numeric_limits<qint64>::max() << "9,223,372,036,854,775,807";
  }
  void groupedCounts() {
    QFETCH(QString, locale);
    QFETCH(qint64, value);
    QTEST(LocaleFormat::groupedInteger(value, QLocale(locale)), "text");
  }

  void patternDates_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<Date>("date");
    QTest::addColumn<QString>("zone");
    QTest::addColumn<QString>("text");
    const Date friday = kFridayEvening;
    const QString ny = QStringLiteral("America/New_York");
    QTest::newRow("en_US time") << "en_US"
                                << "h:mm a" << friday << ny << "9:14 PM";
    QTest::newRow("en_GB time") << "en_GB"
                                << "h:mm a" << friday << ny << "9:14 pm";
    QTest::newRow("de_DE time") << "de_DE"
                                << "h:mm a" << friday << ny << "9:14 PM";
    QTest::newRow("es_ES time") << "es_ES"
                                << "h:mm a" << friday << ny << "9:14 p.\u00A0m.";
    QTest::newRow("pl_PL time") << "pl_PL"
                                << "h:mm a" << friday << ny << "9:14 PM";
    QTest::newRow("ar_EG time") << "ar_EG"
                                << "h:mm a" << friday << ny << "\u0669:\u0661\u0664 \u0645";
    QTest::newRow("ja_JP time") << "ja_JP"
                                << "h:mm a" << friday << ny << "9:14 \u5348\u5F8C";
    QTest::newRow("en_US day") << "en_US"
                               << "MMMM d, yyyy" << friday << ny << "March 8, 2024";
    QTest::newRow("en_GB day") << "en_GB"
                               << "MMMM d, yyyy" << friday << ny << "March 8, 2024";
    QTest::newRow("de_DE day") << "de_DE"
                               << "MMMM d, yyyy" << friday << ny << "M\u00E4rz 8, 2024";
    QTest::newRow("es_ES day") << "es_ES"
                               << "MMMM d, yyyy" << friday << ny << "marzo 8, 2024";
    QTest::newRow("pl_PL day") << "pl_PL"
                               << "MMMM d, yyyy" << friday << ny << "marca 8, 2024";
    QTest::newRow("ar_EG day") << "ar_EG"
                               << "MMMM d, yyyy" << friday << ny
                               << "\u0645\u0627\u0631\u0633 \u0668, \u0662\u0660\u0662\u0664";
    QTest::newRow("ja_JP day") << "ja_JP"
                               << "MMMM d, yyyy" << friday << ny << "3\u6708 8, 2024";
    QTest::newRow("weekday") << "en_US"
                             << "EEEE" << friday << ny << "Friday";
    // The usual script of a language is not always the locale's.
    QTest::newRow("sr_Latn_RS day") << "sr_Latn_RS"
                                    << "MMMM d, yyyy" << friday << ny << "mart 8, 2024";
    // Gregorian years and names even where the locale's own calendar differs.
    QTest::newRow("th_TH year") << "th_TH"
                                << "yyyy" << friday << ny << "2024";
    // Proleptic Gregorian before the 1582 switch, as every Qt date is.
    QTest::newRow("before 1582") << "en_US"
                                 << "MMMM d, yyyy" << utc("1500-03-01T12:00:00Z") << "UTC"
                                 << "March 1, 1500";
    // A zone ICU cannot name is honoured: 19:14 UTC in summer is 21:14 there.
    QTest::newRow("posix rule zone") << "en_US"
                                     << "h:mm a" << utc("2024-07-01T19:14:00Z") << kBerlinRule << "9:14 PM";
  }
  void patternDates() {
    QFETCH(QString, locale);
    QFETCH(QString, pattern);
    QFETCH(Date, date);
    QFETCH(QString, zone);
    QTEST(LocaleFormat::formatDate(date, pattern, QLocale(locale), QTimeZone(zone.toLatin1())), "text");
  }

  void defaultsFollowTheUserLocaleAndZone() {
    QCOMPARE(LocaleFormat::formatDate(kFridayEvening, QStringLiteral("h:mm a EEEE")), QStringLiteral("9:14 PM Friday"));
    QCOMPARE(LocaleFormat::groupedInteger(1234567), QStringLiteral("1,234,567"));
  }

  void calendarDifferences_data() {
    QTest::addColumn<QString>("zone");       // the Qt zone the helpers get
    QTest::addColumn<QString>("reference");  // ICU's own zone of the same rules
    QTest::addColumn<Date>("from");
    QTest::addColumn<Date>("to");
    QTest::addColumn<qint64>("years");
    QTest::addColumn<qint64>("days");
    struct Zone {
      const char* qt;
      const char* icu;
    };
    // New York rows (EST -5, EDT -4), for the zone by id and by rule string.
    for (const Zone zone : {Zone{"America/New_York", "America/New_York"}, Zone{kNewYorkRule, "America/New_York"}}) {
      const auto row = [&](const char* name) -> QTestData& {
        return QTest::addRow("%s %s", zone.qt, name) << zone.qt << zone.icu;
      };
      // 29 February plus two years is 28 February at the same wall time.
      row("29 Feb, two years on") << utc("2020-02-29T17:00:00Z") << utc("2022-02-28T18:00:00Z") << 2LL << 730LL;
      row("29 Feb, an hour short of a year")
          << utc("2020-02-29T17:00:00Z") << utc("2021-02-28T16:00:00Z") << 0LL << 364LL;
      // 02:30 on 10 March does not exist: a day on from 9 March 02:30 is 03:30.
      row("spring change, 03:29") << utc("2024-03-09T07:30:00Z") << utc("2024-03-10T07:29:00Z") << 0LL << 0LL;
      row("spring change, 03:30") << utc("2024-03-09T07:30:00Z") << utc("2024-03-10T07:30:00Z") << 0LL << 1LL;
      // 01:30 on 3 November happens twice: a day on is the first of them.
      row("fall change, first 01:15") << utc("2024-11-02T05:30:00Z") << utc("2024-11-03T05:15:00Z") << 0LL << 0LL;
      row("fall change, second 01:15") << utc("2024-11-02T05:30:00Z") << utc("2024-11-03T06:15:00Z") << 0LL << 1LL;
      row("backwards") << utc("2024-01-03T14:00:00Z") << utc("2024-01-01T15:00:00Z") << 0LL << -1LL;
      row("years backwards") << utc("2024-05-01T13:00:00Z") << utc("2021-05-01T12:59:00Z") << -3LL << -1096LL;
    }
    // Berlin rows (CET +1, CEST +2).
    for (const Zone zone : {Zone{"Europe/Berlin", "Europe/Berlin"}, Zone{kBerlinRule, "Europe/Berlin"}}) {
      const auto row = [&](const char* name) -> QTestData& {
        return QTest::addRow("%s %s", zone.qt, name) << zone.qt << zone.icu;
      };
      row("29 Feb, two years on") << utc("2020-02-29T11:00:00Z") << utc("2022-02-28T12:00:00Z") << 2LL << 730LL;
      row("spring change, 03:29") << utc("2024-03-30T01:30:00Z") << utc("2024-03-31T01:29:00Z") << 0LL << 0LL;
      row("spring change, 03:30") << utc("2024-03-30T01:30:00Z") << utc("2024-03-31T01:30:00Z") << 0LL << 1LL;
      row("fall change, first 02:15") << utc("2024-10-26T00:30:00Z") << utc("2024-10-27T00:15:00Z") << 0LL << 0LL;
      row("fall change, second 02:15") << utc("2024-10-26T00:30:00Z") << utc("2024-10-27T01:15:00Z") << 0LL << 1LL;
    }
  }
  void calendarDifferences() {
    QFETCH(QString, zone);
    QFETCH(QString, reference);
    QFETCH(Date, from);
    QFETCH(Date, to);
    QFETCH(qint64, years);
    QFETCH(qint64, days);
    const QTimeZone qtZone(zone.toLatin1());
    QVERIFY(qtZone.isValid());
    const QByteArray icuZone = reference.toLatin1();
    QCOMPARE(LocaleFormat::wholeYearsBetween(from, to, qtZone), icuFieldDifference(icuZone, from, to, UCAL_YEAR));
    QCOMPARE(LocaleFormat::wholeDaysBetween(from, to, qtZone), icuFieldDifference(icuZone, from, to, UCAL_DATE));
    QCOMPARE(LocaleFormat::wholeYearsBetween(from, to, qtZone), years);
    QCOMPARE(LocaleFormat::wholeDaysBetween(from, to, qtZone), days);
  }

  void rebuiltZonesAgreeWithQt_data() {
    QTest::addColumn<QString>("zone");
    QTest::newRow("rule string, north") << kBerlinRule;
    QTest::newRow("rule string, south") << "AEST-10AEDT,M10.1.0,M4.1.0/3";
    QTest::newRow("rule string, half hours") << "<+1030>-10:30<+11>-11,M10.1.0,M4.1.0";
    QTest::newRow("rule string, no daylight time") << "UTC0";
    QTest::newRow("fixed offset") << "UTC-03:00";
    QTest::newRow("zone file, New York") << "America/New_York";
    QTest::newRow("zone file, Berlin") << "Europe/Berlin";
    // Qt lists no transitions past a do-nothing entry in 2038 here.
    QTest::newRow("zone file, Lord Howe") << "Australia/Lord_Howe";
    // Daylight time ended in 2021: no yearly rule may continue it.
    QTest::newRow("zone file, Apia") << "Pacific/Apia";
    // The first Sunday on or after a day of the month.
    QTest::newRow("zone file, Santiago") << "America/Santiago";
  }
  void rebuiltZonesAgreeWithQt() {
    QFETCH(QString, zone);
    const QTimeZone qtZone(zone.toLatin1());
    QVERIFY(qtZone.isValid());
    const std::unique_ptr<icu::TimeZone> rebuilt = makeIcuTimeZoneFromTransitions(qtZone);
    const auto agree = [&](qint64 ms) {
      const int qt = qtZone.offsetFromUtc(QDateTime::fromMSecsSinceEpoch(ms, QTimeZone::utc()));
      const int icu = icuOffsetSeconds(*rebuilt, ms);
      if (qt != icu)
        qWarning("%s: Qt %d, ICU %d", qPrintable(Iso8601::format(Date::fromUnixMilliseconds(ms))), qt, icu);
      return qt == icu;
    };
    // Every 7 days and 7 hours from 1900 to 2300, and a millisecond either
    // side of every transition from 1970 to 2100.
    const qint64 end = QDateTime(QDate(2300, 1, 1), QTime(0, 0), QTimeZone::utc()).toMSecsSinceEpoch();
    for (qint64 ms = QDateTime(QDate(1900, 1, 1), QTime(0, 0), QTimeZone::utc()).toMSecsSinceEpoch(); ms < end;
         ms += (7 * 24 + 7) * 3600000LL)
      QVERIFY(agree(ms));
    const QDateTime from(QDate(1970, 1, 1), QTime(0, 0), QTimeZone::utc());
    const QDateTime to(QDate(2100, 1, 1), QTime(0, 0), QTimeZone::utc());
    for (QDateTime at = from;;) {
      QTimeZone::OffsetData next = qtZone.nextTransition(at);
      if (!next.atUtc.isValid()) next = qtZone.nextTransition(at.addMSecs(1));
      if (!next.atUtc.isValid() || next.atUtc >= to) break;
      QVERIFY(agree(next.atUtc.toMSecsSinceEpoch() - 1));
      QVERIFY(agree(next.atUtc.toMSecsSinceEpoch()));
      at = next.atUtc;
    }
  }

  void zonesIcuKnowsKeepTheirId() {
    icu::UnicodeString id;
    makeIcuTimeZone(kNewYork)->getID(id);
    QCOMPARE(id, icu::UnicodeString(u"America/New_York"));
    makeIcuTimeZone(QTimeZone(kBerlinRule))->getID(id);
    QCOMPARE(id, icu::UnicodeString::fromUTF8(kBerlinRule));
  }
};

MURMELA_TEST(LocaleFormatTest)
#include "LocaleFormatTest.moc"
