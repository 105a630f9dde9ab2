#include "analysis/RankedCounts.h"

#include "common/UnicodeText.h"

#include <algorithm>
#include <vector>

namespace murmela {

QList<RankedCount> rankCounts(const QHash<QString, qint64>& counts, qsizetype limit) {
  if (limit <= 0 || counts.isEmpty()) return {};
  using Entry = QHash<QString, qint64>::const_iterator;
  std::vector<Entry> entries;
  entries.reserve(static_cast<size_t>(counts.size()));
  for (auto it = counts.cbegin(); it != counts.cend(); ++it) entries.push_back(it);

  const auto before = [](const Entry& a, const Entry& b) {
    if (a.value() != b.value()) return a.value() > b.value();
    return UnicodeText::lessByCodePoint(a.key(), b.key());
  };
  // Only the first `limit` places matter: a partial sort keeps large
  // dictionaries (every distinct word of a long conversation) cheap.
  const auto kept = static_cast<std::ptrdiff_t>(std::min<qsizetype>(limit, counts.size()));
  std::partial_sort(entries.begin(), entries.begin() + kept, entries.end(), before);

  QList<RankedCount> ranked;
  ranked.reserve(kept);
  for (std::ptrdiff_t i = 0; i < kept; ++i) ranked.append({entries[i].key(), entries[i].value()});
  return ranked;
}

}  // namespace murmela
