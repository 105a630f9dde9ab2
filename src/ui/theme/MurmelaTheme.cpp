#include "theme/MurmelaTheme.h"

#include <algorithm>
#include <cmath>

namespace murmela {

int MurmelaTheme::heatIndex(double t) {
  if (std::isnan(t)) return 0;
  const double scaled = 6.0 * t;
  if (scaled <= 0.0) return 0;
  if (scaled >= 5.0) return 5;
  return static_cast<int>(scaled);
}

QColor withOpacity(const QColor& color, qreal opacity) {
  QColor result = color;
  result.setAlphaF(static_cast<float>(color.alphaF() * std::clamp(opacity, 0.0, 1.0)));
  return result;
}

}  // namespace murmela
