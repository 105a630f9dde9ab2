#include "common/Date.h"

#include <cmath>

namespace murmela {

Date Date::now() { return fromUnix(static_cast<double>(QDateTime::currentMSecsSinceEpoch()) / 1000.0); }

Date Date::fromQDateTime(const QDateTime& dateTime) {
  return fromUnix(static_cast<double>(dateTime.toMSecsSinceEpoch()) / 1000.0);
}

qint64 Date::toUnixMilliseconds() const {
  // A nanosecond of tolerance keeps a value made from whole milliseconds from
  // flooring to the millisecond below through binary rounding.
  return static_cast<qint64>(std::floor(toUnix() * 1000.0 + 1e-6));
}

QDateTime Date::toQDateTime() const { return QDateTime::fromMSecsSinceEpoch(toUnixMilliseconds(), QTimeZone::utc()); }

}  // namespace murmela
