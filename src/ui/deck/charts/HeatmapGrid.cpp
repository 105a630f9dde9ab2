#include "deck/charts/HeatmapGrid.h"

#include <array>
#include <limits>

namespace murmela {
namespace {

qint64 saturatingAdd(qint64 a, qint64 b) {
  qint64 sum = 0;
  if (!__builtin_add_overflow(a, b, &sum)) return sum;
  return b > 0 ? std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::min();
}

}  // namespace

QString heatmapHourMark(int hour) {
  switch (hour) {
    case 0:
      return QStringLiteral("12a");
    case 6:
      return QStringLiteral("6a");
    case 12:
      return QStringLiteral("12p");
    case 18:
      return QStringLiteral("6p");
    default:
      return {};
  }
}

QString heatmapWeekdayName(int row) {
  static const std::array<const char*, kHeatmapWeekdays> names = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  if (row < 0 || row >= kHeatmapWeekdays) return {};
  return QString::fromLatin1(names[static_cast<size_t>(row)]);
}

qint64 heatmapMaxValue(const HourMatrix& matrix) {
  qint64 best = 0;
  for (const auto& row : matrix)
    for (const qint64 value : row) best = std::max(best, value);
  return std::max<qint64>(best, 1);
}

HeatmapPeak heatmapPeak(const HourMatrix& matrix) {
  HeatmapPeak peak;
  for (qsizetype d = 0; d < matrix.size(); ++d) {
    const auto& row = matrix[d];
    const qsizetype hours = std::min<qsizetype>(row.size(), kHeatmapColumns);
    for (qsizetype h = 0; h < hours; ++h) {
      const qsizetype next = (h + 1) % kHeatmapColumns;
      const qint64 sum = saturatingAdd(row[h], next < row.size() ? row[next] : 0);
      if (sum > peak.count) peak = {static_cast<int>(d), static_cast<int>(h), sum};
    }
  }
  return peak;
}

}  // namespace murmela
