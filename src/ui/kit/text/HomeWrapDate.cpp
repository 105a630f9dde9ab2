#include "kit/text/HomeWrapDate.h"

#include "common/LocalCalendar.h"
#include "common/LocaleFormat.h"

namespace murmela {

QString homeWrapDate(Date date, const QTimeZone& zone) {
  return LocaleFormat::formatDate(date, QStringLiteral("MMM d, yyyy"), QLocale(), zone);
}

QString homeWrapDayText(Date date, Date now, const QTimeZone& zone) {
  const LocalCalendar calendar(zone);
  if (calendar.date(date) == calendar.date(now)) return QStringLiteral("Today");
  return homeWrapDate(date, zone);
}

}  // namespace murmela
