#pragma once

#include "analysis/PreparedConversation.h"
#include "data/Message.h"
#include "data/WrappedReport.h"

namespace murmela {

struct StreakResult {
  StreakPeriod longestStreak;
  SilencePeriod longestSilence;
};

// The longest run of consecutive local days with messages and the longest
// stretch of days without any. Ties keep the earliest. Day differences are
// calendar days, so a DST change never breaks a run.
class StreakAnalyzer {
 public:
  StreakResult analyze(const MessageList& messages) const;
  StreakResult analyze(const PreparedConversation& conversation) const;
};

}  // namespace murmela
