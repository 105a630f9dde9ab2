#include "analysis/GenerativeAnalyzer.h"

#include "analysis/GenerativePrompts.h"
#include "analysis/IntelligenceJson.h"
#include "analysis/IntelligenceRuntime.h"
#include "common/AnalysisLogger.h"
#include "common/FixedDecimal.h"
#include "json/JsonCodec.h"
#include "common/UnicodeText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <algorithm>
#include <cmath>
#include <exception>

namespace murmela::GenerativeAnalyzer {
namespace {

constexpr qsizetype kRawReplyCharacters = 120;
constexpr qsizetype kTriggerTermLimit = 5;
constexpr double kDefaultConfidence = 0.6;

// The log texts of one step.
struct StepTexts {
  QString prefix;      // "Generative classifier"
  QString noProvider;  // what follows the prefix when the slot is empty
};

const StepTexts kClassifier{QStringLiteral("Generative classifier"), QStringLiteral(": no provider; using heuristics")};
const StepTexts kSignature{QStringLiteral("Generative signature phrase"),
                           QStringLiteral(": no provider; using heuristics")};
const StepTexts kFirsts{QStringLiteral("Generative firsts analyzer"),
                        QStringLiteral(": no provider; using heuristics")};
const StepTexts kArguments{QStringLiteral("Generative argument analyzer"),
                           QStringLiteral(": no provider; using heuristics")};
const StepTexts kCloser{QStringLiteral("Generative closer"), QStringLiteral(": no provider; using heuristic closer")};

void log(const QString& line) { AnalysisLogger::log(line); }

// Every step starts here: the slot's provider, or the no-provider line and nothing.
std::shared_ptr<IntelligenceProvider> providerFor(const StepTexts& step) {
  std::shared_ptr<IntelligenceProvider> provider = IntelligenceRuntime::provider();
  if (!provider) log(step.prefix + step.noProvider);
  return provider;
}

// The provider's reply, or the failure line and nothing. `failedLine` turns an
// error description into the step's failure line.
template <typename FailedLine>
std::optional<QString> generate(IntelligenceProvider& provider, const QString& prompt, qint64 tokenLimit,
                                FailedLine failedLine) {
  try {
    return provider.generate(prompt, tokenLimit);
  } catch (const std::exception& error) {
    log(failedLine(describeProviderError(error)));
  } catch (...) {
    log(failedLine(QStringLiteral("unknown error")));
  }
  return std::nullopt;
}

// The outcome of reading a JSON reply.
struct ParsedReply {
  enum class Kind { object, unreadable, failed } kind = Kind::unreadable;
  QJsonObject object;
  QString errorDescription;  // for `failed`
};

// The first object of the reply, parsed. An empty object counts as unreadable
// unless `acceptEmpty`.
ParsedReply parseReply(const QString& reply, bool acceptEmpty) {
  ParsedReply parsed;
  const std::optional<QByteArray> bytes = IntelligenceJson::extractFirstObject(reply);
  if (!bytes) return parsed;
  QJsonParseError error{};
  const QJsonDocument document = Json::parseDocument(*bytes, &error);
  if (error.error != QJsonParseError::NoError) {
    parsed.kind = ParsedReply::Kind::failed;
    parsed.errorDescription = error.errorString();
    return parsed;
  }
  if (!document.isObject()) return parsed;
  parsed.object = document.object();
  if (parsed.object.isEmpty() && !acceptEmpty) return parsed;
  parsed.kind = ParsedReply::Kind::object;
  return parsed;
}

QString cleaned(const QString& text) { return text.trimmed(); }
QString cleanedLower(const QString& text) { return text.trimmed().toLower(); }

// An array of strings, trimmed and lower-cased, empties dropped; an array that
// holds anything but strings, or a value of another type, gives none.
QStringList cleanedStrings(const QJsonValue& value) {
  QStringList result;
  if (!value.isArray()) return result;
  const QJsonArray array = value.toArray();
  for (const QJsonValue& entry : array)
    if (!entry.isString()) return {};
  for (const QJsonValue& entry : array) {
    const QString text = cleanedLower(entry.toString());
    if (!text.isEmpty()) result.append(text);
  }
  return result;
}

QString couldNotParseWithReply(const StepTexts& step, const QString& reply) {
  return step.prefix + QStringLiteral(": could not parse — raw=") +
         UnicodeText::graphemePrefix(reply, kRawReplyCharacters);
}

QString failedLine(const StepTexts& step, const QString& description) {
  return step.prefix + QStringLiteral(": failed (") + description + QLatin1Char(')');
}

// Asks, cuts out and parses the object and checks its required key, for the
// steps that log the raw reply when it is unreadable.
template <typename IsReadable>
std::optional<QJsonObject> askForObject(IntelligenceProvider& provider, const StepTexts& step, const QString& prompt,
                                        qint64 tokenLimit, bool acceptEmpty, IsReadable isReadable) {
  const std::optional<QString> reply =
      generate(provider, prompt, tokenLimit, [&](const QString& description) { return failedLine(step, description); });
  if (!reply) return std::nullopt;
  ParsedReply parsed = parseReply(*reply, acceptEmpty);
  if (parsed.kind == ParsedReply::Kind::failed) {
    log(failedLine(step, parsed.errorDescription));
    return std::nullopt;
  }
  if (parsed.kind == ParsedReply::Kind::unreadable || !isReadable(parsed.object)) {
    log(couldNotParseWithReply(step, *reply));
    return std::nullopt;
  }
  return std::move(parsed.object);
}

QString displayName(RelationshipType type) {
  switch (type) {
    case RelationshipType::romantic:
      return QStringLiteral("Romantic");
    case RelationshipType::closeFriend:
      return QStringLiteral("Close friends");
    case RelationshipType::family:
      return QStringLiteral("Family");
    case RelationshipType::casual:
      return QStringLiteral("Casual");
  }
  return QStringLiteral("Casual");
}

// One judged argument candidate: the accepted event, or nothing.
std::optional<ArgumentEvent> judge(IntelligenceProvider& provider, const ArgumentCandidate& candidate) {
  const QString day = GenerativePrompts::promptDate(candidate.date);
  const QString prefix = kArguments.prefix;
  log(prefix + QStringLiteral(" (") + provider.name() + QStringLiteral("): judging ") + day);
  const auto failed = [&](const QString& description) {
    return prefix + QStringLiteral(": failed ") + day + QStringLiteral(" (") + description + QLatin1Char(')');
  };
  const std::optional<QString> reply =
      generate(provider, GenerativePrompts::argumentPrompt(candidate), kArgumentTokenLimit, failed);
  if (!reply) return std::nullopt;

  const ParsedReply parsed = parseReply(*reply, false);
  if (parsed.kind == ParsedReply::Kind::failed) {
    log(failed(parsed.errorDescription));
    return std::nullopt;
  }
  const QJsonValue isArgument = parsed.object.value(QStringLiteral("isArgument"));
  if (parsed.kind == ParsedReply::Kind::unreadable || !isArgument.isBool()) {
    log(prefix + QStringLiteral(": could not parse ") + day);
    return std::nullopt;
  }
  if (!isArgument.toBool()) {
    log(prefix + QStringLiteral(": rejected ") + day);
    return std::nullopt;
  }

  const ArgumentEvent& fallback = candidate.fallbackEvent;
  QStringList triggerTerms = cleanedStrings(parsed.object.value(QStringLiteral("triggerTerms")));
  if (triggerTerms.isEmpty()) triggerTerms = fallback.triggerTerms;
  if (triggerTerms.size() > kTriggerTermLimit) triggerTerms.resize(kTriggerTermLimit);
  const QJsonValue endedByMe = parsed.object.value(QStringLiteral("endedByMe"));
  return ArgumentEvent{fallback.date, fallback.messageCount, fallback.lastSenderWasMe, triggerTerms,
                       endedByMe.isBool() ? endedByMe.toBool() : fallback.lastSenderWasMe};
}

}  // namespace

std::optional<RelationshipClassification> classifyRelationship(const MessageList& messages) {
  const std::shared_ptr<IntelligenceProvider> provider = providerFor(kClassifier);
  if (!provider) return std::nullopt;
  log(kClassifier.prefix + QStringLiteral(" (") + provider->name() + QStringLiteral("): starting"));

  const auto typeOf = [](const QJsonObject& object) -> std::optional<RelationshipType> {
    const QJsonValue value = object.value(QStringLiteral("type"));
    if (!value.isString()) return std::nullopt;
    return relationshipTypeFromRawValue(cleaned(value.toString()));
  };
  const std::optional<QJsonObject> object =
      askForObject(*provider, kClassifier, GenerativePrompts::classificationPrompt(messages), kClassificationTokenLimit,
                   false, [&](const QJsonObject& reply) { return typeOf(reply).has_value(); });
  if (!object) return std::nullopt;
  const RelationshipType type = *typeOf(*object);
  const QJsonValue confidenceValue = object->value(QStringLiteral("confidence"));
  double confidence = confidenceValue.isDouble() ? confidenceValue.toDouble() : kDefaultConfidence;
  confidence = std::isnan(confidence) ? 0.0 : std::clamp(confidence, 0.0, 1.0);
  log(kClassifier.prefix + QStringLiteral(": success type=") + rawValue(type) + QStringLiteral(" confidence=") +
      fixedDecimal(confidence, 2));
  return RelationshipClassification{type, confidence};
}

std::optional<SignaturePhraseCandidate> signaturePhraseCandidate(const QList<SignaturePhraseOption>& options,
                                                                 RelationshipType relationshipType) {
  const std::shared_ptr<IntelligenceProvider> provider = providerFor(kSignature);
  if (!provider || options.isEmpty()) return std::nullopt;
  log(kSignature.prefix + QStringLiteral(" (") + provider->name() + QStringLiteral("): ") +
      QString::number(options.size()) + QStringLiteral(" options"));

  const std::optional<QJsonObject> object =
      askForObject(*provider, kSignature, GenerativePrompts::signaturePhrasePrompt(options, relationshipType),
                   kSignaturePhraseTokenLimit, false,
                   [](const QJsonObject& reply) { return reply.value(QStringLiteral("phrase")).isString(); });
  if (!object) return std::nullopt;
  const QString phrase = cleanedLower(object->value(QStringLiteral("phrase")).toString());
  if (phrase.isEmpty()) return std::nullopt;
  const QJsonValue flavorValue = object->value(QStringLiteral("flavorLine"));
  QString flavorLine = flavorValue.isString() ? cleaned(flavorValue.toString()) : QString();
  log(kSignature.prefix + QStringLiteral(": success phrase='") + phrase + QLatin1Char('\''));
  if (flavorLine.isEmpty())
    flavorLine = QLatin1Char('(') + displayName(relationshipType).toLower() + QStringLiteral(" shorthand)");
  return SignaturePhraseCandidate{phrase, flavorLine};
}

std::optional<FirstsCandidates> firstsCandidates(const MessageList& messages, RelationshipType relationshipType,
                                                 const ParticipantNames& participantNames) {
  const std::shared_ptr<IntelligenceProvider> provider = providerFor(kFirsts);
  if (!provider) return std::nullopt;
  log(kFirsts.prefix + QStringLiteral(" (") + provider->name() + QStringLiteral("): starting"));

  const std::optional<QJsonObject> object =
      askForObject(*provider, kFirsts, GenerativePrompts::firstsPrompt(messages, relationshipType, participantNames),
                   kFirstsTokenLimit, true, [](const QJsonObject&) { return true; });
  if (!object) return std::nullopt;
  const QJsonValue termValue = object->value(QStringLiteral("distinctiveTerm"));
  FirstsCandidates candidates{termValue.isString() ? cleanedLower(termValue.toString()) : QString(),
                              cleanedStrings(object->value(QStringLiteral("meaningfulPhrases")))};
  if (candidates.distinctiveTerm.isEmpty() && candidates.meaningfulPhrases.isEmpty()) {
    log(kFirsts.prefix + QStringLiteral(": empty result"));
    return std::nullopt;
  }
  log(kFirsts.prefix + QStringLiteral(": success term='") + candidates.distinctiveTerm + QStringLiteral("' phrases=") +
      QString::number(candidates.meaningfulPhrases.size()));
  return candidates;
}

QList<ArgumentEvent> argumentEvents(const QList<ArgumentCandidate>& candidates) {
  const std::shared_ptr<IntelligenceProvider> provider = providerFor(kArguments);
  QList<ArgumentEvent> accepted;
  if (!provider) return accepted;
  const qsizetype judged = std::min(candidates.size(), kJudgedArgumentLimit);
  for (qsizetype i = 0; i < judged; ++i)
    if (std::optional<ArgumentEvent> event = judge(*provider, candidates[i])) accepted.append(std::move(*event));
  return accepted;
}

std::optional<QString> closerParagraph(const QString& contactName, RelationshipType relationshipType,
                                       qint64 totalMessages, Date firstDate, Date lastDate, qint64 longestStreakDays) {
  const std::shared_ptr<IntelligenceProvider> provider = providerFor(kCloser);
  if (!provider) return std::nullopt;
  log(kCloser.prefix + QStringLiteral(" (") + provider->name() + QStringLiteral("): starting"));

  const QString prompt = GenerativePrompts::closerPrompt(contactName, relationshipType, totalMessages, firstDate,
                                                         lastDate, longestStreakDays);
  const std::optional<QString> reply = generate(*provider, prompt, kCloserTokenLimit, [](const QString& description) {
    return failedLine(kCloser, description);
  });
  if (!reply) return std::nullopt;
  QString paragraph = reply->trimmed();
  qsizetype start = 0;
  qsizetype end = paragraph.size();
  while (start < end && paragraph[start] == QLatin1Char('"')) ++start;
  while (end > start && paragraph[end - 1] == QLatin1Char('"')) --end;
  paragraph = paragraph.mid(start, end - start);
  if (paragraph.isEmpty()) {
    log(kCloser.prefix + QStringLiteral(": empty response"));
    return std::nullopt;
  }
  log(kCloser.prefix + QStringLiteral(": success"));
  return paragraph;
}

}  // namespace murmela::GenerativeAnalyzer
