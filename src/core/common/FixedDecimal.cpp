#include "common/FixedDecimal.h"

#include <charconv>
#include <cmath>

namespace murmela {

QString fixedDecimal(double value, int decimals) {
  if (std::isnan(value)) return QStringLiteral("nan");
  if (std::isinf(value)) return value > 0 ? QStringLiteral("inf") : QStringLiteral("-inf");
  char buffer[400];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  if (result.ec != std::errc()) return QString::number(value, 'f', decimals);
  return QString::fromLatin1(buffer, result.ptr - buffer);
}

}  // namespace murmela
