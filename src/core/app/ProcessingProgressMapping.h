#pragma once

#include "analysis/ProcessingProgress.h"
#include "hosted/HostedAnalysisWorkflow.h"

#include <QtGlobal>

namespace murmela::ProcessingProgressMapping {

// How a processing run publishes the on-device analysis: the pipeline's part
// of the run fills the bar up to 0.45, and the estimate counts down from a
// base fixed when the run started (the hosted steps that follow) plus up to
// ten seconds for the pipeline itself.
inline constexpr double kPipelineFractionCap = 0.45;
inline constexpr double kPipelineSeconds = 10.0;

// The seconds the steps after the pipeline are expected to take: the
// anonymization (hybrid workflow only) and the hosted analysis, each at least
// 8 seconds, and 8 more.
double baseEstimateSeconds(qint64 characters, HostedAnalysisWorkflow workflow);

// What a run publishes for one report of the pipeline: reading stays reading
// and every other stage becomes aggregating; the fraction is capped at 0.45;
// the estimate is the base plus the pipeline's remaining share of ten seconds
// (the pipeline's own estimate is not used).
ProcessingProgress pipelineProgress(const ProcessingProgress& reported, double baseEstimateSeconds);

}  // namespace murmela::ProcessingProgressMapping
