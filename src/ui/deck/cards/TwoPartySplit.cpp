#include "deck/cards/TwoPartySplit.h"

#include <algorithm>

namespace murmela {

TwoPartySplit twoPartySplit(qint64 left, qint64 right) {
  const auto a = static_cast<unsigned __int128>(std::max<qint64>(left, 0));
  const auto b = static_cast<unsigned __int128>(std::max<qint64>(right, 0));
  const unsigned __int128 total = std::max<unsigned __int128>(a + b, 1);
  TwoPartySplit split;
  split.fraction = static_cast<double>(a) / static_cast<double>(total);
  split.leftPercent = static_cast<int>(a * 100 / total);
  split.rightPercent = 100 - split.leftPercent;
  return split;
}

}  // namespace murmela
