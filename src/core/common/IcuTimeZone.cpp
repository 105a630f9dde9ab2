#include "common/IcuTimeZone.h"

#include <QDateTime>

#include <unicode/basictz.h>
#include <unicode/gregocal.h>
#include <unicode/rbtz.h>
#include <unicode/simpletz.h>
#include <unicode/timezone.h>
#include <unicode/tzrule.h>

#include <map>
#include <utility>
#include <vector>

namespace murmela {

namespace {

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

std::unique_ptr<icu::TimeZone> rebuiltFromTransitions(const QTimeZone& zone) {
  const QByteArray id = zone.id();
  const icu::UnicodeString icuId = icu::UnicodeString::fromUTF8(id.isEmpty() ? "Local" : id.constData());
  // Qt generates the transitions of a rule string for any year; four centuries
  // around today cover every date a conversation or a report can hold.
  const QDateTime from(QDate(1800, 1, 1), QTime(0, 0), Qt::UTC);
  const QDateTime to(QDate(2200, 1, 1), QTime(0, 0), Qt::UTC);
  const QTimeZone::OffsetDataList transitions = zone.transitions(from, to);
  const QTimeZone::OffsetData initial = zone.offsetData(from);
  const Offsets first = offsetsOf(initial);
  if (transitions.isEmpty()) return std::make_unique<icu::SimpleTimeZone>(first.raw, icuId);

  std::map<Offsets, std::vector<UDate>> startsByOffsets;
  for (const QTimeZone::OffsetData& transition : transitions)
    startsByOffsets[offsetsOf(transition)].push_back(static_cast<UDate>(transition.atUtc.toMSecsSinceEpoch()));

  auto rules = std::make_unique<icu::RuleBasedTimeZone>(
      icuId, new icu::InitialTimeZoneRule(u"initial", first.raw, first.dst));
  UErrorCode status = U_ZERO_ERROR;
  int index = 0;
  for (const auto& [offsets, starts] : startsByOffsets) {
    const icu::UnicodeString name = icu::UnicodeString(u"rule") + icu::UnicodeString(static_cast<UChar>(u'a' + index++ % 26));
    rules->addTransitionRule(new icu::TimeArrayTimeZoneRule(name, offsets.raw, offsets.dst, starts.data(),
                                                            static_cast<int32_t>(starts.size()),
                                                            icu::DateTimeRule::UTC_TIME),
                             status);
  }
  rules->complete(status);
  if (U_FAILURE(status)) return std::make_unique<icu::SimpleTimeZone>(first.raw, icuId);
  return rules;
}

}  // namespace

std::unique_ptr<icu::TimeZone> makeIcuTimeZone(const QTimeZone& zone) {
  const QByteArray id = zone.id();
  if (zone.isValid() && icuKnowsZone(id))
    return std::unique_ptr<icu::TimeZone>(icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(id.constData())));
  if (!zone.isValid()) return std::unique_ptr<icu::TimeZone>(icu::TimeZone::getGMT()->clone());
  return rebuiltFromTransitions(zone);
}

std::unique_ptr<icu::Calendar> makeGregorianCalendar(const QTimeZone& zone) {
  UErrorCode status = U_ZERO_ERROR;
  auto calendar = std::make_unique<icu::GregorianCalendar>(makeIcuTimeZone(zone).release(),
                                                          icu::Locale("en_US_POSIX"), status);
  if (U_FAILURE(status)) return nullptr;
  // The app's calendar is proleptic Gregorian: move the Julian switch before
  // any representable date.
  calendar->setGregorianChange(-1.0e300, status);
  return calendar;
}

}  // namespace murmela
