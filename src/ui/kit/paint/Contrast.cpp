#include "kit/paint/Contrast.h"

#include <algorithm>
#include <cmath>

namespace murmela {
namespace {

qreal linear(qreal channel) { return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4); }

QColor over(const QColor& front, const QColor& behind) {
  const qreal alpha = front.alphaF();
  const auto mix = [alpha](qreal a, qreal b) { return a * alpha + b * (1.0 - alpha); };
  return QColor::fromRgbF(static_cast<float>(mix(front.redF(), behind.redF())),
                          static_cast<float>(mix(front.greenF(), behind.greenF())),
                          static_cast<float>(mix(front.blueF(), behind.blueF())));
}

}  // namespace

qreal relativeLuminance(const QColor& color) {
  return 0.2126 * linear(color.redF()) + 0.7152 * linear(color.greenF()) + 0.0722 * linear(color.blueF());
}

qreal contrastRatio(const QColor& front, const QColor& behind) {
  const qreal a = relativeLuminance(over(front, behind));
  const qreal b = relativeLuminance(behind);
  return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

}  // namespace murmela
