#pragma once

#include <QString>

namespace murmela {

// The remaining-time text of the hybrid setup and processing screens: the
// seconds rounded (halves away from zero), at least 1, as "N sec" up to 59
// and as whole minutes (rounded, at least 1) as "N min" above, in plain
// digits without grouping. 59.5 seconds is "1 min", 90 is "2 min". A value
// past the range of a 64-bit count is taken at the end of that range; one
// that is not a number reads as 0.
QString formatRemaining(double seconds);

// The whole percent shown beside a progress: the integer part of
// fraction x 100 ("99" for 0.999), not clamped; "0" for a value that is not
// finite.
QString wholePercentText(double fraction);

}  // namespace murmela
