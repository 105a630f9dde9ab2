#pragma once

#include "common/FixedDecimal.h"

#include <QElapsedTimer>
#include <QString>

namespace murmela::LogText {

// " — ": what a failure line puts between its step and the error's description.
inline const QString kDash = QStringLiteral(" \u2014 ");

// A duration the way log lines show it: "1.25s".
inline QString seconds(double value) { return fixedDecimal(value, 2) + QLatin1Char('s'); }
inline QString elapsed(const QElapsedTimer& clock) { return seconds(static_cast<double>(clock.nsecsElapsed()) / 1e9); }

}  // namespace murmela::LogText
