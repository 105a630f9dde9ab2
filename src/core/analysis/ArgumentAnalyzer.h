#pragma once

#include "analysis/PreparedConversation.h"
#include "analysis/PreparedText.h"
#include "common/Date.h"
#include "data/Message.h"
#include "data/WrappedReport.h"

#include <QList>
#include <QStringList>

#include <vector>

namespace murmela {

// The days on which the two argued: days with enough conflict language (or
// enough back-and-forth around one conflict message) become candidate
// windows, the strongest ten go to the generative judge, and without its
// verdict the candidates with at least four conflict messages are kept.
// Stateless between calls.
class ArgumentAnalyzer {
 public:
  static constexpr qsizetype kWindowLimit = 80;
  static constexpr qsizetype kCandidateLimit = 10;
  static constexpr qint64 kHeuristicMinimumConflicts = 4;
  static constexpr qint64 kBusyDayMessages = 30;
  static constexpr qint64 kBusyDaySwitches = 12;

  // One candidate day.
  struct Candidate {
    Date date;             // start of the local day
    MessageList messages;  // the day's messages by time, at most kWindowLimit
    qint64 conflictMessageCount = 0;
    ArgumentEvent fallbackEvent;
  };

  ArgumentAnalyzer();  // with defaultConflictTerms()
  explicit ArgumentAnalyzer(QStringList conflictTerms);

  static const QStringList& defaultConflictTerms();  // the 9 terms, in order
  const QStringList& conflictTerms() const { return conflictTerms_; }

  // The accepted events, oldest first. Never fails.
  QList<ArgumentEvent> analyze(const MessageList& messages) const;
  QList<ArgumentEvent> analyze(const PreparedConversation& conversation) const;

  // The strongest candidate days (at most kCandidateLimit): most conflict
  // messages first, then the larger window, then the earlier day.
  QList<Candidate> candidateEvents(const MessageList& messages) const;
  QList<Candidate> candidateEvents(const PreparedConversation& conversation) const;

  // A conflict term as a whole word, or an apology.
  bool isConflictMessage(const PreparedText& text) const;

 private:
  QStringList conflictTerms_;
  std::vector<TermMatcher> matchers_;
};

}  // namespace murmela
