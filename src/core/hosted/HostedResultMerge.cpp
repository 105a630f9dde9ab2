#include "hosted/HostedResultMerge.h"

#include "analysis/FirstsAnalyzer.h"
#include "hosted/HostedChatMessage.h"

#include <algorithm>
#include <cmath>

namespace murmela {
namespace {

using Object = JSONValue::Object;

const QString kDefaultFlavorLine = QStringLiteral("a recurring bit of private language");
const QString kDefaultConflictTitle = QStringLiteral("conflict");

std::optional<QString> stringAt(const Object& object, const QString& key) {
  const auto it = object.constFind(key);
  return it == object.cend() ? std::nullopt : it->stringValue();
}

// A string that is not blank after trimming, as received.
std::optional<QString> nonBlankStringAt(const Object& object, const QString& key) {
  std::optional<QString> value = stringAt(object, key);
  if (!value || value->trimmed().isEmpty()) return std::nullopt;
  return value;
}

std::optional<Date> timestampAt(const Object& object, const QString& key) {
  const std::optional<QString> text = stringAt(object, key);
  return text ? HostedAnalysisTimestamp::parse(*text) : std::nullopt;
}

// A message index: a finite number within the 64-bit range, its fraction
// dropped toward zero. Anything else counts as absent.
std::optional<qint64> indexAt(const Object& object, const QString& key) {
  const auto it = object.constFind(key);
  if (it == object.cend()) return std::nullopt;
  const std::optional<double> value = it->numberValue();
  if (!value || !std::isfinite(*value)) return std::nullopt;
  const double truncated = std::trunc(*value);
  // [-2^63, 2^63): exactly representable bounds of qint64.
  if (truncated < -9223372036854775808.0 || truncated >= 9223372036854775808.0) return std::nullopt;
  return static_cast<qint64>(truncated);
}

std::optional<SignaturePhrase> hostedSignaturePhrase(const WrappedReport& report, const JSONValue* value) {
  const Object* object = value ? value->objectValue() : nullptr;
  if (!object) return std::nullopt;
  const std::optional<QString> phrase = nonBlankStringAt(*object, QStringLiteral("phrase"));
  if (!phrase) return std::nullopt;

  SignaturePhrase signature;
  signature.phrase = *phrase;  // spaces around it stay
  if (const JSONValue::Array* evidence = object->value(QStringLiteral("evidenceMessageIndexes")).arrayValue())
    signature.count = evidence->size();
  else
    signature.count = report.signaturePhrase ? report.signaturePhrase->count : 0;
  if (const std::optional<QString> reason = stringAt(*object, QStringLiteral("reason")))
    signature.flavorLine = *reason;
  else
    signature.flavorLine = report.signaturePhrase ? report.signaturePhrase->flavorLine : kDefaultFlavorLine;
  return signature;
}

std::optional<ArgumentEvent> hostedArgumentEvent(const WrappedReport& report, const JSONValue& element) {
  const Object* object = element.objectValue();
  if (!object) return std::nullopt;

  ArgumentEvent event;
  // A start time stamp that is there but unreadable does not fall through to the end.
  std::optional<QString> stamp = stringAt(*object, QStringLiteral("startTimestamp"));
  if (!stamp) stamp = stringAt(*object, QStringLiteral("endTimestamp"));
  const std::optional<Date> date = stamp ? HostedAnalysisTimestamp::parse(*stamp) : std::nullopt;
  event.date = date.value_or(report.firstMessageDate);

  const qint64 start = indexAt(*object, QStringLiteral("startMessageIndex")).value_or(0);
  const qint64 end = indexAt(*object, QStringLiteral("endMessageIndex")).value_or(start);
  qint64 span = 0;
  qint64 count = 1;
  if (!__builtin_sub_overflow(end, start, &span) && !__builtin_add_overflow(span, qint64{1}, &count))
    event.messageCount = std::max<qint64>(count, 1);
  else
    event.messageCount = 1;  // an end index that cannot be used counts as the start

  const QString title = stringAt(*object, QStringLiteral("title")).value_or(kDefaultConflictTitle);
  const QString coreIssue = stringAt(*object, QStringLiteral("coreIssue")).value_or(QString());
  if (!title.isEmpty()) event.triggerTerms.append(title);
  if (!coreIssue.isEmpty()) event.triggerTerms.append(coreIssue);

  const std::optional<QString> repair = stringAt(*object, QStringLiteral("repairStatus"));
  event.endedByMe = repair && repair->toLower() == QLatin1String("repaired");
  event.lastSenderWasMe = false;
  return event;
}

std::optional<QList<ArgumentEvent>> hostedArgumentEvents(const WrappedReport& report, const JSONValue* value) {
  const JSONValue::Array* elements = value ? value->arrayValue() : nullptr;
  if (!elements) return std::nullopt;
  QList<ArgumentEvent> events;
  for (const JSONValue& element : *elements)
    if (std::optional<ArgumentEvent> event = hostedArgumentEvent(report, element)) events.append(std::move(*event));
  if (events.isEmpty()) return std::nullopt;
  return events;
}

std::optional<FirstDistinctiveTerm> hostedHeadlineFirst(const WrappedReport& report, const JSONValue* value) {
  const Object* object = value ? value->objectValue() : nullptr;
  if (!object) return std::nullopt;
  const std::optional<QString> phrase = nonBlankStringAt(*object, QStringLiteral("phrase"));
  const std::optional<Date> date = timestampAt(*object, QStringLiteral("timestamp"));
  if (!phrase || !date) return std::nullopt;

  FirstDistinctiveTerm first;
  first.term = phrase->trimmed();
  first.date = *date;
  const std::optional<QString> context = nonBlankStringAt(*object, QStringLiteral("context"));
  first.context = context ? context->trimmed() : hostedFirstContext(report, *date);
  return first;
}

std::optional<QList<MeaningfulFirst>> hostedOtherFirsts(const JSONValue* value) {
  const JSONValue::Array* elements = value ? value->arrayValue() : nullptr;
  if (!elements) return std::nullopt;
  QList<MeaningfulFirst> firsts;
  for (const JSONValue& element : *elements) {
    const Object* object = element.objectValue();
    if (!object) continue;
    const std::optional<QString> phrase = nonBlankStringAt(*object, QStringLiteral("phrase"));
    const std::optional<Date> date = timestampAt(*object, QStringLiteral("timestamp"));
    if (phrase && date) firsts.append({phrase->trimmed(), *date});
  }
  if (firsts.isEmpty()) return std::nullopt;
  return firsts;
}

const JSONValue* member(const Object& object, const QString& key) {
  const auto it = object.constFind(key);
  return it == object.cend() ? nullptr : &*it;
}

}  // namespace

QString hostedFirstContext(const WrappedReport& report, Date date) {
  return FirstsAnalyzer::context(date, report.firstMessageDate);
}

WrappedReport applyingHostedAnalysis(const WrappedReport& report, const HostedAnalysisResult& result) {
  WrappedReport merged = report;
  const Object& synthesis = result.synthesis;

  if (const std::optional<QString> raw = stringAt(synthesis, QStringLiteral("relationshipType")))
    if (const std::optional<RelationshipType> type = relationshipTypeFromRawValue(*raw))
      merged.relationshipType = *type;

  if (const JSONValue* confidence = member(synthesis, QStringLiteral("relationshipConfidence")))
    if (const std::optional<double> value = confidence->numberValue()) merged.relationshipConfidence = *value;

  if (std::optional<SignaturePhrase> phrase =
          hostedSignaturePhrase(report, member(synthesis, QStringLiteral("signaturePhrase"))))
    merged.signaturePhrase = std::move(phrase);

  if (std::optional<QList<ArgumentEvent>> events =
          hostedArgumentEvents(report, member(synthesis, QStringLiteral("conflictEvents"))))
    merged.argumentEvents = std::move(*events);

  if (result.firstsSelection) {
    if (const Object* selection = result.firstsSelection->objectValue()) {
      if (std::optional<FirstDistinctiveTerm> headline =
              hostedHeadlineFirst(report, member(*selection, QStringLiteral("headline"))))
        merged.firstDistinctiveTerm = std::move(headline);
      if (std::optional<QList<MeaningfulFirst>> others =
              hostedOtherFirsts(member(*selection, QStringLiteral("otherFirsts"))))
        merged.otherFirsts = std::move(*others);
    }
  }

  if (result.insightCopy) merged.insightCopy = result.insightCopy;
  return merged;
}

}  // namespace murmela
