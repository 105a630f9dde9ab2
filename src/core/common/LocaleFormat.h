#pragma once

#include "common/Date.h"

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <QTimeZone>

namespace murmela::LocaleFormat {

// Everything a user reads as a count, a date or a time goes through here.
// ICU does the work: Qt 6.4 drops the grouping of locales whose minimum
// grouping is two digits (es_ES writes 1234 as "1234" but 1234567 as
// "1.234.567"), writes pattern dates with ASCII digits whatever the locale,
// and its "AP" marker is always upper case.

// The ICU locale id of a Qt locale ("de_DE"; the C locale is "en_US_POSIX").
QByteArray icuLocaleId(const QLocale& locale = QLocale());

// An integer in the locale's grouped decimal form, with the locale's digits.
QString groupedInteger(qint64 value, const QLocale& locale = QLocale());

// An instant written by an ICU/CLDR pattern ("h:mm a", "MMMM d, yyyy",
// "EEEE") in the locale's language, digits and day-period case, in the
// given zone (by default the app's zone), on the proleptic Gregorian calendar.
QString formatDate(Date date, const QString& pattern, const QLocale& locale = QLocale(),
                   const QTimeZone& zone = QTimeZone::systemTimeZone());

// Whole calendar years and whole days from one instant to another, by the
// calendar's field difference in the zone: the count of years (days) that can
// be added to `from`, wall clock kept, without passing `to`. A day added at a
// time that a daylight-saving change skips lands after the gap, as in ICU.
// Negative when `to` is earlier.
qint64 wholeYearsBetween(Date from, Date to, const QTimeZone& zone = QTimeZone::systemTimeZone());
qint64 wholeDaysBetween(Date from, Date to, const QTimeZone& zone = QTimeZone::systemTimeZone());

}  // namespace murmela::LocaleFormat
