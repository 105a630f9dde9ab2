#include "common/LocalCalendar.h"

#include <limits>

namespace murmela {
namespace {

constexpr qint64 kUnixEpochJulianDay = 2440588;
constexpr qint64 kMillisecondsPerDay = 86400000;

// Local wall-clock milliseconds since the Unix epoch, in integers so that a
// whole millisecond never becomes the one before it.
qint64 wallMilliseconds(const LocalCalendar& calendar, Date date) {
  return date.toUnixMilliseconds() + qint64(calendar.offsetFromUtc(date)) * 1000;
}

qint64 floorDivide(qint64 value, qint64 divisor) {
  const qint64 quotient = value / divisor;
  return quotient * divisor > value ? quotient - 1 : quotient;
}

// Milliseconds into the local day, for ordering times of day.
qint64 millisecondsIntoDay(const LocalCalendar& calendar, Date date) {
  const qint64 wall = wallMilliseconds(calendar, date);
  return wall - floorDivide(wall, kMillisecondsPerDay) * kMillisecondsPerDay;
}

}  // namespace

LocalCalendar::LocalCalendar() : LocalCalendar(QTimeZone::systemTimeZone()) {}

LocalCalendar::LocalCalendar(const QTimeZone& zone) : zone_(zone.isValid() ? zone : QTimeZone::utc()) {}

int LocalCalendar::offsetFromUtc(Date date) const {
  const qint64 ms = date.toUnixMilliseconds();
  if (ms >= cachedStart_ && ms < cachedEnd_) return cachedOffset_;

  const QDateTime at = QDateTime::fromMSecsSinceEpoch(ms, QTimeZone::utc());
  cachedOffset_ = zone_.offsetFromUtc(at);

  // The offset holds from the last transition at or before this instant until
  // the next one. A zone without transitions has one offset for all time.
  cachedStart_ = std::numeric_limits<qint64>::min();
  cachedEnd_ = std::numeric_limits<qint64>::max();
  if (zone_.hasTransitions()) {
    const QTimeZone::OffsetData previous = zone_.previousTransition(at.addMSecs(1));
    if (previous.atUtc.isValid()) cachedStart_ = previous.atUtc.toMSecsSinceEpoch();
    // Qt answers nothing at exactly a zone-file entry that changes no offset
    // (2038-01-19 in some zones), though later transitions exist.
    QTimeZone::OffsetData next = zone_.nextTransition(at);
    if (!next.atUtc.isValid()) next = zone_.nextTransition(at.addMSecs(1));
    if (next.atUtc.isValid()) cachedEnd_ = next.atUtc.toMSecsSinceEpoch();
    if (cachedStart_ > ms || cachedEnd_ <= ms) {
      cachedStart_ = 1;  // inconsistent transition data: cache nothing
      cachedEnd_ = 0;
    }
  }
  return cachedOffset_;
}

QDate LocalCalendar::date(Date date) const {
  return QDate::fromJulianDay(kUnixEpochJulianDay + floorDivide(wallMilliseconds(*this, date), kMillisecondsPerDay));
}

QTime LocalCalendar::timeOfDay(Date date) const {
  return QTime::fromMSecsSinceStartOfDay(static_cast<int>(millisecondsIntoDay(*this, date) % 86400000));
}

int LocalCalendar::hour(Date date) const { return static_cast<int>(millisecondsIntoDay(*this, date) / 3600000) % 24; }

int LocalCalendar::year(Date date) const { return this->date(date).year(); }

int LocalCalendar::month(Date date) const { return this->date(date).month(); }

int LocalCalendar::weekdayRow(Date date) const { return weekdayRow(this->date(date)); }

Date LocalCalendar::startOfDay(QDate day) const { return Date::fromQDateTime(day.startOfDay(zone_)); }

Date LocalCalendar::startOfMonth(Date date) const {
  const QDate day = this->date(date);
  return startOfDay(QDate(day.year(), day.month(), 1));
}

QDateTime LocalCalendar::localDateTime(Date date) const { return date.toQDateTime().toTimeZone(zone_); }

qint64 LocalCalendar::daysBetween(Date from, Date to) const { return this->date(from).daysTo(this->date(to)); }

}  // namespace murmela
