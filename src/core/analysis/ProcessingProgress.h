#pragma once

#include "analysis/AnalysisStage.h"

#include <optional>

namespace murmela {

// One progress report of a processing run: the stage, the overall completion
// from 0 to 1, and the estimated seconds left when there is an estimate.
struct ProcessingProgress {
  AnalysisStage stage = AnalysisStage::readingMessages;
  double fraction = 0.0;
  std::optional<double> estimatedRemainingSeconds;
  friend bool operator==(const ProcessingProgress&, const ProcessingProgress&) = default;
};

}  // namespace murmela
