#pragma once

#include "json/JSONValue.h"
#include "data/WrappedReport.h"

#include <optional>

namespace murmela {

// The report's generated sentences from the insights step's result object: the
// six strings "heatmapPeakInsight", "yearShapeInsight",
// "wordDebutResponseInsight", "argumentInsight",
// "positiveSentimentPeakInsight" and "responseTimeShiftInsight", taken as they
// are (blank ones included). Nothing when any of them is missing or is not a
// string; other keys are ignored.
std::optional<ReportInsightCopy> reportInsightCopy(const JSONValue::Object& json);

}  // namespace murmela
