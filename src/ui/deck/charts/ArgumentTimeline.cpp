#include "deck/charts/ArgumentTimeline.h"

#include "common/LocalCalendar.h"
#include "deck/SlideFormatters.h"
#include "deck/charts/ChartDates.h"

#include "kit/layout/Stack.h"
#include "kit/paint/PainterState.h"
#include "kit/paint/Pens.h"
#include "kit/paint/Shapes.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>

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

constexpr double kAxisOpacity = 0.24;
constexpr double kAxisWidth = 1.2;
constexpr double kTickOpacity = 0.26;
constexpr double kDotOpacity = 0.78;
constexpr double kLeaderWidth = 1.2;
constexpr double kRingWidth = 1.2;
constexpr double kCalloutSpacing = -3.0;  // the two call-out lines overlap
// The call-out is kept 70 from the sides, so it may be 140 wide; a longer
// count shrinks, then elides.
constexpr double kCalloutWidth = 2 * kCalloutInsetX;
constexpr double kCalloutMinimumScale = 0.6;

const TextStyle kTickStyle{.typeface = Typeface::inter,
                           .size = 10,
                           .weight = QFont::Medium,
                           .tracking = 1.1,
                           .color = MurmelaTheme::inkSoft,
                           .lineLimit = 1};
const TextStyle kCountStyle{.typeface = Typeface::caveat,
                            .size = 24,
                            .color = MurmelaTheme::gold,
                            .lineLimit = 1,
                            .minimumScale = kCalloutMinimumScale};
const TextStyle kDateStyle{.typeface = Typeface::inter,
                           .size = 12,
                           .weight = QFont::DemiBold,
                           .tracking = 2.2,
                           .color = MurmelaTheme::inkSoft,
                           .lineLimit = 1,
                           .minimumScale = kCalloutMinimumScale};
const TextStyle kEmptyStyle{.typeface = Typeface::caveat,
                            .size = 18,
                            .color = MurmelaTheme::inkSoft,
                            .alignment = TextAlign::center,
                            .minimumScale = 0.7};

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
  if (!isCalendarPlaceable(firstDate) || !isCalendarPlaceable(lastDate)) return span;
  const LocalCalendar calendar;
  span.first = startOfYear(calendar, calendar.year(firstDate)).value_or(firstDate);
  span.last = startOfYear(calendar, calendar.year(lastDate) + 1).value_or(lastDate);
  span.seconds = std::max(1.0, span.last.secondsSince(span.first));
  return span;
}

QList<int> argumentTickYears(Date chartFirstDate, Date lastDate) {
  QList<int> years;
  if (!isCalendarPlaceable(chartFirstDate) || !isCalendarPlaceable(lastDate)) return years;
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
    const QPointF labelCentre(x, midY + kTickLabelBelowAxis);
    layout.ticks.append({year, QLineF(x, midY - kTickHalfLength, x, midY + kTickHalfLength), QString::number(year),
                         labelCentre,
                         PlacedText::centredAt(layoutText(QString::number(year), kTickStyle), labelCentre)});
  }

  if (timeline.events.isEmpty()) {
    const TextLayout empty = fitText(QStringLiteral("no clear argument clusters"), kEmptyStyle,
                                     QSizeF(std::max(0.0, width), kUnlimitedWidth));
    // Centred across the view, in the top lane rather than on the axis, so
    // that the line does not run through the words.
    layout.emptyText = PlacedText::centredAt(empty, {frame.center().x(), midY - kLaneTopAboveAxis});
    return layout;
  }

  const bool datesPlaceable = isCalendarPlaceable(layout.span.first);
  for (int i = 0; i < timeline.events.size(); ++i) {
    const ArgumentEvent& event = timeline.events[i];
    if (!datesPlaceable || !isCalendarPlaceable(event.date)) continue;
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
    callout.dateLine = argumentMapLabel(event.date).toUpper();
    callout.ringCentre = dot->centre;
    callout.ringRadius = dot->radius + kRingGrowth;
    const QSizeF box(kCalloutWidth, kUnlimitedWidth);
    const TextLayout count = fitText(callout.countLine, kCountStyle, box);
    const TextLayout date = fitText(callout.dateLine, kDateStyle, box);
    Stack stack = Stack::vertical(kCalloutSpacing, StackAlign::center);
    stack.add(count);
    stack.add(date);
    const double height = stack.idealLength();
    const QList<QRectF> frames =
        stack.layout(QRectF(labelX - kCalloutWidth / 2, callout.labelCentre.y() - height / 2, kCalloutWidth, height));
    callout.countText = PlacedText::at(count, frames[0].topLeft());
    callout.dateText = PlacedText::at(date, frames[1].topLeft());
    layout.callout = callout;
  }
  return layout;
}

void paintArgumentTimeline(QPainter& painter, const ArgumentTimelineLayout& layout) {
  PainterStateScope scope(painter);
  painter.setRenderHint(QPainter::Antialiasing);
  StrokeStyle axis;
  axis.width = kAxisWidth;
  painter.setPen(axis.pen(withOpacity(MurmelaTheme::ink, kAxisOpacity)));
  painter.drawLine(layout.axis);

  StrokeStyle tick;
  for (const ArgumentTick& t : layout.ticks) {
    painter.setPen(tick.pen(withOpacity(MurmelaTheme::ink, kTickOpacity)));
    painter.drawLine(t.line);
    t.labelText.paint(painter);
  }

  if (layout.callout) {
    painter.setPen(dashedStroke(kLeaderWidth, {4.0, 3.0}, Qt::RoundCap).pen(MurmelaTheme::inkSoft));
    painter.drawLine(layout.callout->leader);
    layout.callout->countText.paint(painter);
    layout.callout->dateText.paint(painter);
  }
  if (layout.emptyText) layout.emptyText->paint(painter);

  for (const ArgumentDot& dot : layout.dots)
    painter.fillPath(circlePath(dot.centre, dot.radius),
                     withOpacity(dot.endedByMe ? MurmelaTheme::sageDeep : MurmelaTheme::rose, kDotOpacity));
  if (layout.callout)
    painter.strokePath(circlePath(layout.callout->ringCentre, layout.callout->ringRadius),
                       dashedStroke(kRingWidth, {3.0, 3.0}).pen(MurmelaTheme::ink));
}

}  // namespace murmela
