#include "common/LocaleFormat.h"

#include "common/IcuTimeZone.h"

#include <unicode/calendar.h>
#include <unicode/smpdtfmt.h>
#include <unicode/unumberformatter.h>

#include <memory>

namespace murmela::LocaleFormat {

namespace {

QString fromIcu(const icu::UnicodeString& text) {
  return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

icu::UnicodeString toIcu(const QString& text) {
  return icu::UnicodeString(reinterpret_cast<const UChar*>(text.utf16()), static_cast<int32_t>(text.size()));
}

qint64 fieldDifference(Date from, Date to, const QTimeZone& zone, UCalendarDateFields field) {
  const std::unique_ptr<icu::Calendar> calendar = makeGregorianCalendar(zone);
  if (!calendar) return 0;
  UErrorCode status = U_ZERO_ERROR;
  calendar->setTime(static_cast<UDate>(from.toUnixMilliseconds()), status);
  const int32_t difference = calendar->fieldDifference(static_cast<UDate>(to.toUnixMilliseconds()), field, status);
  return U_SUCCESS(status) ? difference : 0;
}

}  // namespace

QByteArray icuLocaleId(const QLocale& locale) {
  if (locale.language() == QLocale::C) return QByteArrayLiteral("en_US_POSIX");
  return locale.name().toLatin1();
}

QString groupedInteger(qint64 value, const QLocale& locale) {
  // The number formatter (not the older unum API) applies the locale's
  // minimum grouping: es_ES writes 1234 as "1234" and 12345 as "12.345".
  UErrorCode status = U_ZERO_ERROR;
  const QByteArray id = icuLocaleId(locale);
  UNumberFormatter* formatter = unumf_openForSkeletonAndLocale(u"", 0, id.constData(), &status);
  UFormattedNumber* result = unumf_openResult(&status);
  QString text;
  if (U_SUCCESS(status)) {
    unumf_formatInt(formatter, value, result, &status);
    UChar buffer[64];
    const int32_t length = unumf_resultToString(result, buffer, 64, &status);
    if (U_SUCCESS(status)) text = QString(reinterpret_cast<const QChar*>(buffer), length);
  }
  if (result) unumf_closeResult(result);
  if (formatter) unumf_close(formatter);
  return text.isEmpty() ? QString::number(value) : text;
}

QString formatDate(Date date, const QString& pattern, const QLocale& locale, const QTimeZone& zone) {
  UErrorCode status = U_ZERO_ERROR;
  const QByteArray id = icuLocaleId(locale);
  // The Gregorian calendar is forced: a locale whose default calendar is
  // another one (th_TH, ar_SA) still names Gregorian months and years here.
  icu::SimpleDateFormat format(toIcu(pattern), icu::Locale(id.constData()), status);
  if (U_FAILURE(status)) return {};
  format.adoptCalendar(makeGregorianCalendar(zone).release());
  icu::UnicodeString text;
  format.format(static_cast<UDate>(date.toUnixMilliseconds()), text);
  return fromIcu(text);
}

qint64 wholeYearsBetween(Date from, Date to, const QTimeZone& zone) {
  return fieldDifference(from, to, zone, UCAL_YEAR);
}

qint64 wholeDaysBetween(Date from, Date to, const QTimeZone& zone) {
  return fieldDifference(from, to, zone, UCAL_DATE);
}

}  // namespace murmela::LocaleFormat
