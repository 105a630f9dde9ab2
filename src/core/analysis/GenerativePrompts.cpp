#include "analysis/GenerativePrompts.h"

#include "common/UnicodeText.h"

#include <QStringList>

#include <algorithm>
#include <cstdlib>

namespace murmela::GenerativePrompts {
namespace {

constexpr qsizetype kClassificationSample = 150;
constexpr qsizetype kFirstsSample = 180;
constexpr qsizetype kSampleLineCharacters = 160;
constexpr qsizetype kArgumentLineCharacters = 180;
constexpr qsizetype kSnippetCharacters = 3600;

const char16_t* const kClassificationText =
    u"Classify a private two-person text thread. Return ONLY JSON in this exact shape:\n"
    u"{\"type\": \"romantic\" | \"closeFriend\" | \"family\" | \"casual\", \"confidence\": <0.0-1.0>}\n"
    u"\n"
    u"Use the conversation's language, terms of address, affection, logistics, and\n"
    u"emotional register. Be conservative. Do not include any other text.\n"
    u"\n"
    u"Messages:\n";

const char16_t* const kSignaturePhraseLead = u"Choose exactly one phrase from the shortlist below for this ";
const char16_t* const kSignaturePhraseText =
    u"\n"
    u"thread. Do not invent a new phrase. Prefer distinctive inside jokes, emotionally weighted\n"
    u"phrases, or language specific to these two people. Avoid generic filler.\n"
    u"\n"
    u"Return ONLY JSON in this shape:\n"
    u"{\"phrase\": \"<chosen phrase exactly>\", \"flavorLine\": \"<short parenthetical, under 8 words>\"}\n"
    u"\n"
    u"Shortlist with full-corpus counts:\n";

const char16_t* const kFirstsLead = u"Find language that matters in this ";
const char16_t* const kFirstsText =
    u".\n"
    u"\n"
    u"distinctiveTerm: a nickname, pet name, or term of address used for a person\n"
    u"(examples: babe, baby, love, darling, bestie, bro, sis), not the person's\n"
    u"actual name. Do NOT choose ordinary context words like home, emergency,\n"
    u"made it, okay, safe, work, dinner, or names.\n"
    u"meaningfulPhrases: 3-5 visible phrases that mark relationship milestones:\n"
    u"affection, compliments, longing, commitment, or conflict (examples:\n"
    u"\"miss you\", \"love you\", \"proud of you\", \"come over\", \"hate you\",\n"
    u"\"we need to talk\"). Do NOT include logistical/context phrases like\n"
    u"\"got home\", \"made it\", \"emergency\", or \"call me\".\n"
    u"\n"
    u"Return ONLY JSON in this shape:\n"
    u"{\"distinctiveTerm\": \"<term>\", \"meaningfulPhrases\": [\"...\", \"...\"]}\n"
    u"\n"
    u"Messages:\n";

const char16_t* const kArgumentText =
    u"Decide whether this narrowed text-message window contains a real argument, fight,\n"
    u"conflict, or repair conversation. Do not count routine logistics, ordinary apologies,\n"
    u"teasing, or mild scheduling friction as an argument.\n"
    u"\n"
    u"Return ONLY JSON in this shape:\n"
    u"{\"isArgument\": true|false, \"triggerTerms\": [\"...\"], \"endedByMe\": true|false}\n"
    u"\n"
    u"triggerTerms: short words/phrases from the window that explain the conflict.\n"
    u"endedByMe: true if the final settling/repair message is from \"me\".\n"
    u"\n";

const char16_t* const kCloserLead =
    u"Write one polished closing paragraph for a local text-message recap.\n"
    u"Keep it warm, specific, and under 90 words. Avoid cliches and do not mention AI.\n"
    u"Match this register: ";
const char16_t* const kCloserInstructions =
    u".\n\nReturn ONLY the paragraph as plain text — no quotes, no JSON, no preamble.\n\nContact: ";

QString text(const char16_t* literal) { return QString::fromUtf16(literal); }

QString closerRegister(RelationshipType type) {
  switch (type) {
    case RelationshipType::romantic:
      return QStringLiteral("love letter voice");
    case RelationshipType::closeFriend:
      return QStringLiteral("toast / to-us voice");
    case RelationshipType::family:
      return QStringLiteral("gratitude / family care voice");
    case RelationshipType::casual:
      return QStringLiteral("reflective look-at-what-we-built voice");
  }
  return QStringLiteral("reflective look-at-what-we-built voice");
}

QString twoDigits(qint64 value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); }

QString speaker(const Message& message) { return message.isFromMe ? QStringLiteral("me") : QStringLiteral("them"); }

// The first `characters` characters of a text with its line feeds as spaces.
QString flattenedPrefix(const QString& text, qsizetype characters) {
  QString flat = text;
  flat.replace(QLatin1Char('\n'), QLatin1Char(' '));
  return UnicodeText::graphemePrefix(flat, characters);
}

qint64 floorDivide(qint64 value, qint64 divisor) {
  const qint64 quotient = value / divisor;
  return (value % divisor != 0 && ((value < 0) != (divisor < 0))) ? quotient - 1 : quotient;
}

}  // namespace

QString promptDate(Date date, const LocalCalendar& calendar) {
  const qint64 offset = calendar.offsetFromUtc(date);
  // Whole seconds of local wall-clock time, floored like the millisecond form.
  const qint64 wall = floorDivide(date.toUnixMilliseconds(), 1000) + offset;
  const qint64 day = floorDivide(wall, 86400);
  const qint64 second = wall - day * 86400;
  const QDate local = QDate::fromJulianDay(2440588 + day);

  QString result = QStringLiteral("%1-%2-%3T%4:%5:%6")
                       .arg(local.year(), 4, 10, QLatin1Char('0'))
                       .arg(twoDigits(local.month()), twoDigits(local.day()), twoDigits(second / 3600),
                            twoDigits(second / 60 % 60), twoDigits(second % 60));
  if (offset == 0) return result + QLatin1Char('Z');
  const qint64 magnitude = std::abs(offset);
  result += QLatin1Char(offset < 0 ? '-' : '+') + twoDigits(magnitude / 3600) + QLatin1Char(':') +
            twoDigits(magnitude / 60 % 60);
  if (magnitude % 60 != 0) result += QLatin1Char(':') + twoDigits(magnitude % 60);
  return result;
}

QString promptDate(Date date) { return promptDate(date, LocalCalendar()); }

MessageList weightedRecentSample(const MessageList& messages, qsizetype limit) {
  const qsizetype n = messages.size();
  if (n <= limit) return messages;
  const qsizetype recent = std::min(n, (2 * limit) / 3);
  const qsizetype older = n - recent;
  const qsizetype budget = limit - recent;
  const qsizetype stride = std::max<qsizetype>(older / std::max<qsizetype>(budget, 1), 1);
  MessageList sample;
  sample.reserve(std::max<qsizetype>(budget, 0) + recent);
  for (qsizetype at = 0; at < older && sample.size() < std::max<qsizetype>(budget, 0); at += stride)
    sample.append(messages[at]);
  for (qsizetype at = older; at < n; ++at) sample.append(messages[at]);
  return sample;
}

QString sampleSnippet(const MessageList& messages, qsizetype limit) {
  QStringList lines;
  for (const Message& message : weightedRecentSample(messages, limit))
    lines.append(speaker(message) + QStringLiteral(": ") + flattenedPrefix(message.text, kSampleLineCharacters));
  return UnicodeText::graphemePrefix(lines.join(QLatin1Char('\n')), kSnippetCharacters);
}

QString argumentSnippet(const GenerativeAnalyzer::ArgumentCandidate& candidate) {
  const LocalCalendar calendar;
  QStringList lines;
  for (const Message& message : candidate.messages)
    lines.append(promptDate(message.date, calendar) + QLatin1Char(' ') + speaker(message) + QStringLiteral(": ") +
                 flattenedPrefix(message.text, kArgumentLineCharacters));
  return QStringLiteral("Date: ") + promptDate(candidate.date, calendar) +
         QStringLiteral("\nMessage count that day: ") + QString::number(candidate.fallbackEvent.messageCount) +
         QStringLiteral("\nCandidate messages:\n") +
         UnicodeText::graphemePrefix(lines.join(QLatin1Char('\n')), kSnippetCharacters);
}

QString classificationPrompt(const MessageList& messages) {
  return text(kClassificationText) + sampleSnippet(messages, kClassificationSample);
}

QString signaturePhrasePrompt(const QList<GenerativeAnalyzer::SignaturePhraseOption>& options,
                              RelationshipType relationshipType) {
  QStringList shortlist;
  for (qsizetype i = 0; i < options.size(); ++i)
    shortlist.append(QString::number(i + 1) + QStringLiteral(". ") + options[i].phrase + QStringLiteral(" — ") +
                     QString::number(options[i].count) + QLatin1Char('x'));
  return text(kSignaturePhraseLead) + rawValue(relationshipType) + text(kSignaturePhraseText) +
         shortlist.join(QLatin1Char('\n'));
}

QString firstsPrompt(const MessageList& messages, RelationshipType relationshipType,
                     const ParticipantNames& participantNames) {
  return text(kFirstsLead) + rawValue(relationshipType) + QStringLiteral(" thread between\n") + participantNames.me +
         QStringLiteral(" and ") + participantNames.them + text(kFirstsText) + sampleSnippet(messages, kFirstsSample);
}

QString argumentPrompt(const GenerativeAnalyzer::ArgumentCandidate& candidate) {
  return text(kArgumentText) + argumentSnippet(candidate);
}

QString closerPrompt(const QString& contactName, RelationshipType relationshipType, qint64 totalMessages,
                     Date firstDate, Date lastDate, qint64 longestStreakDays) {
  const LocalCalendar calendar;
  return text(kCloserLead) + closerRegister(relationshipType) + text(kCloserInstructions) + contactName +
         QStringLiteral("\nRelationship type: ") + rawValue(relationshipType) + QStringLiteral("\nTotal messages: ") +
         QString::number(totalMessages) + QStringLiteral("\nFirst message: ") + promptDate(firstDate, calendar) +
         QStringLiteral("\nLast message: ") + promptDate(lastDate, calendar) + QStringLiteral("\nLongest streak: ") +
         QString::number(longestStreakDays) + QStringLiteral(" days");
}

}  // namespace murmela::GenerativePrompts
