#include "screens/hybridsetup/HybridSetupTexts.h"

#include "screens/common/ProgressTexts.h"

#include <cmath>

namespace murmela::HybridSetupTexts {

using Kind = PrivacyFilterPhase::Kind;
using State = PrivacyFilterSubStep::State;

QString phaseLabel(const PrivacyFilterPhase& phase) {
  switch (phase.kind) {
    case Kind::idle:
      return QStringLiteral("Preparing");
    case Kind::verifying:
      return QStringLiteral("Verifying host");
    case Kind::installingRuntime:
      return QStringLiteral("Installing runtime");
    case Kind::creatingVenv:
      return QStringLiteral("Preparing runtime");
    case Kind::installingPackages:
      return QStringLiteral("Validating packages");
    case Kind::downloadingFilter:
      return QStringLiteral("Checking model");
    case Kind::testingRedaction:
      return QStringLiteral("Testing filter");
    case Kind::ready:
      return QStringLiteral("Ready");
    case Kind::failed:
      return QStringLiteral("Setup failed");
  }
  return QStringLiteral("Preparing");
}

QString activeStepShortLabel(const PrivacySetupSnapshot& setup) {
  for (const PrivacyFilterSubStep& step : setup.subSteps) {
    if (step.state != State::active) continue;
    if (step.id == QLatin1String("host")) return QStringLiteral("Checking");
    if (step.id == QLatin1String("runtime")) return QStringLiteral("Installing");
    if (step.id == QLatin1String("test")) return QStringLiteral("Testing");
    return step.label;
  }
  return setup.phase.kind == Kind::ready ? QStringLiteral("Ready") : QStringLiteral("Preparing");
}

QString statusLeftText(const PrivacySetupSnapshot& setup) {
  const std::optional<double>& estimate = setup.estimatedRemainingSeconds;
  if (estimate && std::isfinite(*estimate))
    return QStringLiteral("Est. ") + formatRemaining(*estimate) + QStringLiteral(" remaining");
  return phaseLabel(setup.phase);
}

QList<SetupSubStep> checklist(const PrivacySetupSnapshot& setup) {
  QList<SetupSubStep> rows;
  for (const PrivacyFilterSubStep& step : setup.subSteps) {
    const bool active = step.state == State::active;
    const bool useSetupDetail = active && setup.detail && !setup.detail->isEmpty();
    rows.append({step.id, step.label, step.state == State::done, active, useSetupDetail ? setup.detail : step.detail});
  }
  return rows;
}

HybridForwardButton forwardButton(const PrivacySetupSnapshot& setup, bool hasSetupError) {
  if (hasSetupError) return HybridForwardButton::useRawCloud;
  return setup.phase.kind == Kind::ready ? HybridForwardButton::continueEnabled : HybridForwardButton::continueDisabled;
}

}  // namespace murmela::HybridSetupTexts
