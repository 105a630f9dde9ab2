#pragma once

#include "analysis/RelationshipClassification.h"
#include "common/Date.h"
#include "data/Message.h"
#include "data/RelationshipType.h"
#include "data/WrappedReport.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace murmela {

// The bridge between the on-device analyzers and the configured
// text-generation provider (IntelligenceRuntime). Each step reads the slot,
// builds a prompt from a small sample of the conversation, asks the provider
// (synchronously, on the caller's thread), parses and cleans the reply and logs
// what happened. A step never throws: no provider, a provider error or an
// unreadable reply all give no answer (an empty list for the argument step),
// and the caller's heuristic decides.
namespace GenerativeAnalyzer {

// One shortlist entry of the signature-phrase analyzer, with its count over
// the whole conversation.
struct SignaturePhraseOption {
  QString phrase;
  qint64 count = 0;
};

// The provider's pick: the phrase trimmed and lower-cased, and a short
// parenthetical (never empty).
struct SignaturePhraseCandidate {
  QString phrase;
  QString flavorLine;
};

// The provider's proposal of firsts: a term (trimmed, lower-cased, may be
// empty) and phrases (trimmed, lower-cased, none empty, order and duplicates kept).
struct FirstsCandidates {
  QString distinctiveTerm;
  QStringList meaningfulPhrases;
};

// One candidate argument day: its start, the narrowed window of its messages
// and the heuristic event for it.
struct ArgumentCandidate {
  Date date;
  MessageList messages;
  ArgumentEvent fallbackEvent;
};

inline constexpr qint64 kClassificationTokenLimit = 256;
inline constexpr qint64 kSignaturePhraseTokenLimit = 256;
inline constexpr qint64 kFirstsTokenLimit = 384;
inline constexpr qint64 kArgumentTokenLimit = 320;
inline constexpr qint64 kCloserTokenLimit = 320;
inline constexpr qsizetype kJudgedArgumentLimit = 8;

std::optional<RelationshipClassification> classifyRelationship(const MessageList& messages);

// Does not check that the pick is on the shortlist; the caller does.
std::optional<SignaturePhraseCandidate> signaturePhraseCandidate(const QList<SignaturePhraseOption>& options,
                                                                 RelationshipType relationshipType);

std::optional<FirstsCandidates> firstsCandidates(const MessageList& messages, RelationshipType relationshipType,
                                                 const ParticipantNames& participantNames);

// Judges the first kJudgedArgumentLimit candidates one after another; the
// accepted ones come back in candidate order.
QList<ArgumentEvent> argumentEvents(const QList<ArgumentCandidate>& candidates);

std::optional<QString> closerParagraph(const QString& contactName, RelationshipType relationshipType,
                                       qint64 totalMessages, Date firstDate, Date lastDate, qint64 longestStreakDays);

}  // namespace GenerativeAnalyzer
}  // namespace murmela
