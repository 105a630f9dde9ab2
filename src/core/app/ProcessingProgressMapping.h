#pragma once

#include "analysis/ProcessingProgress.h"
#include "app/IntelligenceChoice.h"
#include "data/Message.h"

namespace murmela::ProcessingProgressMapping {

// How the CSV road publishes the on-device analysis: the pipeline's part of
// the run fills the bar up to 0.45, and the estimate counts down from a base
// fixed when the run started (the hosted steps that follow) plus up to ten
// seconds for the pipeline itself.
inline constexpr double kPipelineFractionCap = 0.45;
inline constexpr double kPipelineSeconds = 10.0;
inline constexpr double kAnonymizationSecondsPerCharacter = 0.0001385;
inline constexpr double kHostedSecondsPerCharacter = 0.0001395;
inline constexpr double kMinimumStepSeconds = 8.0;

// The total text length of the messages, in characters (grapheme clusters).
qint64 characterCount(const MessageList& messages);

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
