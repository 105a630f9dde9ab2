#pragma once

#include <QList>

namespace murmela {

// Widths for texts that share one line: every item keeps its natural width
// when all of them fit in `available`; otherwise the narrower items keep
// theirs and the wider ones share what is left equally, so a long name gives
// way before a short count does. Never negative.
QList<qreal> sharedWidths(const QList<qreal>& natural, qreal available);

}  // namespace murmela
