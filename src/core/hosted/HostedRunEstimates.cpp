#include "hosted/HostedRunEstimates.h"

#include "common/UnicodeText.h"

#include <algorithm>

namespace murmela::HostedRunEstimates {

qint64 characterCount(const MessageList& messages) {
  qint64 total = 0;
  for (const Message& message : messages) total += UnicodeText::graphemeCount(message.text);
  return total;
}

double anonymizationSeconds(qint64 characters) {
  return std::max(static_cast<double>(characters) * kAnonymizationSecondsPerCharacter, kFloorSeconds);
}

double analysisSeconds(qint64 characters) {
  return std::max(static_cast<double>(characters) * kAnalysisSecondsPerCharacter, kFloorSeconds);
}

}  // namespace murmela::HostedRunEstimates
