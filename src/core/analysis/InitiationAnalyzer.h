#pragma once

#include "data/Message.h"
#include "data/WrappedReport.h"

namespace murmela {

struct InitiationResult {
  PersonDoubleBreakdown rate;  // each person's share of all initiations
  PersonIntBreakdown count;
};

// Who opens the conversation: the first message, and every message that comes
// strictly more than six hours after the message before it (from either person).
class InitiationAnalyzer {
 public:
  static constexpr double kPause = 21600.0;  // seconds

  InitiationResult analyze(const MessageList& messages) const;
};

}  // namespace murmela
