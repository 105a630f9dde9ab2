#include "deck/charts/ArgumentTimeline.h"

#include "common/LocalCalendar.h"
#include "common/LocaleFormat.h"

#include <algorithm>
#include <cmath>

namespace murmela {
namespace {

constexpr double kLaneTopAboveAxis = 36.0;
constexpr double kLaneStep = 18.0;
constexpr int kLanes = 3;
constexpr double kTickHalfLength = 12.0;
constexpr double kTickLabelBelowAxis = 34.0;
constexpr double kCalloutInsetX = 70.0;
constexpr double kCalloutCentreY = 26.0;
constexpr double kLeaderTop = 48.0;
constexpr double kLeaderGapAboveDot = 9.0;
constexpr double kRingGrowth = 7.0;  // the ring's diameter is 14 wider than the dot's
// A date far outside any conversation (about 9,500 years from 2001) cannot
// be placed on a calendar: such a time line draws its axis only.
constexpr double kLargestPlaceableSeconds = 3.0e11;

bool placeable(Date date) {
  return std::isfinite(date.secondsSinceReference()) &&
         std::abs(date.secondsSinceReference()) <= kLargestPlaceableSeconds;
}

std::optional<Date> startOfYear(const LocalCalendar& calendar, int year) {
  const QDate day(year, 1, 1);
  if (!day.isValid()) return std::nullopt;
  const QDateTime start = day.startOfDay(calendar.timeZone());
  if (!start.isValid()) return std::nullopt;
  return Date::fromQDateTime(start);
}

}  // namespace

ArgumentChartSpan argumentChartSpan(Date firstDate, Date lastDate) {
  ArgumentChartSpan span{firstDate, lastDate, 1.0};
  if (!placeable(firstDate) || !placeable(lastDate)) return span;
  const LocalCalendar calendar;
  span.first = startOfYear(calendar, calendar.year(firstDate)).value_or(firstDate);
  span.last = startOfYear(calendar, calendar.year(lastDate) + 1).value_or(lastDate);
  span.seconds = std::max(1.0, span.last.secondsSince(span.first));
  return span;
}

QList<int> argumentTickYears(Date chartFirstDate, Date lastDate) {
  QList<int> years;
  if (!placeable(chartFirstDate) || !placeable(lastDate)) return years;
  const LocalCalendar calendar;
  const int first = calendar.year(chartFirstDate);
  const int last = calendar.year(lastDate);
  const int step = std::max(1, static_cast<int>(std::ceil(std::max(last - first, 1) * 0.25)));
  for (int year = first; year <= last; year += step)
    if (startOfYear(calendar, year)) years.append(year);
  return years;
}

double argumentDotRadius(qint64 messageCount) {
  const double r0 = std::sqrt(static_cast<double>(std::max<qint64>(messageCount, 0))) * 0.55 + 3.0;
  return std::min(std::max(r0, 4.0), 18.0);
}

std::optional<int> highlightedArgument(const QList<ArgumentEvent>& events) {
  std::optional<int> best;
  for (int i = 0; i < events.size(); ++i)
    if (!best || events[i].messageCount > events[*best].messageCount) best = i;
  return best;
}

ArgumentTimelineLayout layoutArgumentTimeline(const ArgumentTimeline& timeline, const QRectF& frame) {
  ArgumentTimelineLayout layout;
  layout.frame = frame;
  layout.span = argumentChartSpan(timeline.firstDate, timeline.lastDate);
  const double width = frame.width();
  const double midY = frame.top() + frame.height() * 0.5;
  const auto xOf = [&](Date date) {
    return frame.left() + width * date.secondsSince(layout.span.first) / layout.span.seconds;
  };
  layout.axis = QLineF(frame.left(), midY, frame.right(), midY);

  const LocalCalendar calendar;
  for (const int year : argumentTickYears(layout.span.first, timeline.lastDate)) {
    const double x = xOf(*startOfYear(calendar, year));
    layout.ticks.append({year, QLineF(x, midY - kTickHalfLength, x, midY + kTickHalfLength), QString::number(year),
                         QPointF(x, midY + kTickLabelBelowAxis)});
  }

  if (timeline.events.isEmpty()) {
    layout.emptyText = QStringLiteral("no clear argument clusters");
    return layout;
  }

  const bool datesPlaceable = placeable(layout.span.first);
  for (int i = 0; i < timeline.events.size(); ++i) {
    const ArgumentEvent& event = timeline.events[i];
    if (!datesPlaceable || !placeable(event.date)) continue;
    const QPointF centre(xOf(event.date), midY - kLaneTopAboveAxis + kLaneStep * (i % kLanes));
    layout.dots.append({i, centre, argumentDotRadius(event.messageCount), event.endedByMe});
  }

  const std::optional<int> highlighted = highlightedArgument(timeline.events);
  const auto dot = std::find_if(layout.dots.cbegin(), layout.dots.cend(),
                                [&](const ArgumentDot& d) { return highlighted && d.index == *highlighted; });
  if (dot != layout.dots.cend()) {
    const ArgumentEvent& event = timeline.events[dot->index];
    ArgumentCallout callout;
    callout.index = dot->index;
    const double labelX =
        std::min(std::max(dot->centre.x(), frame.left() + kCalloutInsetX), frame.right() - kCalloutInsetX);
    callout.labelCentre = {labelX, frame.top() + kCalloutCentreY};
    callout.leader =
        QLineF(labelX, frame.top() + kLeaderTop, dot->centre.x(), dot->centre.y() - dot->radius - kLeaderGapAboveDot);
    callout.countLine = QString::number(event.messageCount) + QStringLiteral(" messages ");
    callout.dateLine = LocaleFormat::formatDate(event.date, QStringLiteral("MMM yyyy")).toUpper();
    callout.ringCentre = dot->centre;
    callout.ringRadius = dot->radius + kRingGrowth;
    layout.callout = callout;
  }
  return layout;
}

}  // namespace murmela
