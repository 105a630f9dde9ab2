#include "privacy/anonymization/PrivacyScriptAnonymizer.h"

#include "privacy/anonymization/NameRehydration.h"

namespace murmela {

PrivacyScriptAnonymizer::PrivacyScriptAnonymizer(HybridAnonymization::Environment environment)
    : environment_(std::move(environment)) {}

PrivacyAnonymizationContext PrivacyScriptAnonymizer::anonymize(const ImportedChat& chat,
                                                               double estimatedAnonymizationSeconds,
                                                               double estimatedAnalysisSeconds,
                                                               const ProgressCallback& progress, std::stop_token stop) {
  return HybridAnonymization::anonymizeForHybrid(
      chat, estimatedAnonymizationSeconds, estimatedAnalysisSeconds,
      [&progress](const HybridAnonymizationProgress& step) {
        if (progress) progress({AnalysisStage::anonymizing, step.fraction, step.estimatedRemainingSeconds});
      },
      std::move(stop), environment_);
}

JSONValue::Object PrivacyScriptAnonymizer::rehydrate(const JSONValue::Object& object,
                                                     const QMap<QString, QString>& reverseNameMap) const {
  return murmela::rehydrate(object, reverseNameMap);
}

}  // namespace murmela
