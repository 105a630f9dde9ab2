#pragma once

#include "data/IntelligenceChoice.h"
#include "kit/widgets/HostSignal.h"

#include <QString>

#include <functional>
#include <optional>

namespace murmela {

// What the hybrid privacy setup screen reads and asks of the application.
struct HybridSetupHost {
  std::function<std::optional<QString>()> hybridSetupError;
  std::function<void(const std::optional<QString>& text)> setHybridSetupError;
  std::function<void(IntelligenceChoice choice)> selectIntelligence;
  std::function<void()> confirmIntelligenceChoice;  // goes on with the chosen intelligence
  std::function<void()> backToIntelligence;         // shows the intelligence choice again
  HostSignal hybridSetupErrorChanged;
};

}  // namespace murmela
