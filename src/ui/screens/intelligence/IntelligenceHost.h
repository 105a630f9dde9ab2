#pragma once

#include "data/IntelligenceChoice.h"
#include "kit/widgets/HostSignal.h"
#include "privacy/HybridPrivacyCapability.h"

#include <QString>

#include <functional>
#include <optional>

namespace murmela {

// What the intelligence choice reads and asks of the application.
struct IntelligenceHost {
  std::function<IntelligenceChoice()> intelligenceChoice;
  std::function<HybridPrivacyCapability()> hybridCapability;
  std::function<std::optional<QString>()> hybridUnavailableReason;  // none where hybrid can run
  std::function<void(IntelligenceChoice choice)> selectIntelligence;
  std::function<void()> confirmIntelligenceChoice;  // Continue
  std::function<void()> back;                       // to the welcome screen, dropping a pending CSV import
  std::function<bool()> pythonInstallHelpVisible;
  std::function<void(bool visible)> setPythonInstallHelpVisible;
  std::function<void()> showPythonInstallHelp;
  HostSignal choiceChanged;  // the choice or the hybrid capability changed
  HostSignal pythonInstallHelpVisibleChanged;
};

}  // namespace murmela
