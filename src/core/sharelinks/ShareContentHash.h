#pragma once

#include "data/WrappedReport.h"

#include <QString>

namespace murmela {

// The key under which a share link is reused: SHA-256 of the report's compact
// JSON form (keys sorted, whole-second dates, "/" written as "\/"), as 64
// lower-case hexadecimal digits. The same report gives the same hash on every
// call. Throws Json::EncodingError when the report holds a number that is not
// finite.
QString shareContentHash(const WrappedReport& report);

}  // namespace murmela
