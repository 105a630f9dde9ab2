#pragma once

#include <QDateTime>
#include <QTimeZone>
#include <QtGlobal>

#include <compare>

namespace murmela {

// A point in time: seconds since 2001-01-01T00:00:00Z as a double, with no time
// zone of its own. Calendar values are always read through LocalCalendar.
class Date {
 public:
  static constexpr double kUnixOffset = 978307200.0;  // 2001-01-01 in Unix seconds

  constexpr Date() = default;
  constexpr explicit Date(double secondsSinceReference) : seconds_(secondsSinceReference) {}

  static Date now();
  static constexpr Date fromUnix(double unixSeconds) { return Date(unixSeconds - kUnixOffset); }
  // The Messages database stores nanoseconds since the reference date.
  static constexpr Date fromMessagesNanoseconds(qint64 nanoseconds) {
    return Date(static_cast<double>(nanoseconds) / 1e9);
  }
  // Milliseconds of the QDateTime (any time spec) become the instant.
  static Date fromQDateTime(const QDateTime& dateTime);

  constexpr double secondsSinceReference() const { return seconds_; }
  constexpr double toUnix() const { return seconds_ + kUnixOffset; }
  // Floors to whole milliseconds (never rounds), in UTC.
  QDateTime toQDateTime() const;
  // Milliseconds since the Unix epoch, floored.
  qint64 toUnixMilliseconds() const;

  constexpr Date addingSeconds(double seconds) const { return Date(seconds_ + seconds); }
  constexpr double secondsSince(Date earlier) const { return seconds_ - earlier.seconds_; }

  friend constexpr bool operator==(Date a, Date b) { return a.seconds_ == b.seconds_; }
  friend constexpr auto operator<=>(Date a, Date b) { return a.seconds_ <=> b.seconds_; }

 private:
  double seconds_ = 0.0;
};

}  // namespace murmela
