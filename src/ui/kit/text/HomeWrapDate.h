#pragma once

#include "common/Date.h"

#include <QString>
#include <QTimeZone>

namespace murmela {

// The date of a saved report or a share link as the home screen and the
// "My shares" sheet write it: the pattern "MMM d, yyyy" in the user's locale
// and time zone ("Mar 4, 2025" in English).
QString homeWrapDate(Date date, const QTimeZone& zone = QTimeZone::systemTimeZone());

// "Today" when `date` falls on the calendar day of `now` in the zone,
// otherwise homeWrapDate(date).
QString homeWrapDayText(Date date, Date now, const QTimeZone& zone = QTimeZone::systemTimeZone());

}  // namespace murmela
