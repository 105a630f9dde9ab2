#pragma once

#include "kit/widgets/HostSignal.h"

#include <QString>

#include <functional>
#include <optional>

namespace murmela {

// What the welcome screen reads and asks of the application.
struct WelcomeHost {
  std::function<bool()> hasAcceptedTerms;
  std::function<void(bool accepted)> setHasAcceptedTerms;
  std::function<std::optional<QString>()> processingError;  // the last failed run's, shown above the terms
  std::function<void()> getStarted;
  HostSignal changed;  // the terms' acceptance or the error changed
};

}  // namespace murmela
