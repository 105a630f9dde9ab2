#include "common/Iso8601.h"

#include <QRegularExpression>

namespace murmela::Iso8601 {

QString format(Date date) { return date.toQDateTime().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss'Z'")); }

QString formatWithMilliseconds(Date date) {
  return date.toQDateTime().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss.zzz'Z'"));
}

namespace {

// The form the app itself writes, "2024-03-05T14:22:10Z", read without the
// pattern; nothing for any other text. Gives what the pattern gives.
std::optional<Date> parseWholeSecondsUtc(const QString& text) {
  static constexpr char kShape[] = "dddd-dd-ddTdd:dd:ddZ";
  if (text.size() != 20) return std::nullopt;
  for (qsizetype i = 0; i < 20; ++i) {
    const char16_t unit = text[i].unicode();
    if (kShape[i] == 'd' ? (unit < u'0' || unit > u'9') : unit != static_cast<char16_t>(kShape[i]))
      return std::nullopt;
  }
  const auto field = [&text](qsizetype at, qsizetype length) {
    int value = 0;
    for (qsizetype i = at; i < at + length; ++i) value = value * 10 + (text[i].unicode() - u'0');
    return value;
  };
  const QDate day(field(0, 4), field(5, 2), field(8, 2));
  const int hour = field(11, 2), minute = field(14, 2), second = field(17, 2);
  if (!day.isValid() || hour > 23 || minute > 59 || second > 59) return std::nullopt;
  const qint64 wholeUnix = (day.toJulianDay() - QDate(1970, 1, 1).toJulianDay()) * 86400 + hour * 3600 +
                           minute * 60 + second;
  const Date date(static_cast<double>(wholeUnix - static_cast<qint64>(Date::kUnixOffset)));
  if (!date.hasFourDigitYear()) return std::nullopt;
  return date;
}

}  // namespace

std::optional<Date> parse(const QString& text, bool allowFraction) {
  if (const std::optional<Date> date = parseWholeSecondsUtc(text)) return date;
  // Anchored at the true end: "$" alone would also match before a final line feed.
  static const QRegularExpression pattern(QRegularExpression::anchoredPattern(
      QStringLiteral(R"((\d{4})-(\d{2})-(\d{2})T(\d{2}):(\d{2}):(\d{2})(\.\d+)?(Z|([+-])(\d{2}):(\d{2})))")));
  const QRegularExpressionMatch match = pattern.match(text);
  if (!match.hasMatch()) return std::nullopt;
  if (match.hasCaptured(7) && !allowFraction) return std::nullopt;

  const QDate day(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
  const int hour = match.captured(4).toInt();
  const int minute = match.captured(5).toInt();
  const int second = match.captured(6).toInt();
  if (!day.isValid() || hour > 23 || minute > 59 || second > 59) return std::nullopt;

  int offsetSeconds = 0;
  if (match.captured(8) != QLatin1String("Z")) {
    const int offsetHours = match.captured(10).toInt();
    const int offsetMinutes = match.captured(11).toInt();
    if (offsetHours > 23 || offsetMinutes > 59) return std::nullopt;
    offsetSeconds = (offsetHours * 3600 + offsetMinutes * 60) * (match.captured(9) == QLatin1String("-") ? -1 : 1);
  }

  double fraction = 0.0;
  if (match.hasCaptured(7))
    fraction = QStringView(match.captured(7)).mid(1).toString().prepend(QLatin1String("0.")).toDouble();

  const qint64 wholeUnix =
      QDateTime(day, QTime(hour, minute, second), QTimeZone::utc()).toSecsSinceEpoch() - offsetSeconds;
  // Whole seconds since the reference date are exact; the fraction adds the
  // one rounding.
  const Date date(static_cast<double>(wholeUnix - static_cast<qint64>(Date::kUnixOffset)) + fraction);
  // An offset can carry 0001-01-01 or 9999-12-31 out of the years the app
  // writes (and reads back).
  if (!date.hasFourDigitYear()) return std::nullopt;
  return date;
}

}  // namespace murmela::Iso8601
