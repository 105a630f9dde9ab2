#pragma once

#include "common/Date.h"
#include "data/RelationshipType.h"

#include <QHashFunctions>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

namespace murmela {

// The finished analysis of one conversation and its part records. Plain data:
// nothing is derived from anything else, and a changed report is a new value.
// `me` fields hold the user's value, `them` fields the other participant's.

struct ParticipantNames {
  QString me;
  QString them;
};

struct CountedString {
  QString value;
  qint64 count = 0;
  friend bool operator==(const CountedString&, const CountedString&) = default;
};

struct PhraseStat {
  QString phrase;
  qint64 count = 0;
  friend bool operator==(const PhraseStat&, const PhraseStat&) = default;
};

inline size_t qHash(const CountedString& value, size_t seed = 0) { return qHashMulti(seed, value.value, value.count); }
inline size_t qHash(const PhraseStat& value, size_t seed = 0) { return qHashMulti(seed, value.phrase, value.count); }

struct PersonIntBreakdown {
  qint64 me = 0;
  qint64 them = 0;
};

struct PersonDoubleBreakdown {
  double me = 0.0;
  double them = 0.0;
};

struct PersonPhraseBreakdown {
  QList<PhraseStat> me;
  QList<PhraseStat> them;
};

struct SignaturePhrase {
  QString phrase;
  qint64 count = 0;
  QString flavorLine;
};

struct FirstDistinctiveTerm {
  QString term;
  Date date;
  QString context;
};

struct MeaningfulFirst {
  QString phrase;
  Date date;
};

struct YearlyResponseTime {
  qint64 year = 0;
  double me = 0.0;  // median reply time in seconds; 0 without a counted reply
  double them = 0.0;
};

struct ReplyGap {
  bool responderWasMe = false;
  double interval = 0.0;  // seconds
  Date previousMessageDate;
  Date replyDate;
};

struct StreakPeriod {
  qint64 days = 0;
  Date endDate;
};

struct SilencePeriod {
  qint64 days = 0;
  Date startDate;
};

struct MonthlySentiment {
  Date month;  // first moment of the calendar month
  double score = 0.0;
};

struct ArgumentEvent {
  Date date;
  qint64 messageCount = 0;
  bool lastSenderWasMe = false;
  QStringList triggerTerms;
  bool endedByMe = false;
};

// Generated sentences of the hosted analysis; a blank one counts as missing.
struct ReportInsightCopy {
  QString heatmapPeakInsight;
  QString yearShapeInsight;
  QString wordDebutResponseInsight;
  QString argumentInsight;
  QString positiveSentimentPeakInsight;
  QString responseTimeShiftInsight;
};

struct WrappedReport {
  ParticipantNames participantNames;
  RelationshipType relationshipType = RelationshipType::casual;
  double relationshipConfidence = 0.0;
  qint64 totalMessages = 0;
  qint64 totalDays = 0;
  qint64 activeDays = 0;
  Date firstMessageDate;
  Date lastMessageDate;
  QMap<qint64, qint64> messagesByYear;  // year -> messages; no entry for empty years
  QList<QList<qint64>> messagesByHourByDayOfWeek;  // 7 rows (Sunday first) x 24 hours
  QList<CountedString> topEmojis;
  qint64 totalEmojiCount = 0;
  std::optional<SignaturePhrase> signaturePhrase;
  PersonIntBreakdown messagesPerPerson;
  qint64 photosShared = 0;
  PersonPhraseBreakdown topPhrasesPerPerson;
  PersonPhraseBreakdown dialectTermsPerPerson;
  std::optional<FirstDistinctiveTerm> firstDistinctiveTerm;
  QList<MeaningfulFirst> otherFirsts;
  PersonIntBreakdown apologyCount;
  PersonDoubleBreakdown initiationRate;
  PersonIntBreakdown initiationCount;
  QList<YearlyResponseTime> responseTimeByYear;
  std::optional<ReplyGap> longestReplyGap;
  StreakPeriod longestStreak;
  SilencePeriod longestSilence;
  QList<MonthlySentiment> sentimentByMonth;
  QList<ArgumentEvent> argumentEvents;
  std::optional<ReportInsightCopy> insightCopy;
  QString closerParagraph;
};

}  // namespace murmela
