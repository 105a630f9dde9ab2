#pragma once

#include "json/JSONValue.h"
#include "data/WrappedReport.h"

#include <optional>

namespace murmela {

// What one hosted run returns (names already restored in hybrid mode): the
// synthesis step's result object, the report's generated sentences when the
// insights step held all six, and the insights step's "firstsSelection" when
// it held one (of whatever JSON kind).
struct HostedAnalysisResult {
  JSONValue::Object synthesis;
  std::optional<ReportInsightCopy> insightCopy;
  std::optional<JSONValue> firstsSelection;
};

}  // namespace murmela
