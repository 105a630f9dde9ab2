#pragma once

#include "hosted/HybridAnonymizer.h"
#include "privacy/anonymization/HybridAnonymization.h"

namespace murmela {

// The application's anonymizer for hybrid runs: the bundled anonymization
// script on the installed privacy runtime (HybridAnonymization), and the name
// restoration of NameRehydration.
class PrivacyScriptAnonymizer : public HybridAnonymizer {
 public:
  PrivacyScriptAnonymizer() = default;
  explicit PrivacyScriptAnonymizer(HybridAnonymization::Environment environment);

  // Reports stage "anonymizing" with the script's progress (0.46 to 0.67).
  PrivacyAnonymizationContext anonymize(const ImportedChat& chat, double estimatedAnonymizationSeconds,
                                        double estimatedAnalysisSeconds, const ProgressCallback& progress,
                                        std::stop_token stop) override;
  JSONValue::Object rehydrate(const JSONValue::Object& object,
                              const QMap<QString, QString>& reverseNameMap) const override;

 private:
  HybridAnonymization::Environment environment_;
};

}  // namespace murmela
