#pragma once

#include "common/Date.h"

#include <QLocale>
#include <QString>
#include <QTimeZone>

namespace murmela {

// The labels and wordings the slides build their captions from. Numbers
// inside them are plain decimal digits with no grouping; counts shown on
// their own go through groupedCount().

// "12 AM", "9 AM", "12 PM", "3 PM" for an hour of the day (other integers
// are taken modulo 24).
QString hourLabel(int hour);

// A window of `duration` hours from `startHour`: "8 — 10 PM" when both ends
// share their period, "11 PM — 1 AM" and "10 AM — 12 PM" when they do not
// (the separator is a blank, U+2014 and a blank).
QString timeWindowLabel(int startHour, int duration);

// How often someone reaches out first, in ten bands from "basically every
// time" (0.95 and above) down to "about half the time" (below 0.53, and a
// rate that is not a number). Each band holds its lower bound.
QString initiationFrequencyPhrase(double rate);

// A duration in seconds as a whole number of minutes (under an hour), hours
// (under 48) or days, always with the plural word: "1 minutes", "1 hours",
// "2 days". Truncated toward zero; a value that is not a number reads as 0,
// and a duration too large for the count is held at about 10^15 seconds.
QString formatDuration(double seconds);

// The three date formats, fixed patterns in the current locale's language
// and the current time zone: "March 3, 2024", "March 2024", "Mar 2024".
QString murmelaDate(Date date, const QLocale& locale = QLocale(), const QTimeZone& zone = QTimeZone::systemTimeZone());
QString murmelaMonthYear(Date date, const QLocale& locale = QLocale(),
                         const QTimeZone& zone = QTimeZone::systemTimeZone());
QString argumentMapLabel(Date date, const QLocale& locale = QLocale(),
                         const QTimeZone& zone = QTimeZone::systemTimeZone());

// A count in the current locale's grouped form ("12,345").
QString groupedCount(qint64 count, const QLocale& locale = QLocale());

}  // namespace murmela
