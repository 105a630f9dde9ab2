#pragma once

#include "data/WrappedReport.h"
#include "sharing/ShareDestination.h"

#include <QLocale>
#include <QString>
#include <QTimeZone>

namespace murmela {

// The short text that goes with a slide handed to a messaging or social
// application: a first-person caption per slide built from the report's own
// numbers (never the hosted copy), and the sentence around it. Pure functions
// of their arguments, the locale and the time zone.
namespace ShareLeadGenerator {

// The caption of the slide at `index`; indices outside 0 ... 13 get
// "<total> messages with <them>". The message total is grouped by the
// locale; every other number is plain digits.
QString lead(int index, const WrappedReport& report, const QLocale& locale = QLocale(),
             const QTimeZone& zone = QTimeZone::systemTimeZone());

// "I wrapped-up my <total>-message chat with <them> with murmela.app. <lead>."
// for one slide, or "... with <them> via murmela.app." for the whole deck.
QString composedShareText(int index, const WrappedReport& report, ShareMode mode, const QLocale& locale = QLocale(),
                          const QTimeZone& zone = QTimeZone::systemTimeZone());

// A fraction or duration in whole units, halves away from zero; a value that
// is not finite counts as 0 and one beyond the 64-bit range is held at its edge.
qint64 roundedWhole(double value);

}  // namespace ShareLeadGenerator
}  // namespace murmela
