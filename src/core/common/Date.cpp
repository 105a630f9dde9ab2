#include "common/Date.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace murmela {

Date Date::now() { return fromUnixMilliseconds(QDateTime::currentMSecsSinceEpoch()); }

Date Date::fromUnixMilliseconds(qint64 milliseconds) {
  qint64 sinceReference = 0;
  // Subtracting first keeps the one rounding in the division; only values
  // far outside any calendar could overflow, and those take the double road.
  if (__builtin_sub_overflow(milliseconds, kUnixOffsetMilliseconds, &sinceReference))
    return Date((static_cast<double>(milliseconds) - static_cast<double>(kUnixOffsetMilliseconds)) / 1000.0);
  return Date(static_cast<double>(sinceReference) / 1000.0);
}

Date Date::fromQDateTime(const QDateTime& dateTime) { return fromUnixMilliseconds(dateTime.toMSecsSinceEpoch()); }

qint64 Date::toUnixMilliseconds() const {
  // Milliseconds since the reference date in one rounding. Adding the Unix
  // offset in floating point first would lose up to a tenth of a millisecond
  // far from 2001 (1969, 2244), so that is done in integers.
  const double milliseconds = seconds_ * 1000.0;
  if (std::isnan(milliseconds)) return std::numeric_limits<qint64>::min();
  const double nearest = std::nearbyint(milliseconds);
  // An instant made from Unix seconds carries the rounding of that value too.
  const double magnitude =
      std::max(std::fabs(milliseconds), std::fabs(milliseconds + static_cast<double>(kUnixOffsetMilliseconds)));
  const double unitInLastPlace = std::nextafter(magnitude, std::numeric_limits<double>::infinity()) - magnitude;
  const double tolerance = std::max(1e-6, 4.0 * unitInLastPlace);
  const double whole = std::fabs(milliseconds - nearest) <= tolerance ? nearest : std::floor(milliseconds);
  // 2^63 less the offset, in steps a double can represent.
  constexpr double kLimit = 9.2e18;
  if (whole >= kLimit) return std::numeric_limits<qint64>::max();
  if (whole <= -kLimit) return std::numeric_limits<qint64>::min();
  return static_cast<qint64>(whole) + kUnixOffsetMilliseconds;
}

QDateTime Date::toQDateTime() const { return QDateTime::fromMSecsSinceEpoch(toUnixMilliseconds(), QTimeZone::utc()); }

}  // namespace murmela
