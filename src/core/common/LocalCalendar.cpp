#include "common/LocalCalendar.h"

#include <cmath>
#include <limits>

namespace murmela {
namespace {

constexpr qint64 kUnixEpochJulianDay = 2440588;
constexpr double kSecondsPerDay = 86400.0;

// Local wall-clock seconds since the Unix epoch.
double wallSeconds(const LocalCalendar& calendar, Date date) { return date.toUnix() + calendar.offsetFromUtc(date); }

// Milliseconds into the local day, for ordering times of day.
qint64 millisecondsIntoDay(const LocalCalendar& calendar, Date date) {
  const double wall = wallSeconds(calendar, date);
  const double intoDay = wall - std::floor(wall / kSecondsPerDay) * kSecondsPerDay;
  return static_cast<qint64>(std::floor(intoDay * 1000.0 + 1e-6));
}

}  // namespace

LocalCalendar::LocalCalendar() : LocalCalendar(QTimeZone::systemTimeZone()) {}

LocalCalendar::LocalCalendar(const QTimeZone& zone) : zone_(zone.isValid() ? zone : QTimeZone::utc()) {}

int LocalCalendar::offsetFromUtc(Date date) const {
  const double unix = date.toUnix();
  if (unix >= cachedStart_ && unix < cachedEnd_) return cachedOffset_;

  const qint64 ms = static_cast<qint64>(std::floor(unix * 1000.0));
  const QDateTime at = QDateTime::fromMSecsSinceEpoch(ms, QTimeZone::utc());
  cachedOffset_ = zone_.offsetFromUtc(at);

  // The offset holds from the last transition at or before this instant until
  // the next one. A zone without transitions has one offset for all time.
  cachedStart_ = -std::numeric_limits<double>::infinity();
  cachedEnd_ = std::numeric_limits<double>::infinity();
  if (zone_.hasTransitions()) {
    const QTimeZone::OffsetData previous = zone_.previousTransition(at.addMSecs(1));
    if (previous.atUtc.isValid()) cachedStart_ = previous.atUtc.toMSecsSinceEpoch() / 1000.0;
    const QTimeZone::OffsetData next = zone_.nextTransition(at);
    if (next.atUtc.isValid()) cachedEnd_ = next.atUtc.toMSecsSinceEpoch() / 1000.0;
    if (cachedStart_ > unix || cachedEnd_ <= unix) {
      cachedStart_ = 1.0;  // inconsistent transition data: cache nothing
      cachedEnd_ = 0.0;
    }
  }
  return cachedOffset_;
}

QDate LocalCalendar::date(Date date) const {
  const double wall = wallSeconds(*this, date);
  return QDate::fromJulianDay(kUnixEpochJulianDay + static_cast<qint64>(std::floor(wall / kSecondsPerDay)));
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

qint64 LocalCalendar::wholeDaysElapsed(Date from, Date to) const {
  qint64 days = daysBetween(from, to);
  const qint64 fromTime = millisecondsIntoDay(*this, from);
  const qint64 toTime = millisecondsIntoDay(*this, to);
  if (days > 0 && toTime < fromTime) --days;
  if (days < 0 && toTime > fromTime) ++days;
  return days;
}

qint64 LocalCalendar::wholeYearsElapsed(Date from, Date to) const {
  const QDate a = this->date(from);
  const QDate b = this->date(to);
  qint64 years = b.year() - a.year();
  const auto key = [this](QDate day, Date instant) {
    return std::make_tuple(day.month(), day.day(), millisecondsIntoDay(*this, instant));
  };
  if (years > 0 && key(b, to) < key(a, from)) --years;
  if (years < 0 && key(b, to) > key(a, from)) ++years;
  return years;
}

}  // namespace murmela
