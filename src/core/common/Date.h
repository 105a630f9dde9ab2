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
  static constexpr qint64 kUnixOffsetMilliseconds = 978307200000;
  // Unix seconds of 0001-01-01T00:00:00Z and of 10000-01-01T00:00:00Z: the
  // instants whose UTC year has the four digits every written date uses.
  static constexpr double kEarliestUnix = -62135596800.0;
  static constexpr double kEndUnix = 253402300800.0;

  constexpr Date() = default;
  constexpr explicit Date(double secondsSinceReference) : seconds_(secondsSinceReference) {}

  static Date now();
  static constexpr Date fromUnix(double unixSeconds) { return Date(unixSeconds - kUnixOffset); }
  // The Messages database stores nanoseconds since the reference date.
  static constexpr Date fromMessagesNanoseconds(qint64 nanoseconds) {
    return Date(static_cast<double>(nanoseconds) / 1e9);
  }
  // Whole milliseconds since the Unix epoch, in one rounding (1969 and 2244
  // lose nothing that toUnixMilliseconds() would not give back).
  static Date fromUnixMilliseconds(qint64 milliseconds);
  // Milliseconds of the QDateTime (any time spec) become the instant.
  static Date fromQDateTime(const QDateTime& dateTime);

  constexpr double secondsSinceReference() const { return seconds_; }
  constexpr double toUnix() const { return seconds_ + kUnixOffset; }
  // Floors to whole milliseconds (never rounds), in UTC.
  QDateTime toQDateTime() const;
  // Milliseconds since the Unix epoch, floored; a value within a few units
  // in the last place of a whole millisecond is that millisecond (it was
  // made from one). Saturates outside the 64-bit range.
  qint64 toUnixMilliseconds() const;
  // Whether the instant's UTC year lies in 1 ... 9999 (what the app can write
  // and read back).
  constexpr bool hasFourDigitYear() const { return toUnix() >= kEarliestUnix && toUnix() < kEndUnix; }

  constexpr Date addingSeconds(double seconds) const { return Date(seconds_ + seconds); }
  constexpr double secondsSince(Date earlier) const { return seconds_ - earlier.seconds_; }

  friend constexpr bool operator==(Date a, Date b) { return a.seconds_ == b.seconds_; }
  friend constexpr auto operator<=>(Date a, Date b) { return a.seconds_ <=> b.seconds_; }

 private:
  double seconds_ = 0.0;
};

}  // namespace murmela
