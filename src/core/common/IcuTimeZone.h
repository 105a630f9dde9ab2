#pragma once

#include <QTimeZone>

#include <unicode/calendar.h>
#include <unicode/timezone.h>

#include <memory>

namespace murmela {

// An ICU time zone that agrees with a Qt zone. Qt reads the system zone from
// TZ and honours POSIX rule strings ("CET-1CEST,M3.5.0,M10.5.0/3"), which ICU
// does not know by name and would treat as UTC. Zones ICU knows are used by
// their id; any other zone is rebuilt in ICU from Qt's own transitions, so
// every ICU date operation sees the offsets the rest of the app sees: a list
// of the transitions Qt reports from 1800 to 2200, whose regular end (all of a
// rule string) becomes two yearly rules that go on past 2200. Each thread
// builds a zone once and hands out copies. The caller owns the result.
std::unique_ptr<icu::TimeZone> makeIcuTimeZone(const QTimeZone& zone = QTimeZone::systemTimeZone());

// The rebuilt form alone, also for a zone ICU knows (for comparing the two).
std::unique_ptr<icu::TimeZone> makeIcuTimeZoneFromTransitions(const QTimeZone& zone);

// A proleptic Gregorian calendar (no Julian switch in 1582) in that zone.
std::unique_ptr<icu::Calendar> makeGregorianCalendar(const QTimeZone& zone = QTimeZone::systemTimeZone());

}  // namespace murmela
