#include "app/ProcessingProgressMapping.h"

#include "hosted/HostedRunEstimates.h"

#include <algorithm>

namespace murmela::ProcessingProgressMapping {

double baseEstimateSeconds(qint64 characters, HostedAnalysisWorkflow workflow) {
  using namespace HostedRunEstimates;
  const double anonymization =
      workflow == HostedAnalysisWorkflow::hybridPrivacy ? anonymizationSeconds(characters) : 0.0;
  return anonymization + analysisSeconds(characters) + kMarginSeconds;
}

ProcessingProgress pipelineProgress(const ProcessingProgress& reported, double baseEstimateSeconds) {
  const double fraction = std::min(reported.fraction, kPipelineFractionCap);
  const double done = std::clamp(reported.fraction, 0.0, kPipelineFractionCap);
  const double remaining = std::max((kPipelineFractionCap - done) / kPipelineFractionCap, 0.0);
  const AnalysisStage stage =
      reported.stage == AnalysisStage::readingMessages ? AnalysisStage::readingMessages : AnalysisStage::aggregating;
  return ProcessingProgress{stage, fraction, baseEstimateSeconds + kPipelineSeconds * remaining};
}

}  // namespace murmela::ProcessingProgressMapping
