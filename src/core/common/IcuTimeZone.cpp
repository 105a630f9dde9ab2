#include "common/IcuTimeZone.h"

#include <QDateTime>
#include <QHash>

#include <unicode/basictz.h>
#include <unicode/dtrule.h>
#include <unicode/gregocal.h>
#include <unicode/rbtz.h>
#include <unicode/simpletz.h>
#include <unicode/timezone.h>
#include <unicode/tzrule.h>

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <utility>
#include <vector>

namespace murmela {

namespace {

// Qt generates the transitions of a rule string for any year; four centuries
// around today cover every date a conversation or a report can hold, and the
// annual rule found at the end of that window continues past it.
const QDate kWindowStart(1800, 1, 1);
const QDate kWindowEnd(2200, 1, 1);
// A run of transitions shorter than this is no annual rule to rely on.
constexpr qsizetype kShortestAnnualRun = 8;
// Earlier than any instant ICU computes with: the Julian switch goes there.
constexpr UDate kBeforeAllDates = -184303902528000000.0;

bool icuKnowsZone(const QByteArray& id) {
  if (id.isEmpty()) return false;
  UErrorCode status = U_ZERO_ERROR;
  UBool isSystem = false;
  icu::UnicodeString canonical;
  icu::TimeZone::getCanonicalID(icu::UnicodeString::fromUTF8(id.constData()), canonical, isSystem, status);
  return U_SUCCESS(status) && isSystem;
}

// Offsets in milliseconds, as ICU's rules want them.
struct Offsets {
  int32_t raw;
  int32_t dst;
  auto operator<=>(const Offsets&) const = default;
};

Offsets offsetsOf(const QTimeZone::OffsetData& data) {
  return {data.standardTimeOffset * 1000, data.daylightTimeOffset * 1000};
}

// Where one transition falls on the wall clock that was in force before it:
// the terms of a yearly rule ("last Sunday of March at 02:00").
struct WallPlace {
  Offsets after;
  int year;
  int month;  // 1..12
  int day;
  int dayOfWeek;  // Qt's 1 (Monday) .. 7 (Sunday)
  int millisInDay;
  int ordinal;  // 1..5: which such weekday of the month
  bool last;    // the last such weekday of the month
};

WallPlace wallPlace(const QTimeZone::OffsetData& transition, int offsetBeforeSeconds) {
  const QDateTime wall = transition.atUtc.addSecs(offsetBeforeSeconds).toUTC();
  const QDate day = wall.date();
  return {offsetsOf(transition),
          day.year(),
          day.month(),
          day.day(),
          day.dayOfWeek(),
          wall.time().msecsSinceStartOfDay(),
          (day.day() - 1) / 7 + 1,
          day.day() + 7 > day.daysInMonth()};
}

// One kind of transition (into daylight time, or back) that recurs each year
// on the same weekday rule: the n-th or last such weekday of the month, or
// the first one on or after a day of the month.
struct AnnualPattern {
  Offsets after;
  int month = 0;
  int dayOfWeek = 0;
  int millisInDay = 0;
  std::set<int> ordinals;  // 1..4, and -1 for "last", that every year agrees on
  int onOrAfterFirst = 0;  // the days of the month it can fall on or after
  int onOrAfterLast = 0;
  int firstYear = 0;

  bool holds() const { return !ordinals.empty() || onOrAfterFirst <= onOrAfterLast; }

  bool accepts(const WallPlace& place) const {
    return place.after == after && place.month == month && place.dayOfWeek == dayOfWeek &&
           place.millisInDay == millisInDay;
  }
  void narrow(const WallPlace& place) {
    std::set<int> kept;
    for (int ordinal : ordinals)
      if ((ordinal == -1 && place.last) || ordinal == place.ordinal) kept.insert(ordinal);
    ordinals = std::move(kept);
    onOrAfterFirst = std::max(onOrAfterFirst, place.day - 6);
    onOrAfterLast = std::min(onOrAfterLast, place.day);
  }
  static AnnualPattern from(const WallPlace& place) {
    AnnualPattern pattern{place.after, place.month, place.dayOfWeek, place.millisInDay, {}, std::max(1, place.day - 6),
                          place.day,   place.year};
    if (place.ordinal <= 4) pattern.ordinals.insert(place.ordinal);
    if (place.last) pattern.ordinals.insert(-1);
    return pattern;
  }

  icu::AnnualTimeZoneRule* toRule(const icu::UnicodeString& name) const {
    const int icuDayOfWeek = dayOfWeek % 7 + 1;  // ICU: Sunday 1 .. Saturday 7
    icu::DateTimeRule* rule = nullptr;
    if (!ordinals.empty()) {
      // A fixed ordinal reads better than "last" when both describe every year.
      const int weekInMonth = *ordinals.rbegin() > 0 ? *ordinals.rbegin() : -1;
      rule = new icu::DateTimeRule(month - 1, weekInMonth, icuDayOfWeek, millisInDay, icu::DateTimeRule::WALL_TIME);
    } else {
      rule = new icu::DateTimeRule(month - 1, onOrAfterFirst, icuDayOfWeek, true, millisInDay,
                                   icu::DateTimeRule::WALL_TIME);
    }
    return new icu::AnnualTimeZoneRule(name, after.raw, after.dst, rule, firstYear, icu::AnnualTimeZoneRule::MAX_YEAR);
  }
};

// The longest run at the end of the transitions that two alternating yearly
// rules describe, as the index where it starts and the two rules (in the
// order of their first transition), or nothing.
struct AnnualTail {
  qsizetype start;
  AnnualPattern first;
  AnnualPattern second;
};

std::optional<AnnualTail> annualTail(const QTimeZone::OffsetDataList& transitions, int initialOffsetSeconds) {
  const qsizetype count = transitions.size();
  if (count < kShortestAnnualRun) return std::nullopt;
  // A rule that stopped (the zone left daylight time) continues nowhere.
  if (transitions.last().atUtc.date().year() < kWindowEnd.year() - 1) return std::nullopt;
  std::vector<WallPlace> places;
  places.reserve(static_cast<size_t>(count));
  for (qsizetype i = 0; i < count; ++i) {
    const int before = i == 0 ? initialOffsetSeconds : transitions[i - 1].offsetFromUtc;
    places.push_back(wallPlace(transitions[i], before));
  }
  // Walk back from the last transition while the places alternate between two
  // patterns and each pattern keeps a weekday rule.
  AnnualPattern odd = AnnualPattern::from(places[static_cast<size_t>(count - 1)]);
  AnnualPattern even = AnnualPattern::from(places[static_cast<size_t>(count - 2)]);
  if (odd.after == even.after) return std::nullopt;
  qsizetype start = count;
  for (qsizetype i = count - 1; i >= 0; --i) {
    AnnualPattern& pattern = (count - 1 - i) % 2 == 0 ? odd : even;
    const WallPlace& place = places[static_cast<size_t>(i)];
    if (!pattern.accepts(place)) break;
    AnnualPattern narrowed = pattern;
    narrowed.narrow(place);
    if (!narrowed.holds()) break;
    // One transition of each kind per year: the kind seen one step later in
    // time must fall in the same year or the next.
    if (i + 2 < count && places[static_cast<size_t>(i + 2)].year != place.year + 1) break;
    pattern = std::move(narrowed);
    pattern.firstYear = place.year;
    start = i;
  }
  if (count - start < kShortestAnnualRun) return std::nullopt;
  const bool oddFirst = (count - 1 - start) % 2 == 0;
  return AnnualTail{start, oddFirst ? odd : even, oddFirst ? even : odd};
}

// Qt's transitions(from, to) stops where a zone file's table ends and its
// rule string takes over (2037), and nextTransition() can answer nothing at
// exactly an entry that changes no offset; step over such entries, and drop
// them, since ICU's rules need a change at every transition.
QTimeZone::OffsetDataList transitionsBetween(const QTimeZone& zone, const QDateTime& from, const QDateTime& to,
                                             const QTimeZone::OffsetData& initial) {
  QTimeZone::OffsetDataList transitions;
  if (!zone.hasTransitions()) return transitions;
  int offset = initial.offsetFromUtc;
  int standard = initial.standardTimeOffset;
  QDateTime cursor = from;
  while (cursor < to) {
    QTimeZone::OffsetData next = zone.nextTransition(cursor);
    if (!next.atUtc.isValid()) next = zone.nextTransition(cursor.addMSecs(1));
    if (!next.atUtc.isValid() || next.atUtc <= cursor || next.atUtc >= to) break;
    cursor = next.atUtc;
    if (next.offsetFromUtc == offset && next.standardTimeOffset == standard) continue;
    offset = next.offsetFromUtc;
    standard = next.standardTimeOffset;
    transitions.append(next);
  }
  return transitions;
}

icu::UnicodeString ruleName(int index) {
  return icu::UnicodeString(u"rule") + icu::UnicodeString(static_cast<UChar>(u'a' + index % 26));
}

std::unique_ptr<icu::TimeZone> rebuiltFromTransitions(const QTimeZone& zone) {
  const QByteArray id = zone.id();
  const icu::UnicodeString icuId = icu::UnicodeString::fromUTF8(id.isEmpty() ? "Local" : id.constData());
  const QDateTime from(kWindowStart, QTime(0, 0), QTimeZone::utc());
  const QDateTime to(kWindowEnd, QTime(0, 0), QTimeZone::utc());
  // offsetData() answers nothing for a fixed-offset zone: ask field by field.
  QTimeZone::OffsetData initial;
  initial.atUtc = from;
  initial.offsetFromUtc = zone.offsetFromUtc(from);
  initial.standardTimeOffset = zone.standardTimeOffset(from);
  initial.daylightTimeOffset = zone.daylightTimeOffset(from);
  const QTimeZone::OffsetDataList transitions = transitionsBetween(zone, from, to, initial);
  const Offsets first = offsetsOf(initial);
  const auto fixed = [&] { return std::make_unique<icu::SimpleTimeZone>(initial.offsetFromUtc * 1000, icuId); };
  if (transitions.isEmpty()) return fixed();

  // The regular end of the list (a rule string has nothing else) becomes two
  // yearly rules that ICU applies to any year; what comes before it stays a
  // list of instants.
  const std::optional<AnnualTail> tail = annualTail(transitions, initial.offsetFromUtc);
  const qsizetype listed = tail ? tail->start : transitions.size();

  std::map<Offsets, std::vector<UDate>> startsByOffsets;
  for (qsizetype i = 0; i < listed; ++i) {
    const QTimeZone::OffsetData& transition = transitions[i];
    startsByOffsets[offsetsOf(transition)].push_back(static_cast<UDate>(transition.atUtc.toMSecsSinceEpoch()));
  }

  auto rules =
      std::make_unique<icu::RuleBasedTimeZone>(icuId, new icu::InitialTimeZoneRule(u"initial", first.raw, first.dst));
  UErrorCode status = U_ZERO_ERROR;
  int index = 0;
  for (const auto& [offsets, starts] : startsByOffsets) {
    rules->addTransitionRule(
        new icu::TimeArrayTimeZoneRule(ruleName(index++), offsets.raw, offsets.dst, starts.data(),
                                       static_cast<int32_t>(starts.size()), icu::DateTimeRule::UTC_TIME),
        status);
  }
  if (tail) {
    rules->addTransitionRule(tail->first.toRule(ruleName(index++)), status);
    rules->addTransitionRule(tail->second.toRule(ruleName(index++)), status);
  }
  rules->complete(status);
  if (U_FAILURE(status)) return fixed();
  return rules;
}

std::unique_ptr<icu::TimeZone> buildIcuTimeZone(const QTimeZone& zone) {
  const QByteArray id = zone.id();
  if (!zone.isValid()) return std::unique_ptr<icu::TimeZone>(icu::TimeZone::getGMT()->clone());
  if (icuKnowsZone(id))
    return std::unique_ptr<icu::TimeZone>(icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(id.constData())));
  return rebuiltFromTransitions(zone);
}

// Building a zone from Qt's transitions walks four centuries; each thread
// keeps the zones it has made, by Qt zone id (a rule string is its own id).
const icu::TimeZone& cachedIcuTimeZone(const QTimeZone& zone) {
  thread_local QHash<QByteArray, std::shared_ptr<const icu::TimeZone>> zones;
  const QByteArray key = zone.isValid() ? zone.id() : QByteArray();
  auto found = zones.constFind(key);
  if (found == zones.cend()) found = zones.insert(key, std::shared_ptr<const icu::TimeZone>(buildIcuTimeZone(zone)));
  return **found;
}

}  // namespace

std::unique_ptr<icu::TimeZone> makeIcuTimeZone(const QTimeZone& zone) {
  return std::unique_ptr<icu::TimeZone>(cachedIcuTimeZone(zone).clone());
}

std::unique_ptr<icu::TimeZone> makeIcuTimeZoneFromTransitions(const QTimeZone& zone) {
  return rebuiltFromTransitions(zone);
}

std::unique_ptr<icu::Calendar> makeGregorianCalendar(const QTimeZone& zone) {
  UErrorCode status = U_ZERO_ERROR;
  auto calendar =
      std::make_unique<icu::GregorianCalendar>(makeIcuTimeZone(zone).release(), icu::Locale("en_US_POSIX"), status);
  if (U_FAILURE(status)) return nullptr;
  // The app's calendar is proleptic Gregorian: move the Julian switch before
  // any date ICU can compute with.
  calendar->setGregorianChange(kBeforeAllDates, status);
  if (U_FAILURE(status)) return nullptr;
  return calendar;
}

}  // namespace murmela
