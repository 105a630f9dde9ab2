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
    QCOMPARE(calendar.startOfDay(QDate(2024, 3, 11)).secondsSince(calendar.startOfDay(QDate(2024, 3, 10))),
             23 * 3600.0);
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

  void wholeMillisecondsComeBack_data() {
    QTest::addColumn<qint64>("start");  // Unix milliseconds
    // Far from 2001 the seconds since then hold too few bits of the
    // millisecond for a round trip through Unix seconds.
    QTest::newRow("1969") << -31536000000LL;
    QTest::newRow("2001") << 978307200000LL - 5000000000LL;
    QTest::newRow("2024") << 1700000000000LL;
    QTest::newRow("2244") << 8700000000000LL;
    QTest::newRow("year 1") << -62135596800000LL;
    QTest::newRow("year 9999") << 253402200000000LL;
  }
  void wholeMillisecondsComeBack() {
    QFETCH(qint64, start);
    // Consecutive milliseconds, made the three ways the app makes dates.
    for (qint64 ms = start; ms < start + 20000; ms += 7) {
      QCOMPARE(Date::fromUnixMilliseconds(ms).toUnixMilliseconds(), ms);
      QCOMPARE(Date::fromQDateTime(QDateTime::fromMSecsSinceEpoch(ms, QTimeZone::utc())).toUnixMilliseconds(), ms);
      QCOMPARE(Date::fromUnix(static_cast<double>(ms) / 1000.0).toUnixMilliseconds(), ms);
    }
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
