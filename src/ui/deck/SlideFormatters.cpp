#include "deck/SlideFormatters.h"

#include "common/LocaleFormat.h"

#include <algorithm>
#include <cmath>

namespace murmela {
namespace {

QString windowSeparator() { return QStringLiteral(" \u2014 "); }  // blank, em dash, blank
constexpr double kLargestDuration = 1.0e15;                       // seconds; whole hours of it still fit any count

int hourOfDay(int hour) { return ((hour % 24) + 24) % 24; }

QString period(int hour) { return hour < 12 ? QStringLiteral("AM") : QStringLiteral("PM"); }

int twelveHour(int hour) {
  if (hour == 0 || hour == 12) return 12;
  return hour > 12 ? hour - 12 : hour;
}

struct FrequencyBand {
  double lowerBound;
  const char* phrase;
};

constexpr FrequencyBand kFrequencyBands[] = {
    {0.95, "basically every time"},       {0.88, "almost always"},
    {0.83, "four out of five times"},     {0.78, "more than three quarters of the time"},
    {0.72, "three quarters of the time"}, {0.69, "almost three quarters of the time"},
    {0.66, "two thirds of the time"},     {0.58, "almost two thirds of the time"},
    {0.53, "more than half of the time"},
};

}  // namespace

QString hourLabel(int hour) {
  const int h = hourOfDay(hour);
  return QString::number(twelveHour(h)) + QLatin1Char(' ') + period(h);
}

QString timeWindowLabel(int startHour, int duration) {
  const int start = hourOfDay(startHour);
  const int end = hourOfDay(start + duration % 24);
  const QString startNumber = QString::number(twelveHour(start));
  const QString endPart = QString::number(twelveHour(end)) + QLatin1Char(' ') + period(end);
  if (period(start) == period(end)) return startNumber + windowSeparator() + endPart;
  return startNumber + QLatin1Char(' ') + period(start) + windowSeparator() + endPart;
}

QString initiationFrequencyPhrase(double rate) {
  for (const FrequencyBand& band : kFrequencyBands)
    if (rate >= band.lowerBound) return QString::fromLatin1(band.phrase);
  return QStringLiteral("about half the time");
}

QString formatDuration(double seconds) {
  const double bounded = std::isnan(seconds) ? 0.0 : std::clamp(seconds, -kLargestDuration, kLargestDuration);
  const auto wholeHours = static_cast<qint64>(std::trunc(bounded / 3600.0));
  if (wholeHours >= 48) return QString::number(wholeHours / 24) + QStringLiteral(" days");
  if (wholeHours < 1)
    return QString::number(static_cast<qint64>(std::trunc(bounded / 60.0))) + QStringLiteral(" minutes");
  return QString::number(wholeHours) + QStringLiteral(" hours");
}

QString murmelaDate(Date date, const QLocale& locale, const QTimeZone& zone) {
  return LocaleFormat::formatDate(date, QStringLiteral("MMMM d, yyyy"), locale, zone);
}

QString murmelaMonthYear(Date date, const QLocale& locale, const QTimeZone& zone) {
  return LocaleFormat::formatDate(date, QStringLiteral("MMMM yyyy"), locale, zone);
}

QString argumentMapLabel(Date date, const QLocale& locale, const QTimeZone& zone) {
  return LocaleFormat::formatDate(date, QStringLiteral("MMM yyyy"), locale, zone);
}

QString groupedCount(qint64 count, const QLocale& locale) { return LocaleFormat::groupedInteger(count, locale); }

}  // namespace murmela
