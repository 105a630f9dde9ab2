#include "common/Date.h"
#include "common/LocalCalendar.h"
#include "support/TestRegistry.h"

#include <QTest>

using namespace murmela;

namespace {

// An instant from a local wall-clock time in the given zone.
Date local(const QTimeZone& zone, int y, int m, int d, int h = 12, int min = 0, int s = 0) {
  return Date::fromQDateTime(QDateTime(QDate(y, m, d), QTime(h, min, s), zone));
}

const QTimeZone newYork("America/New_York");

}  // namespace

class DateAndCalendarTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void conversions() {
    QCOMPARE(Date::fromUnix(978307200.0).secondsSinceReference(), 0.0);
    QCOMPARE(Date(0).toUnix(), 978307200.0);
    QCOMPARE(Date::fromMessagesNanoseconds(700000000123456789LL).secondsSinceReference(), 700000000.123456789);
    // Flooring to milliseconds, never rounding, also before 1970.
    QCOMPARE(Date::fromUnix(1.9999).toQDateTime().toMSecsSinceEpoch(), 1999LL);
    QCOMPARE(Date::fromUnix(-0.0005).toQDateTime().toMSecsSinceEpoch(), -1LL);
    // A value made from whole milliseconds comes back exactly.
    for (qint64 ms : {1700000000123LL, 1700000000999LL, 1LL, 978307200001LL}) {
      const QDateTime dt = QDateTime::fromMSecsSinceEpoch(ms, QTimeZone::utc());
      QCOMPARE(Date::fromQDateTime(dt).toQDateTime().toMSecsSinceEpoch(), ms);
    }
    QVERIFY(Date(1) < Date(2));
    QCOMPARE(Date(5).secondsSince(Date(2)), 3.0);
  }

  void systemZoneIsPinned() {
    // The tests run in New York time; every calendar expectation below relies on it.
    QCOMPARE(QTimeZone::systemTimeZoneId(), QByteArray("America/New_York"));
  }

  void calendarFieldsTable_data() {
    QTest::addColumn<double>("unix");
    QTest::addColumn<QDate>("day");
    QTest::addColumn<int>("hour");
    QTest::addColumn<int>("row");
    // 2024-01-07 is a Sunday: 05:30 UTC is 00:30 in New York.
    QTest::newRow("sunday after midnight") << 1704605400.0 << QDate(2024, 1, 7) << 0 << 0;
    // 04:59 UTC on Sunday is still Saturday 23:59 in New York.
    QTest::newRow("saturday before midnight") << 1704603540.0 << QDate(2024, 1, 6) << 23 << 6;
    // Summer time: UTC-4. 2024-07-01 16:00 UTC = 12:00 Monday.
    QTest::newRow("monday in summer") << 1719849600.0 << QDate(2024, 7, 1) << 12 << 1;
  }
  void calendarFieldsTable() {
    QFETCH(double, unix);
    QFETCH(QDate, day);
    QFETCH(int, hour);
    QFETCH(int, row);
    const LocalCalendar calendar;
    const Date date = Date::fromUnix(unix);
    QCOMPARE(calendar.date(date), day);
    QCOMPARE(calendar.hour(date), hour);
    QCOMPARE(calendar.weekdayRow(date), row);
    QCOMPARE(calendar.year(date), day.year());
  }

  void dstWeekKeepsConsecutiveDays() {
    // 2024-03-10 springs forward at 02:00 in New York; 2024-11-03 falls back.
    const LocalCalendar calendar(newYork);
    QCOMPARE(calendar.daysBetween(local(newYork, 2024, 3, 9, 23, 30), local(newYork, 2024, 3, 10, 23, 30)), 1LL);
    QCOMPARE(calendar.daysBetween(local(newYork, 2024, 3, 10, 0, 30), local(newYork, 2024, 3, 11, 0, 10)), 1LL);
    QCOMPARE(calendar.daysBetween(local(newYork, 2024, 11, 2, 0, 30), local(newYork, 2024, 11, 3, 23, 50)), 1LL);
    QCOMPARE(calendar.daysBetween(local(newYork, 2024, 3, 4), local(newYork, 2024, 3, 17)), 13LL);
    // The day of 2024-03-10 is 23 hours long and starts at 05:00 UTC.
    QCOMPARE(calendar.startOfDay(QDate(2024, 3, 10)).toUnix(), 1710046800.0);
    QCOMPARE(calendar.startOfDay(QDate(2024, 3, 11)).secondsSince(calendar.startOfDay(QDate(2024, 3, 10))), 23 * 3600.0);
  }

  void midnightGapStartsLater() {
    // Havana springs forward at midnight: 2024-03-10 begins at 01:00 local.
    const QTimeZone havana("America/Havana");
    const LocalCalendar calendar(havana);
    const Date start = calendar.startOfDay(QDate(2024, 3, 10));
    QCOMPARE(calendar.date(start), QDate(2024, 3, 10));
    QCOMPARE(calendar.hour(start), 1);
  }

  void startOfMonth() {
    const LocalCalendar calendar(newYork);
    const Date month = calendar.startOfMonth(local(newYork, 2024, 3, 17, 18));
    QCOMPARE(month, local(newYork, 2024, 3, 1, 0));
    // The last hours of a month in UTC terms stay in the local month.
    QCOMPARE(calendar.startOfMonth(Date::fromUnix(1711929600.0)), local(newYork, 2024, 3, 1, 0));  // 04-01 00:00Z
  }

  void wholeDaysAndYears_data() {
    QTest::addColumn<Date>("from");
    QTest::addColumn<Date>("to");
    QTest::addColumn<qint64>("days");
    QTest::addColumn<qint64>("years");
    QTest::newRow("same time next day") << local(newYork, 2024, 1, 1, 9) << local(newYork, 2024, 1, 2, 9) << 1LL << 0LL;
    QTest::newRow("earlier time next day") << local(newYork, 2024, 1, 1, 9) << local(newYork, 2024, 1, 2, 8) << 0LL << 0LL;
    QTest::newRow("across spring forward") << local(newYork, 2024, 3, 9, 12) << local(newYork, 2024, 3, 10, 12) << 1LL << 0LL;
    QTest::newRow("a year to the second") << local(newYork, 2023, 5, 1, 9) << local(newYork, 2024, 5, 1, 9) << 366LL << 1LL;
    QTest::newRow("a year less a minute") << local(newYork, 2023, 5, 1, 9) << local(newYork, 2024, 5, 1, 8, 59) << 365LL << 0LL;
    QTest::newRow("backwards") << local(newYork, 2024, 1, 3, 9) << local(newYork, 2024, 1, 1, 10) << -1LL << 0LL;
  }
  void wholeDaysAndYears() {
    QFETCH(Date, from);
    QFETCH(Date, to);
    QFETCH(qint64, days);
    QFETCH(qint64, years);
    const LocalCalendar calendar(newYork);
    QCOMPARE(calendar.wholeDaysElapsed(from, to), days);
    QCOMPARE(calendar.wholeYearsElapsed(from, to), years);
  }

  void cachedOffsetsFollowTransitions() {
    // Scanning forward and backward over a transition must give the same answers
    // as a fresh calendar for each instant.
    const LocalCalendar scanning(newYork);
    for (int step = -48; step <= 48; ++step) {
      const Date at = Date::fromUnix(1710054000.0 + step * 1800.0);  // around 2024-03-10 07:00Z
      QCOMPARE(scanning.offsetFromUtc(at), LocalCalendar(newYork).offsetFromUtc(at));
    }
    for (int step = 48; step >= -48; --step) {
      const Date at = Date::fromUnix(1730613600.0 + step * 1800.0);  // around 2024-11-03 06:00Z
      QCOMPARE(scanning.offsetFromUtc(at), LocalCalendar(newYork).offsetFromUtc(at));
      QCOMPARE(scanning.hour(at), at.toQDateTime().toTimeZone(newYork).time().hour());
    }
  }
};

MURMELA_TEST(DateAndCalendarTest)
#include "DateAndCalendarTest.moc"
