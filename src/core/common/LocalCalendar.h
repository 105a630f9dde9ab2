#pragma once

#include "common/Date.h"

#include <QDate>
#include <QTime>
#include <QTimeZone>

namespace murmela {

// The user's calendar in one time zone (by default the system zone when the
// calendar is made). Every day, hour, weekday, month and year of the analysis
// comes from here. Conversions remember the last zone-offset interval, so a
// scan over messages in date order costs one zone lookup per transition.
// Not thread-safe: make one per run or per thread.
class LocalCalendar {
 public:
  LocalCalendar();
  explicit LocalCalendar(const QTimeZone& zone);

  const QTimeZone& timeZone() const { return zone_; }

  int offsetFromUtc(Date date) const;  // seconds east of UTC at that instant
  QDate date(Date date) const;
  QTime timeOfDay(Date date) const;  // local wall-clock time, milliseconds kept
  int hour(Date date) const;
  int year(Date date) const;
  int month(Date date) const;
  // Weekday row with Sunday first: Sunday 0, Monday 1, ... Saturday 6.
  int weekdayRow(Date date) const;
  static int weekdayRow(QDate date) { return date.dayOfWeek() % 7; }

  // First moment of a local day; correct across DST gaps at midnight.
  Date startOfDay(QDate day) const;
  Date startOfDay(Date date) const { return startOfDay(this->date(date)); }
  // First moment of the calendar month holding the instant.
  Date startOfMonth(Date date) const;
  QDateTime localDateTime(Date date) const;

  // Calendar days from the day of `from` to the day of `to` (negative when to is earlier).
  // Whole days and years elapsed are LocaleFormat's (ICU's field difference).
  qint64 daysBetween(Date from, Date to) const;

 private:
  QTimeZone zone_;
  mutable qint64 cachedStart_ = 1;  // Unix milliseconds, [start, end) holds cachedOffset_
  mutable qint64 cachedEnd_ = 0;
  mutable int cachedOffset_ = 0;
};

}  // namespace murmela
