#include "common/LocaleFormat.h"

#include "common/IcuTimeZone.h"

#include <unicode/calendar.h>
#include <unicode/smpdtfmt.h>
#include <unicode/unumberformatter.h>

#include <map>
#include <memory>

namespace murmela::LocaleFormat {

namespace {

// Formatters are costly to make and not safe to share between threads, and a
// slide formats a few dozen values per paint: each thread keeps the ones it
// has used. A long-running thread that meets many locales or patterns starts
// afresh rather than growing without bound.
constexpr qsizetype kMostCachedFormatters = 64;

QString fromIcu(const icu::UnicodeString& text) {
  return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

icu::UnicodeString toIcu(const QString& text) {
  return icu::UnicodeString(reinterpret_cast<const UChar*>(text.utf16()), static_cast<int32_t>(text.size()));
}

QByteArray zoneKey(const QTimeZone& zone) { return zone.isValid() ? zone.id() : QByteArray(); }

struct NumberFormatterClose {
  void operator()(UNumberFormatter* formatter) const { unumf_close(formatter); }
};
using NumberFormatter = std::unique_ptr<UNumberFormatter, NumberFormatterClose>;

// The thread's Gregorian calendar in a zone, or null when ICU cannot make one.
icu::Calendar* calendarFor(const QTimeZone& zone) {
  thread_local std::map<QByteArray, std::unique_ptr<icu::Calendar>> calendars;
  const QByteArray key = zoneKey(zone);
  auto found = calendars.find(key);
  if (found == calendars.end()) {
    if (calendars.size() >= kMostCachedFormatters) calendars.clear();
    found = calendars.emplace(key, makeGregorianCalendar(zone)).first;
  }
  return found->second.get();
}

qint64 fieldDifference(Date from, Date to, const QTimeZone& zone, UCalendarDateFields field) {
  icu::Calendar* calendar = calendarFor(zone);
  if (!calendar) return 0;
  UErrorCode status = U_ZERO_ERROR;
  calendar->setTime(static_cast<UDate>(from.toUnixMilliseconds()), status);
  const int32_t difference = calendar->fieldDifference(static_cast<UDate>(to.toUnixMilliseconds()), field, status);
  return U_SUCCESS(status) ? difference : 0;
}

}  // namespace

QByteArray icuLocaleId(const QLocale& locale) {
  if (locale.language() == QLocale::C) return QByteArrayLiteral("en_US_POSIX");
  // The language tag keeps a script that differs from the language's usual
  // one (sr-Latn is Latin, plain sr Cyrillic); name() would drop it.
  UErrorCode status = U_ZERO_ERROR;
  const icu::Locale icu = icu::Locale::forLanguageTag(locale.bcp47Name().toStdString(), status);
  if (U_FAILURE(status) || icu.isBogus()) return locale.name().toLatin1();
  return QByteArray(icu.getName());
}

QString groupedInteger(qint64 value, const QLocale& locale) {
  thread_local std::map<QByteArray, NumberFormatter> formatters;
  const QByteArray id = icuLocaleId(locale);
  auto found = formatters.find(id);
  if (found == formatters.end()) {
    if (formatters.size() >= kMostCachedFormatters) formatters.clear();
    // The number formatter (not the older unum API) applies the locale's
    // minimum grouping: es_ES writes 1234 as "1234" and 12345 as "12.345".
    UErrorCode status = U_ZERO_ERROR;
    UNumberFormatter* made = unumf_openForSkeletonAndLocale(u"", 0, id.constData(), &status);
    if (U_FAILURE(status) && made) {
      unumf_close(made);
      made = nullptr;
    }
    found = formatters.emplace(id, NumberFormatter(made)).first;
  }
  QString text;
  if (UNumberFormatter* formatter = found->second.get()) {
    UErrorCode status = U_ZERO_ERROR;
    UFormattedNumber* result = unumf_openResult(&status);
    unumf_formatInt(formatter, value, result, &status);
    UChar buffer[64];
    const int32_t length = unumf_resultToString(result, buffer, 64, &status);
    if (U_SUCCESS(status)) text = QString(reinterpret_cast<const QChar*>(buffer), length);
    if (result) unumf_closeResult(result);
  }
  return text.isEmpty() ? QString::number(value) : text;
}

QString formatDate(Date date, const QString& pattern, const QLocale& locale, const QTimeZone& zone) {
  thread_local std::map<QByteArray, std::unique_ptr<icu::SimpleDateFormat>> formats;
  const QByteArray id = icuLocaleId(locale);
  const QByteArray key = id + '\n' + pattern.toUtf8() + '\n' + zoneKey(zone);
  auto found = formats.find(key);
  icu::SimpleDateFormat* format = found == formats.end() ? nullptr : found->second.get();
  if (!format) {
    if (formats.size() >= kMostCachedFormatters) formats.clear();
    // The Gregorian calendar is forced, with its own names: a locale whose
    // default calendar is another one (th_TH, ar_SA) still names Gregorian
    // months, eras and years here.
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale withCalendar(id.constData());
    withCalendar.setKeywordValue("calendar", "gregorian", status);
    auto made = std::make_unique<icu::SimpleDateFormat>(toIcu(pattern), withCalendar, status);
    std::unique_ptr<icu::Calendar> calendar = makeGregorianCalendar(zone);
    if (U_FAILURE(status) || !calendar) return {};
    made->adoptCalendar(calendar.release());
    format = made.get();
    formats.insert_or_assign(key, std::move(made));
  }
  icu::UnicodeString text;
  format->format(static_cast<UDate>(date.toUnixMilliseconds()), text);
  return fromIcu(text);
}

qint64 wholeYearsBetween(Date from, Date to, const QTimeZone& zone) {
  return fieldDifference(from, to, zone, UCAL_YEAR);
}

qint64 wholeDaysBetween(Date from, Date to, const QTimeZone& zone) {
  return fieldDifference(from, to, zone, UCAL_DATE);
}

}  // namespace murmela::LocaleFormat
