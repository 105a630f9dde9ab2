#pragma once

#include "screens/hybridsetup/PrivacySetupStatus.h"

#include <QList>
#include <QString>

#include <optional>

namespace murmela {

// One row of the hybrid setup checklist as shown.
struct SetupSubStep {
  QString id;
  QString label;
  bool done = false;
  bool active = false;
  std::optional<QString> detail;  // the smaller second line

  bool operator==(const SetupSubStep&) const = default;
};

// The forward button of the hybrid setup screen.
enum class HybridForwardButton {
  useRawCloud,       // the setup reported an error
  continueEnabled,   // no error and the filter is ready
  continueDisabled,  // otherwise
};

// What the hybrid setup screen says about the setup.
namespace HybridSetupTexts {

// "Preparing", "Verifying host", ... "Ready", "Setup failed".
QString phaseLabel(const PrivacyFilterPhase& phase);
// The first active sub-step's short name ("Checking", "Installing",
// "Testing", else its label); with none active "Ready" when ready, else "Preparing".
QString activeStepShortLabel(const PrivacySetupSnapshot& setup);
// The status line's left text: "Est. " + remaining + " remaining" while a
// finite estimate is published, else the phase label.
QString statusLeftText(const PrivacySetupSnapshot& setup);
// The checklist rows in the driver's order; an active row shows the setup's
// detail line while it is not empty, else its own.
QList<SetupSubStep> checklist(const PrivacySetupSnapshot& setup);
HybridForwardButton forwardButton(const PrivacySetupSnapshot& setup, bool hasSetupError);

}  // namespace HybridSetupTexts
}  // namespace murmela
