#pragma once

#include "analysis/PreparedConversation.h"
#include "analysis/PreparedText.h"
#include "data/Message.h"
#include "data/WrappedReport.h"

#include <QList>
#include <QStringList>

#include <vector>

namespace murmela {

// A word-count mood per local calendar month: each message scores the number
// of positive words it contains minus the number of negative words (each word
// at most once per message), and a month is the mean of its messages' scores,
// limited to [-1, 1]. Stateless between calls.
class SentimentAnalyzer {
 public:
  SentimentAnalyzer();  // with the default lists
  SentimentAnalyzer(QStringList positiveWords, QStringList negativeWords);

  static const QStringList& defaultPositiveWords();  // 8 words, in order
  static const QStringList& defaultNegativeWords();  // 9 words, in order
  const QStringList& positiveWords() const { return positiveWords_; }
  const QStringList& negativeWords() const { return negativeWords_; }

  // Months ascending; a month without messages does not appear.
  QList<MonthlySentiment> analyze(const MessageList& messages) const;
  QList<MonthlySentiment> analyze(const PreparedConversation& conversation) const;
  // The score of one message: positive words contained minus negative words contained.
  qint64 score(const QString& text) const;

 private:
  qint64 score(const PreparedText& text) const;

  QStringList positiveWords_;
  QStringList negativeWords_;
  std::vector<TermMatcher> positive_;
  std::vector<TermMatcher> negative_;
};

}  // namespace murmela
