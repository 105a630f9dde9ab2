#include "screens/common/ProgressTexts.h"

#include <algorithm>
#include <cmath>

namespace murmela {
namespace {

// The largest doubles that still convert to a qint64.
constexpr double kMaxWhole = 9.2e18;

qint64 wholeWithinRange(double value) {
  if (std::isnan(value)) return 0;
  return static_cast<qint64>(std::clamp(value, -kMaxWhole, kMaxWhole));
}

}  // namespace

QString formatRemaining(double seconds) {
  const double rounded = std::round(std::isnan(seconds) ? 0.0 : seconds);
  const double shown = std::max(rounded, 1.0);
  if (rounded > 59.0) {
    const double minutes = std::max(std::round(shown / 60.0), 1.0);
    return QString::number(wholeWithinRange(minutes)) + QStringLiteral(" min");
  }
  return QString::number(wholeWithinRange(shown)) + QStringLiteral(" sec");
}

QString wholePercentText(double fraction) {
  const double percent = fraction * 100.0;
  if (!std::isfinite(percent)) return QStringLiteral("0");
  return QString::number(wholeWithinRange(std::trunc(percent)));
}

}  // namespace murmela
