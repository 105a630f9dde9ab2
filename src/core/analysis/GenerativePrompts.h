#pragma once

#include "analysis/GenerativeAnalyzer.h"
#include "common/LocalCalendar.h"

#include <QString>

namespace murmela::GenerativePrompts {

// The date form of prompts and log lines: "2024-03-09T21:14:05-05:00" in the
// process's time zone, whole seconds (floored), the offset as ±HH:MM ("Z" at
// zero, ±HH:MM:SS for an offset with seconds).
QString promptDate(Date date, const LocalCalendar& calendar);
QString promptDate(Date date);

// At most `limit` messages in conversation order: the last (2 x limit) / 3,
// preceded by up to the rest of the limit spread evenly over the older ones.
MessageList weightedRecentSample(const MessageList& messages, qsizetype limit);

// The sample as "me: ..." / "them: ..." lines (each text's first 160
// characters, line feeds as spaces), cut to its first 3,600 characters.
QString sampleSnippet(const MessageList& messages, qsizetype limit);

// The day, its message count and its dated window lines (first 3,600
// characters of them).
QString argumentSnippet(const GenerativeAnalyzer::ArgumentCandidate& candidate);

// The complete prompts of the five steps.
QString classificationPrompt(const MessageList& messages);
QString signaturePhrasePrompt(const QList<GenerativeAnalyzer::SignaturePhraseOption>& options,
                              RelationshipType relationshipType);
QString firstsPrompt(const MessageList& messages, RelationshipType relationshipType,
                     const ParticipantNames& participantNames);
QString argumentPrompt(const GenerativeAnalyzer::ArgumentCandidate& candidate);
QString closerPrompt(const QString& contactName, RelationshipType relationshipType, qint64 totalMessages,
                     Date firstDate, Date lastDate, qint64 longestStreakDays);

}  // namespace murmela::GenerativePrompts
