#pragma once

#include "analysis/PreparedConversation.h"
#include "data/Message.h"
#include "data/WrappedReport.h"

#include <QString>

namespace murmela {


// Whether a text holds an apology: "sorry" as a whole word, or else any of
// "my bad", "i was wrong", "my fault", "i apologize" anywhere (plain
// substrings, so "my badge" counts), case ignored.
bool containsApology(const QString& text);
bool containsApology(const PreparedText& text);

// Per person, the number of messages that hold an apology (once per message).
class ApologyAnalyzer {
 public:
  PersonIntBreakdown analyze(const MessageList& messages) const;
  PersonIntBreakdown analyze(const PreparedConversation& conversation) const;
};

}  // namespace murmela
