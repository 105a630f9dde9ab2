#include "analysis/FirstsAnalyzer.h"

#include "analysis/PreparedText.h"
#include "common/LocaleFormat.h"

#include <algorithm>
#include <vector>

namespace murmela {
namespace {

std::optional<Date> firstDateOf(const MessageList& messages) {
  if (messages.isEmpty()) return std::nullopt;
  return messages.constFirst().date;
}

// The date of the first message matching the term, or nothing.
std::optional<Date> firstOccurrence(const QString& term, const PreparedConversation& conversation) {
  const TermMatcher matcher(term);
  for (qsizetype at = 0; at < conversation.size(); ++at)
    if (matcher.containedIn(conversation.text(at))) return conversation.message(at).date;
  return std::nullopt;
}

}  // namespace

FirstsAnalyzer::FirstsAnalyzer()
    : distinctiveTermsByType_{
          {RelationshipType::romantic,
           {"babe", "baby", "bb", "honey", "hon", "sweetheart", "darling", "love", "my love", "boo", "dear"}},
          {RelationshipType::closeFriend, {"bestie", "bro", "dude", "girl", "queen", "roomie", "buddy", "fam"}},
          {RelationshipType::family, {"mom", "dad", "mama", "papa", "sis", "bro", "kiddo", "buddy"}},
          {RelationshipType::casual, {"friend", "neighbor", "boss", "coach", "buddy"}},
      },
      milestonePhrases_{"i love you",
                        "love you",
                        "ily",
                        "miss you",
                        "miss u",
                        "i miss you",
                        "proud of you",
                        "so proud of you",
                        "you get me",
                        "you know me",
                        "thinking of you",
                        "be safe",
                        "come over",
                        "need you",
                        "want you",
                        "obsessed with you",
                        "you look good",
                        "you looked good",
                        "you are cute",
                        "you're cute",
                        "you are beautiful",
                        "you're beautiful",
                        "you are hot",
                        "you're hot",
                        "you are amazing",
                        "you're amazing",
                        "you are the best",
                        "you're the best",
                        "my favorite",
                        "favorite person"},
      conflictPhrases_{"hate you", "i hate you", "fuck you",  "leave me alone", "not okay",       "you hurt me",
                       "i'm hurt", "im hurt",    "i am hurt", "i'm upset",      "im upset",       "i am upset",
                       "you lied", "you ignored me", "i'm done", "im done",     "we need to talk"} {
  phraseList_ = milestonePhrases_ + conflictPhrases_;
}

QStringList FirstsAnalyzer::distinctiveTerms(RelationshipType relationshipType,
                                             const ParticipantNames& participantNames) const {
  const QString me = participantNames.me.toLower();
  const QString them = participantNames.them.toLower();
  QStringList terms;
  for (const QString& term : distinctiveTermsByType_.value(relationshipType)) {
    const QString lowered = term.toLower();
    if (lowered != me && lowered != them) terms.append(term);
  }
  return terms;
}

QString FirstsAnalyzer::context(Date date, std::optional<Date> firstMessageDate, const QLocale& locale,
                                const QTimeZone& zone) {
  const QString weekday = LocaleFormat::formatDate(date, QStringLiteral("EEEE"), locale, zone).toLower();
  const QString time = LocaleFormat::formatDate(date, QStringLiteral("h:mm a"), locale, zone);
  const qint64 days =
      firstMessageDate ? std::max<qint64>(LocaleFormat::wholeDaysBetween(*firstMessageDate, date, zone), 0) : 0;
  return QStringLiteral("(a ") + weekday + QStringLiteral(". ") + time + QStringLiteral(". ") + QString::number(days) +
         QStringLiteral(" days in.)");
}

std::optional<FirstDistinctiveTerm> FirstsAnalyzer::firstRecurringTerm(const MessageList& messages,
                                                                       RelationshipType relationshipType,
                                                                       const ParticipantNames& participantNames) const {
  return firstRecurringTerm(PreparedConversation(messages), relationshipType, participantNames);
}

std::optional<FirstDistinctiveTerm> FirstsAnalyzer::firstRecurringTerm(const PreparedConversation& conversation,
                                                                       RelationshipType relationshipType,
                                                                       const ParticipantNames& participantNames) const {
  const MessageList& messages = conversation.messages();
  const QStringList terms = distinctiveTerms(relationshipType, participantNames);
  if (terms.isEmpty()) return std::nullopt;
  const qint64 minimum = messages.size() < kLongConversation ? 3 : 10;

  struct Tally {
    qint64 count = 0;
    Date first;
  };
  const std::vector<TermMatcher> matchers = makeTermMatchers(terms);
  std::vector<Tally> tallies(matchers.size());
  for (qsizetype at = 0; at < conversation.size(); ++at) {
    const PreparedText& text = conversation.text(at);
    for (size_t i = 0; i < matchers.size(); ++i) {
      if (!matchers[i].containedIn(text)) continue;
      if (tallies[i].count++ == 0) tallies[i].first = messages[at].date;
    }
  }

  std::optional<size_t> best;
  for (size_t i = 0; i < tallies.size(); ++i) {
    if (tallies[i].count < minimum) continue;
    // Scanning in list order keeps the earlier term on a full tie.
    if (!best || tallies[i].count > tallies[*best].count ||
        (tallies[i].count == tallies[*best].count && tallies[i].first < tallies[*best].first))
      best = i;
  }
  if (!best) return std::nullopt;
  const Date first = tallies[*best].first;
  return FirstDistinctiveTerm{terms[static_cast<qsizetype>(*best)], first, context(first, firstDateOf(messages))};
}

QList<MeaningfulFirst> FirstsAnalyzer::otherFirsts(const MessageList& messages,
                                                   const std::optional<QString>& excluding) const {
  return otherFirsts(PreparedConversation(messages), excluding);
}

QList<MeaningfulFirst> FirstsAnalyzer::otherFirsts(const PreparedConversation& conversation,
                                                   const std::optional<QString>& excluding) const {
  const std::vector<TermMatcher> matchers = makeTermMatchers(phraseList_);
  // The phrases still searched for, in list order.
  std::vector<size_t> open;
  const QString excluded = excluding ? excluding->toLower() : QString();
  for (size_t i = 0; i < matchers.size(); ++i)
    if (!excluding || phraseList_[static_cast<qsizetype>(i)] != excluded) open.push_back(i);

  QList<MeaningfulFirst> found;
  for (qsizetype at = 0; at < conversation.size() && !open.empty(); ++at) {
    const PreparedText& text = conversation.text(at);
    std::erase_if(open, [&](size_t i) {
      if (!matchers[i].containedIn(text)) return false;
      found.append(MeaningfulFirst{phraseList_[static_cast<qsizetype>(i)], conversation.message(at).date});
      return true;
    });
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const MeaningfulFirst& a, const MeaningfulFirst& b) { return a.date < b.date; });
  if (found.size() > kOtherFirstsLimit) found.resize(kOtherFirstsLimit);
  return found;
}

FirstsResult FirstsAnalyzer::firstsResult(const GenerativeAnalyzer::FirstsCandidates& candidates,
                                          const MessageList& messages, RelationshipType relationshipType,
                                          const ParticipantNames& participantNames) const {
  return firstsResult(candidates, PreparedConversation(messages), relationshipType, participantNames);
}

FirstsResult FirstsAnalyzer::firstsResult(const GenerativeAnalyzer::FirstsCandidates& candidates,
                                          const PreparedConversation& conversation, RelationshipType relationshipType,
                                          const ParticipantNames& participantNames) const {
  const MessageList& messages = conversation.messages();
  FirstsResult result;
  const QString term = candidates.distinctiveTerm.trimmed().toLower();
  if (distinctiveTerms(relationshipType, participantNames).contains(term)) {
    if (const std::optional<Date> first = firstOccurrence(term, conversation))
      result.firstDistinctiveTerm = FirstDistinctiveTerm{term, *first, context(*first, firstDateOf(messages))};
  }
  if (!result.firstDistinctiveTerm)
    result.firstDistinctiveTerm = firstRecurringTerm(conversation, relationshipType, participantNames);
  const std::optional<QString> chosen =
      result.firstDistinctiveTerm ? std::optional<QString>(result.firstDistinctiveTerm->term) : std::nullopt;

  QList<MeaningfulFirst> accepted;
  QStringList seen;
  for (const QString& proposed : candidates.meaningfulPhrases) {
    const QString phrase = proposed.trimmed().toLower();
    if (!phraseList_.contains(phrase) || seen.contains(phrase) || (chosen && phrase == *chosen)) continue;
    const std::optional<Date> first = firstOccurrence(phrase, conversation);
    if (!first) continue;
    seen.append(phrase);
    accepted.append(MeaningfulFirst{phrase, *first});
  }
  if (accepted.size() < kMinimumGenerativePhrases) {
    result.otherFirsts = otherFirsts(conversation, chosen);
  } else {
    std::stable_sort(accepted.begin(), accepted.end(),
                     [](const MeaningfulFirst& a, const MeaningfulFirst& b) { return a.date < b.date; });
    if (accepted.size() > kOtherFirstsLimit) accepted.resize(kOtherFirstsLimit);
    result.otherFirsts = accepted;
  }
  return result;
}

}  // namespace murmela
