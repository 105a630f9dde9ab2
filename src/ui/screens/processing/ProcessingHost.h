#pragma once

#include "analysis/ProcessingProgress.h"
#include "data/IntelligenceChoice.h"
#include "kit/widgets/HostSignal.h"

#include <QString>

#include <functional>

namespace murmela {

// What the processing screen reads of the application (it asks nothing).
struct ProcessingHost {
  std::function<ProcessingProgress()> processingProgress;
  std::function<qint64()> lastProcessedMessageCount;
  std::function<QString()> processingDisplayName;  // the conversation partner's name in the title
  std::function<IntelligenceChoice()> intelligenceChoice;
  HostSignal changed;  // any of the above changed
};

}  // namespace murmela
