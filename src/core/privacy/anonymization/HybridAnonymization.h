#pragma once

#include "data/ImportedChat.h"
#include "hosted/PrivacyAnonymizationContext.h"
#include "privacy/PrivacyRuntimeInstall.h"
#include "privacy/anonymization/PrivacyProgressUpdate.h"

#include <QString>

#include <functional>
#include <optional>
#include <stop_token>

namespace murmela {

// Where the anonymization is in a processing run: the overall fraction (0.46
// to 0.67) and the estimated seconds left for the whole run.
struct HybridAnonymizationProgress {
  double fraction = 0.0;
  double estimatedRemainingSeconds = 0.0;
  friend bool operator==(const HybridAnonymizationProgress&, const HybridAnonymizationProgress&) = default;
};

// The anonymization of one conversation on the device, before anything of it
// leaves the machine in hybrid mode: the conversation goes to the script
// "privacy_anonymize.py" of the resource bundle, run by the installed privacy
// runtime's Python, through "input.json" and "output.json" in a fresh private
// folder ("murmela-privacy-<UUID>", mode 0700) in the temporary folder. The
// folder is removed on every way out.
class HybridAnonymization {
 public:
  static constexpr double kFirstFraction = 0.46;
  static constexpr double kFractionSpan = 0.21;
  static constexpr double kRemainingMargin = 8.0;
  static constexpr qsizetype kLoggedTailCharacters = 800;
  static constexpr qsizetype kFailureTextCharacters = 1200;

  using ProgressHandler = std::function<void(const HybridAnonymizationProgress&)>;

  // Test seams; empty members use the application's own.
  struct Environment {
    std::function<std::optional<QString>()> scriptPath;       // the bundled script, if it is there
    std::function<PrivacyRuntimeInstall()> installedRuntime;  // throws when there is no valid runtime
    QString temporaryFolder;                                  // the user's temporary folder
  };

  // The progress of one script update: ratio = completed / total (0 unless
  // total > 0 and the ratio is not negative; at most 1); fraction 0.46 +
  // 0.21 x ratio; remaining (1 - ratio) x the anonymization estimate + the
  // analysis estimate + 8 seconds.
  static HybridAnonymizationProgress progressFor(const PrivacyProgressUpdate& update,
                                                 double estimatedAnonymizationSeconds, double estimatedAnalysisSeconds);

  // Anonymizes `chat` on the calling (worker) thread, blocking it until the
  // script has ended. `progress` gets each of the script's progress updates on
  // this thread, in order. Writes the "Privacy: " lines of the analysis log.
  // Throws:
  //  - HostedAnalysisError::privacyFilterUnavailable without the script or a
  //    valid installed runtime;
  //  - PrivacyFileSystemError when the folder or the input cannot be written;
  //  - HostedAnalysisError::privacyAnonymizationFailed when the script cannot
  //    be launched, exits with another status than 0, or leaves no readable
  //    output;
  //  - CancellationError when `stop` is requested (the script is stopped).
  static PrivacyAnonymizationContext anonymizeForHybrid(const ImportedChat& chat, double estimatedAnonymizationSeconds,
                                                        double estimatedAnalysisSeconds,
                                                        const ProgressHandler& progress, std::stop_token stop = {},
                                                        const Environment& environment = {});

  // The text of a failed run: the script's output without its progress lines,
  // cut to its first 1200 characters.
  static QString failureText(const QString& output);
};

}  // namespace murmela
