#pragma once

#include <QHash>
#include <QList>
#include <QString>

namespace murmela {

// One counted text of a ranking.
struct RankedCount {
  QString text;
  qint64 count = 0;
  friend bool operator==(const RankedCount&, const RankedCount&) = default;
};

// The ranking of counted texts shared by the statistics and the phrase lists:
// count descending, equal counts by text ascending in code-point order (so "B"
// comes before "a"), then cut to the first `limit` entries. Keys are unique, so
// the order is total and independent of the hash's own order.
QList<RankedCount> rankCounts(const QHash<QString, qint64>& counts, qsizetype limit);

}  // namespace murmela
