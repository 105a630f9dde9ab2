#include "analysis/InitiationAnalyzer.h"

#include <algorithm>

namespace murmela {

InitiationResult InitiationAnalyzer::analyze(const MessageList& messages) const {
  InitiationResult result;
  for (qsizetype i = 0; i < messages.size(); ++i) {
    const Message& message = messages[i];
    if (i > 0 && !(message.date.secondsSince(messages[i - 1].date) > kPause)) continue;
    if (message.isFromMe)
      ++result.count.me;
    else
      ++result.count.them;
  }
  const double total = std::max<double>(static_cast<double>(result.count.me + result.count.them), 1.0);
  result.rate.me = static_cast<double>(result.count.me) / total;
  result.rate.them = static_cast<double>(result.count.them) / total;
  return result;
}

}  // namespace murmela
