#pragma once

#include "common/Date.h"

#include <QString>

#include <optional>

namespace murmela::Iso8601 {

// "2026-01-31T09:05:07Z": UTC, whole seconds (the fraction is floored away).
QString format(Date date);
// "2026-01-31T09:05:07.250Z": UTC with milliseconds (floored).
QString formatWithMilliseconds(Date date);

// Strict internet date-time: yyyy-MM-ddTHH:mm:ss followed by Z or ±HH:MM.
// Fractional seconds are accepted only when allowFraction is set. Anything else
// (no zone, date only, a space for T, out-of-range fields, anything after the
// zone, a line feed included, an instant outside the UTC years 1 to 9999)
// gives no value.
std::optional<Date> parse(const QString& text, bool allowFraction = false);

}  // namespace murmela::Iso8601
