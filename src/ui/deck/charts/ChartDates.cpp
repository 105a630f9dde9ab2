#include "deck/charts/ChartDates.h"

#include <cmath>

namespace murmela {

bool isCalendarPlaceable(Date date) {
  constexpr double kLargestPlaceableSeconds = 3.0e11;
  const double seconds = date.secondsSinceReference();
  return std::isfinite(seconds) && std::abs(seconds) <= kLargestPlaceableSeconds;
}

}  // namespace murmela
