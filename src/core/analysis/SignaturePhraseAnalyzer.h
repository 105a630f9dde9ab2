#pragma once

#include "analysis/PreparedConversation.h"
#include "data/Message.h"
#include "data/RelationshipType.h"
#include "data/WrappedReport.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

namespace murmela {

// The pair's signature phrase: a run of three to five words that the two keep
// writing. Word runs are counted over the whole conversation, generic ones are
// dropped, the top of the ranking goes to the generative step as a shortlist,
// and without an accepted pick fixed thresholds decide, or a phrase or term of
// address typical of the relationship type. Stateless between calls.
class SignaturePhraseAnalyzer {
 public:
  static constexpr qsizetype kShortestRun = 3;
  static constexpr qsizetype kLongestRun = 5;
  static constexpr qint64 kMinimumCount = 3;
  static constexpr qsizetype kShortlistLimit = 30;

  SignaturePhraseAnalyzer();  // with defaultGenericPhrases()
  explicit SignaturePhraseAnalyzer(QSet<QString> genericPhrases);

  static const QStringList& defaultGenericPhrases();  // the 19 entries, in order
  const QSet<QString>& genericPhrases() const { return genericPhrases_; }

  // Never fails; nothing when neither a pick, a winner nor a fallback applies.
  std::optional<SignaturePhrase> analyze(const MessageList& messages, RelationshipType relationshipType) const;
  std::optional<SignaturePhrase> analyze(const PreparedConversation& conversation,
                                         RelationshipType relationshipType) const;

  // The ranking: runs of 3 to 5 tokens within a message that occur at least 3
  // times and are not generic, by count descending, then more characters
  // first, then code-point order; the first `limit` entries.
  QList<PhraseStat> rankedPhrases(const MessageList& messages, qsizetype limit = kShortlistLimit) const;
  QList<PhraseStat> rankedPhrases(const PreparedConversation& conversation, qsizetype limit = kShortlistLimit) const;

  // The whole phrase is generic, or every word of it (split at spaces) is.
  bool isGeneric(const QString& phrase) const;

  // The count a winner reports. The minimum count the top phrase of a
  // conversation of `messageCount` messages needs to win.
  static qint64 winningThreshold(qint64 messageCount);

  // How often a phrase occurs, spelling variants included: whole-word matches
  // of its normalized form in every message's normalized text; for "i love
  // you" the number of messages saying it in any of its forms.
  static qint64 fuzzyCount(const QString& phrase, const MessageList& messages);
  static qint64 fuzzyCount(const QString& phrase, const PreparedConversation& conversation);
  // fuzzyCount of several phrases in one pass over the messages.
  static QList<qint64> fuzzyCounts(const QStringList& phrases, const MessageList& messages);
  static QList<qint64> fuzzyCounts(const QStringList& phrases, const PreparedConversation& conversation);

  // Lower-cased words (letters, marks, numbers) joined by single spaces, with
  // "ily" spelled out as "i love you" and "u" as "you".
  static QString normalizedForPhraseMatching(const QString& text);

  static QString flavorLine(const QString& phrase, RelationshipType relationshipType);
  static std::optional<SignaturePhrase> fallbackSignaturePhrase(RelationshipType relationshipType,
                                                                const MessageList& messages);
  static std::optional<SignaturePhrase> fallbackSignaturePhrase(RelationshipType relationshipType,
                                                                const PreparedConversation& conversation);

 private:
  std::optional<SignaturePhrase> analyzeWithHeuristics(const PreparedConversation& conversation,
                                                       RelationshipType relationshipType,
                                                       const QList<PhraseStat>& ranked) const;

  QSet<QString> genericPhrases_;
  QSet<QString> genericRuns_;  // entries of three or more words: only these can equal a whole run
};

}  // namespace murmela
