#pragma once

#include "analysis/ProcessingProgress.h"
#include "data/IntelligenceChoice.h"

namespace murmela::ProcessingProgressMapping {

// How the CSV road publishes the on-device analysis: the pipeline's part of
// the run fills the bar up to 0.45, and the estimate counts down from a base
// fixed when the run started (the hosted steps that follow) plus up to ten
// seconds for the pipeline itself.
inline constexpr double kPipelineFractionCap = 0.45;
inline constexpr double kPipelineSeconds = 10.0;

// The seconds the steps after the pipeline are expected to take: the
// anonymization (hybrid mode only) and the hosted analysis, each at least 8
// seconds, and 8 more.
double baseEstimateSeconds(qint64 characters, IntelligenceChoice choice);

// What the CSV road publishes for one report of the pipeline: reading stays
// reading and every other stage becomes aggregating; the fraction is capped at
// 0.45; the estimate is the base plus the pipeline's remaining share of ten
// seconds.
ProcessingProgress csvPipelineProgress(const ProcessingProgress& reported, double baseEstimateSeconds);

}  // namespace murmela::ProcessingProgressMapping
