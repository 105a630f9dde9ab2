#pragma once

#include "analysis/ProcessingProgress.h"
#include "json/JSONValue.h"
#include "data/ImportedChat.h"
#include "hosted/PrivacyAnonymizationContext.h"

#include <QMap>
#include <QString>

#include <functional>
#include <stop_token>

namespace murmela {

// What the hybrid road of a hosted run needs from the on-device anonymization:
// turning the conversation into placeholders before anything leaves the
// machine, and putting the names back into what the backend answered.
class HybridAnonymizer {
 public:
  using ProgressCallback = std::function<void(const ProcessingProgress&)>;

  virtual ~HybridAnonymizer() = default;

  // Anonymizes the chat's messages and participant names. Runs on the calling
  // thread; reports its own progress (stage anonymizing, fractions 0.46 to
  // 0.67) through `progress` on that thread. Throws HostedAnalysisError
  // (privacyFilterUnavailable, privacyAnonymizationFailed), file-system and
  // encoding errors, or CancellationError when `stop` ends it.
  virtual PrivacyAnonymizationContext anonymize(const ImportedChat& chat, double estimatedAnonymizationSeconds,
                                                double estimatedAnalysisSeconds, const ProgressCallback& progress,
                                                std::stop_token stop) = 0;

  // The object with every value's placeholders replaced by the names they
  // stand for (strings inside arrays and objects included); keys unchanged.
  virtual JSONValue::Object rehydrate(const JSONValue::Object& object,
                                      const QMap<QString, QString>& reverseNameMap) const = 0;
};

}  // namespace murmela
