#pragma once

#include "analysis/PreparedConversation.h"
#include "data/Message.h"
#include "data/WrappedReport.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

namespace murmela {

// Each person's most used words and two-word phrases, common filler words left
// out of the single words. Stateless between calls.
class PhraseAnalyzer {
 public:
  static constexpr qsizetype kTopLimit = 10;
  static constexpr qsizetype kMinimumPhraseCharacters = 8;  // the space included

  PhraseAnalyzer();  // with defaultStopwords()
  explicit PhraseAnalyzer(QSet<QString> stopwords);

  static const QStringList& defaultStopwords();  // the 35 lower-case entries
  const QSet<QString>& stopwords() const { return stopwords_; }

  // `me`: the ranking of the messages I sent; `them`: of all others.
  PersonPhraseBreakdown analyze(const MessageList& messages) const;
  PersonPhraseBreakdown analyze(const PreparedConversation& conversation) const;
  // At most kTopLimit entries, count descending, then text by code point.
  QList<PhraseStat> topPhrases(const MessageList& messages) const;

 private:
  QSet<QString> stopwords_;
};

}  // namespace murmela
