#pragma once

#include "analysis/PreparedConversation.h"
#include "analysis/PreparedText.h"
#include "data/Message.h"
#include "data/WrappedReport.h"

#include <QList>
#include <QStringList>

#include <vector>

namespace murmela {

// How often each person uses the terms of a fixed list of chat slang and pet
// phrases, every whole-word occurrence counted. Stateless between calls.
class DialectAnalyzer {
 public:
  static constexpr qsizetype kTopLimit = 10;

  DialectAnalyzer();  // with defaultTerms()
  explicit DialectAnalyzer(QStringList terms);

  static const QStringList& defaultTerms();  // the 26 terms, in their order
  const QStringList& terms() const { return terms_; }

  PersonPhraseBreakdown analyze(const MessageList& messages) const;
  PersonPhraseBreakdown analyze(const PreparedConversation& conversation) const;
  QList<PhraseStat> topTerms(const MessageList& messages) const;

 private:
  QStringList terms_;
  std::vector<TermMatcher> matchers_;  // one per term, in list order
};

}  // namespace murmela
