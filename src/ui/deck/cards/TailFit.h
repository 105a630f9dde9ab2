#pragma once

#include "kit/text/TextLayout.h"

#include <QSizeF>
#include <QString>

namespace murmela {

// Fits `head` followed by `tail` into a box as fitText does, but when the
// text must be cut at the smallest scale it is the head that gives way and
// the tail stays whole ("MAXIMILIANA ALEX… 67%"): names shorten before the
// numbers that follow them do.
TextLayout fitTextKeepingTail(const QString& head, const QString& tail, const TextStyle& style, const QSizeF& box,
                              qreal minScale = -1.0);

}  // namespace murmela
