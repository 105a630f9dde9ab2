#pragma once

#include "common/Date.h"
#include "data/WrappedReport.h"

#include "deck/cards/PlacedText.h"

#include <QLineF>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <optional>

class QPainter;

namespace murmela {

// Every detected argument as a dot on a time line over whole calendar years,
// with year ticks; the biggest one carries a ring and a call-out.
struct ArgumentTimeline {
  QList<ArgumentEvent> events;
  Date firstDate;  // the report's first message
  Date lastDate;   // the report's last message
};

// The span the line covers: 1 January of the first date's year up to
// 1 January after the last date's year, in the app's calendar and zone; a
// year that cannot be formed falls back to the date itself. The span in
// seconds is never less than 1.
struct ArgumentChartSpan {
  Date first;
  Date last;
  double seconds = 1.0;
};
ArgumentChartSpan argumentChartSpan(Date firstDate, Date lastDate);

// The tick years: from the span's first year while not past the last date's
// year, stepping max(1, ceil(max(B - A, 1) / 4)) years.
QList<int> argumentTickYears(Date chartFirstDate, Date lastDate);

// A dot's radius for an argument of that many messages: sqrt(n) x 0.55 + 3,
// kept within 4 ... 18.
double argumentDotRadius(qint64 messageCount);

// The first event with the greatest message count; none without events.
std::optional<int> highlightedArgument(const QList<ArgumentEvent>& events);

struct ArgumentTick {
  int year = 0;
  QLineF line;  // 12 above and below the axis
  QString label;
  QPointF labelCentre;
  PlacedText labelText;
};

struct ArgumentDot {
  int index = 0;
  QPointF centre;
  double radius = 0.0;
  bool endedByMe = false;
};

struct ArgumentCallout {
  int index = 0;
  QPointF labelCentre;
  QLineF leader;  // from the label down to just above the dot
  QString countLine;
  QString dateLine;  // upper-cased month and year
  PlacedText countText;
  PlacedText dateText;
  QPointF ringCentre;
  double ringRadius = 0.0;
};

struct ArgumentTimelineLayout {
  QRectF frame;
  ArgumentChartSpan span;
  QLineF axis;
  QList<ArgumentTick> ticks;
  QList<ArgumentDot> dots;  // list order; later events lie on top
  std::optional<ArgumentCallout> callout;
  std::optional<PlacedText> emptyText;  // when there are no events: centred across, above the axis
};

ArgumentTimelineLayout layoutArgumentTimeline(const ArgumentTimeline& timeline, const QRectF& frame);
void paintArgumentTimeline(QPainter& painter, const ArgumentTimelineLayout& layout);

}  // namespace murmela
