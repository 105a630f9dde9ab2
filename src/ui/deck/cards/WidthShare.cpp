#include "deck/cards/WidthShare.h"

#include <algorithm>
#include <numeric>

namespace murmela {

QList<qreal> sharedWidths(const QList<qreal>& natural, qreal available) {
  QList<qreal> widths = natural;
  for (qreal& width : widths) width = std::max(width, 0.0);
  qreal left = std::max(available, 0.0);
  if (std::accumulate(widths.cbegin(), widths.cend(), 0.0) <= left) return widths;

  QList<qsizetype> order(widths.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) { return widths[a] < widths[b]; });
  for (qsizetype k = 0; k < order.size(); ++k) {
    const qreal share = left / static_cast<qreal>(order.size() - k);
    qreal& width = widths[order[k]];
    width = std::min(width, share);
    left -= width;
  }
  return widths;
}

}  // namespace murmela
