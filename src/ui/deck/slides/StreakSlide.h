#pragma once

#include "data/WrappedReport.h"
#include "deck/cards/PlacedText.h"
#include "deck/cards/SlideTitle.h"
#include "deck/cards/StreakCard.h"

#include <QList>
#include <QRectF>
#include <QString>

class QPainter;

namespace murmela {

// A day count as years with one decimal ("1.0 years", a full stop whatever
// the locale) past 364 days, else as plain days ("364 days").
QString formatApproxYears(qint64 days);

// The two cards of the streak slide: the longest run of days with a message
// (solid) and the longest run without one (dashed).
StreakCard streakCard(const WrappedReport& report);
StreakCard silenceCard(const WrappedReport& report);

// Slide thirteen: the longest streak against the longest silence.
struct StreakSlide {
  const WrappedReport& report;

  struct Layout {
    SlideTitleLayout title;
    StreakCardLayout streak;
    StreakCardLayout silence;
    PlacedText footer;  // "N DAYS · M WITH AT LEAST ONE TEXT"

    QList<QRectF> elementFrames() const;  // top to bottom
  };

  Layout layout() const;
  void paint(QPainter& painter) const;
};

}  // namespace murmela
