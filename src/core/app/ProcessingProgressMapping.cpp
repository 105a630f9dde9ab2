#include "app/ProcessingProgressMapping.h"

#include "common/UnicodeText.h"

#include <algorithm>

namespace murmela::ProcessingProgressMapping {
namespace {

// Texts whose every unit lies below U+0300 and that hold no carriage return
// have one character per unit: no marks, no surrogates, no CR LF pairs.
bool oneCharacterPerUnit(const QString& text) {
  return std::all_of(text.begin(), text.end(), [](QChar unit) {
    const char16_t c = unit.unicode();
    return c < 0x300 && c != u'\r';
  });
}

}  // namespace

qint64 characterCount(const MessageList& messages) {
  qint64 total = 0;
  for (const Message& message : messages)
    total += oneCharacterPerUnit(message.text) ? message.text.size() : UnicodeText::graphemeCount(message.text);
  return total;
}

double baseEstimateSeconds(qint64 characters, IntelligenceChoice choice) {
  const auto count = static_cast<double>(characters);
  const double anonymization = choice == IntelligenceChoice::hybrid
                                   ? std::max(count * kAnonymizationSecondsPerCharacter, kMinimumStepSeconds)
                                   : 0.0;
  return anonymization + std::max(count * kHostedSecondsPerCharacter, kMinimumStepSeconds) + kMinimumStepSeconds;
}

ProcessingProgress csvPipelineProgress(const ProcessingProgress& reported, double baseEstimateSeconds) {
  const double fraction = std::min(reported.fraction, kPipelineFractionCap);
  const double done = std::clamp(reported.fraction, 0.0, kPipelineFractionCap);
  const double remaining = std::max((kPipelineFractionCap - done) / kPipelineFractionCap, 0.0);
  const AnalysisStage stage =
      reported.stage == AnalysisStage::readingMessages ? AnalysisStage::readingMessages : AnalysisStage::aggregating;
  return ProcessingProgress{stage, fraction, baseEstimateSeconds + kPipelineSeconds * remaining};
}

}  // namespace murmela::ProcessingProgressMapping
