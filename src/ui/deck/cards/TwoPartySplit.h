#pragma once

#include <QtGlobal>

namespace murmela {

// How two people's counts divide one whole, as the split bar and the donut
// show it: the left share f = left / max(left + right, 1), and whole
// percentages truncated toward zero whose two sides always add up to 100.
struct TwoPartySplit {
  double fraction = 0.0;  // 0 ... 1
  int leftPercent = 0;
  int rightPercent = 100;
};

// Negative counts count as 0. The percent is taken from the exact quotient
// (29 of 100 is 29 %, where 0.29 x 100 in floating point truncates to 28).
TwoPartySplit twoPartySplit(qint64 left, qint64 right);

}  // namespace murmela
