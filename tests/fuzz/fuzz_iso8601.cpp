// The strict ISO-8601 reader against a reader of the same form written here
// from the form alone (character positions, the civil calendar by arithmetic),
// both with and without fractions, and the writer's text read back.
#include "FuzzCheck.h"
#include "common/Iso8601.h"

#include <optional>
#include <string>

using namespace murmela;

namespace {

// Days from 1970-01-01 to a proleptic Gregorian date.
qint64 daysFromCivil(qint64 year, int month, int day) {
  year -= month <= 2;
  const qint64 era = (year >= 0 ? year : year - 399) / 400;
  const qint64 yearOfEra = year - era * 400;
  const qint64 dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const qint64 dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

int daysInMonth(qint64 year, int month) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : days[month - 1];
}

struct Reading {
  qint64 milliseconds;  // Unix
  int fractionDigits;
};

std::optional<Reading> reference(const std::string& text, bool allowFraction) {
  const auto digit = [&](std::size_t i) { return i < text.size() && text[i] >= '0' && text[i] <= '9'; };
  const auto number = [&](std::size_t at, std::size_t count) {
    qint64 value = 0;
    for (std::size_t i = at; i < at + count; ++i) value = value * 10 + (text[i] - '0');
    return value;
  };
  const auto at = [&](std::size_t i, char c) { return i < text.size() && text[i] == c; };
  for (std::size_t i : {0u, 1u, 2u, 3u, 5u, 6u, 8u, 9u, 11u, 12u, 14u, 15u, 17u, 18u})
    if (!digit(i)) return std::nullopt;
  if (!at(4, '-') || !at(7, '-') || !at(10, 'T') || !at(13, ':') || !at(16, ':')) return std::nullopt;
  std::size_t position = 19;
  int fractionDigits = 0;
  qint64 fractionMilliseconds = 0;
  if (at(position, '.')) {
    ++position;
    while (digit(position)) {
      if (fractionDigits < 3) fractionMilliseconds = fractionMilliseconds * 10 + (text[position] - '0');
      ++fractionDigits;
      ++position;
    }
    if (fractionDigits == 0 || !allowFraction) return std::nullopt;
    for (int i = fractionDigits; i < 3; ++i) fractionMilliseconds *= 10;
  }
  qint64 offsetSeconds = 0;
  if (at(position, 'Z') && position + 1 == text.size()) {
  } else if ((at(position, '+') || at(position, '-')) && digit(position + 1) && digit(position + 2) &&
             at(position + 3, ':') && digit(position + 4) && digit(position + 5) && position + 6 == text.size()) {
    const qint64 hours = number(position + 1, 2), minutes = number(position + 4, 2);
    if (hours > 23 || minutes > 59) return std::nullopt;
    offsetSeconds = (hours * 3600 + minutes * 60) * (text[position] == '-' ? -1 : 1);
  } else {
    return std::nullopt;
  }
  const qint64 year = number(0, 4);
  const int month = static_cast<int>(number(5, 2)), day = static_cast<int>(number(8, 2));
  const qint64 hour = number(11, 2), minute = number(14, 2), second = number(17, 2);
  if (year < 1 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month)) return std::nullopt;
  if (hour > 23 || minute > 59 || second > 59) return std::nullopt;
  const qint64 unix = daysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second - offsetSeconds;
  // The UTC years 1 to 9999 only.
  if (unix < -62135596800LL || unix >= 253402300800LL) return std::nullopt;
  return Reading{unix * 1000 + fractionMilliseconds, fractionDigits};
}

}  // namespace

MURMELA_FUZZ_ENVIRONMENT("America/New_York")

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray bytes = fuzz::bytesOf(data, size);
  const QString text = QString::fromUtf8(bytes);
  // The reference reads bytes; only inputs whose text is the same bytes compare.
  const bool comparable = text.toUtf8() == bytes;
  for (const bool allowFraction : {false, true}) {
    const std::optional<Date> parsed = Iso8601::parse(text, allowFraction);
    if (comparable) {
      const std::optional<Reading> expected = reference(bytes.toStdString(), allowFraction);
      FUZZ_CHECK(parsed.has_value() == expected.has_value());
      if (parsed) {
        const qint64 got = parsed->toUnixMilliseconds();
        // Beyond milliseconds the fraction may carry the value to the next one.
        FUZZ_CHECK(expected->fractionDigits <= 3
                       ? got == expected->milliseconds
                       : got - expected->milliseconds >= 0 && got - expected->milliseconds <= 1);
      }
    }
    if (!parsed) continue;
    FUZZ_CHECK(parsed->hasFourDigitYear());
    // What the writer makes of it reads back to the same whole second.
    const QString written = Iso8601::format(*parsed);
    const std::optional<Date> again = Iso8601::parse(written);
    FUZZ_CHECK(again.has_value());
    const qint64 milliseconds = parsed->toUnixMilliseconds();
    FUZZ_CHECK(again->toUnixMilliseconds() == milliseconds - ((milliseconds % 1000) + 1000) % 1000);
    const std::optional<Date> withMilliseconds = Iso8601::parse(Iso8601::formatWithMilliseconds(*parsed), true);
    FUZZ_CHECK(withMilliseconds && withMilliseconds->toUnixMilliseconds() == parsed->toUnixMilliseconds());
    if (!allowFraction && text.endsWith(QLatin1Char('Z'))) FUZZ_CHECK(written == text);
  }
  return 0;
}
