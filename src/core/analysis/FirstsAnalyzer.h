#pragma once

#include "analysis/GenerativeAnalyzer.h"
#include "analysis/PreparedConversation.h"
#include "common/Date.h"
#include "data/Message.h"
#include "data/RelationshipType.h"
#include "data/WrappedReport.h"

#include <QList>
#include <QLocale>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTimeZone>

#include <optional>

namespace murmela {

struct FirstsResult {
  std::optional<FirstDistinctiveTerm> firstDistinctiveTerm;
  QList<MeaningfulFirst> otherFirsts;
};

// The firsts of a conversation: the first term of address typical of the
// relationship type that the pair kept using, dated and described, and up to
// five other firsts (the first dates of affection, milestone and conflict
// phrases). Every search is a case-insensitive whole-word match. Stateless
// between calls.
class FirstsAnalyzer {
 public:
  static constexpr qsizetype kOtherFirstsLimit = 5;
  static constexpr qsizetype kMinimumGenerativePhrases = 3;
  static constexpr qsizetype kLongConversation = 1000;  // messages

  FirstsAnalyzer();  // with the default tables

  const QMap<RelationshipType, QStringList>& distinctiveTermsByType() const { return distinctiveTermsByType_; }
  const QStringList& milestonePhrases() const { return milestonePhrases_; }  // 30, in order
  const QStringList& conflictPhrases() const { return conflictPhrases_; }    // 17, in order
  // Milestones followed by conflicts: the 47 phrases of the search.
  const QStringList& phraseList() const { return phraseList_; }

  // The road with generative candidates: a proposed term or phrases are used
  // only when they are on the lists and occur; otherwise the heuristics decide.
  FirstsResult firstsResult(const GenerativeAnalyzer::FirstsCandidates& candidates, const MessageList& messages,
                            RelationshipType relationshipType, const ParticipantNames& participantNames) const;
  FirstsResult firstsResult(const GenerativeAnalyzer::FirstsCandidates& candidates,
                            const PreparedConversation& conversation, RelationshipType relationshipType,
                            const ParticipantNames& participantNames) const;

  // The allowed term used in the most messages (at least 3 of them, or 10 in a
  // conversation of 1,000 messages or more); equal counts go to the earlier
  // first use, then to the earlier term of the list.
  std::optional<FirstDistinctiveTerm> firstRecurringTerm(const MessageList& messages, RelationshipType relationshipType,
                                                         const ParticipantNames& participantNames) const;
  std::optional<FirstDistinctiveTerm> firstRecurringTerm(const PreparedConversation& conversation,
                                                         RelationshipType relationshipType,
                                                         const ParticipantNames& participantNames) const;

  // The first use of each phrase of the list (other than `excluding`), the
  // earliest five, by date.
  QList<MeaningfulFirst> otherFirsts(const MessageList& messages,
                                     const std::optional<QString>& excluding = std::nullopt) const;
  QList<MeaningfulFirst> otherFirsts(const PreparedConversation& conversation,
                                     const std::optional<QString>& excluding = std::nullopt) const;

  // The type's terms without the participants' names (case ignored).
  QStringList distinctiveTerms(RelationshipType relationshipType, const ParticipantNames& participantNames) const;

  // "(a friday. 9:14 PM. 37 days in.)": the weekday ("EEEE", lower-cased)
  // and time ("h:mm a") in the locale's language, digits and day-period case,
  // and the whole days since the first message in the zone's calendar (plain
  // digits; 0 when negative or when there is none). The hosted merge writes
  // the same text for a headline first without one.
  static QString context(Date date, std::optional<Date> firstMessageDate, const QLocale& locale = QLocale(),
                         const QTimeZone& zone = QTimeZone::systemTimeZone());

 private:
  QMap<RelationshipType, QStringList> distinctiveTermsByType_;
  QStringList milestonePhrases_;
  QStringList conflictPhrases_;
  QStringList phraseList_;
};

}  // namespace murmela
