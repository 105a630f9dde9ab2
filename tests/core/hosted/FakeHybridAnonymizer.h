#pragma once

#include "hosted/HostedAnalysisError.h"
#include "hosted/HostedChatMessage.h"
#include "hosted/HybridAnonymizer.h"

#include <functional>
#include <optional>

namespace murmela::test {

// Stands in for the on-device anonymization: every occurrence of the two
// participants' names (in senders and texts) becomes "PERSON_1" (the user) or
// "PERSON_2", and rehydrate() puts them back. Records what it was given.
class FakeHybridAnonymizer : public HybridAnonymizer {
 public:
  static inline const QString kMe = QStringLiteral("PERSON_1");
  static inline const QString kThem = QStringLiteral("PERSON_2");

  bool emptyMap = false;                  // return no reverse name map
  std::function<void()> duringAnonymize;  // called halfway (e.g. to request a stop)
  std::optional<QString> failure;         // throw privacyAnonymizationFailed with this text

  int anonymizeCalls = 0;
  mutable int rehydrateCalls = 0;
  double givenAnonymizationEstimate = 0.0;
  double givenAnalysisEstimate = 0.0;

  PrivacyAnonymizationContext anonymize(const ImportedChat& chat, double estimatedAnonymizationSeconds,
                                        double estimatedAnalysisSeconds, const ProgressCallback& progress,
                                        std::stop_token) override;
  JSONValue::Object rehydrate(const JSONValue::Object& object,
                              const QMap<QString, QString>& reverseNameMap) const override;

 private:
  JSONValue rehydrateValue(const JSONValue& value, const QMap<QString, QString>& reverseNameMap) const;
};

inline PrivacyAnonymizationContext FakeHybridAnonymizer::anonymize(const ImportedChat& chat,
                                                                   double estimatedAnonymizationSeconds,
                                                                   double estimatedAnalysisSeconds,
                                                                   const ProgressCallback& progress, std::stop_token) {
  ++anonymizeCalls;
  givenAnonymizationEstimate = estimatedAnonymizationSeconds;
  givenAnalysisEstimate = estimatedAnalysisSeconds;
  progress({AnalysisStage::anonymizing, 0.565, estimatedAnalysisSeconds + 8});
  if (duringAnonymize) duringAnonymize();
  if (failure) throw HostedAnalysisError::privacyAnonymizationFailed(*failure);

  const auto hide = [&chat](QString text) {
    return text.replace(chat.meName, kMe, Qt::CaseInsensitive).replace(chat.otherName, kThem, Qt::CaseInsensitive);
  };
  PrivacyAnonymizationContext context;
  context.participants = {kMe, kThem};
  qint64 index = 0;
  for (const Message& message : chat.messages)
    context.messages.append({++index, message.isFromMe ? kMe : kThem, HostedAnalysisTimestamp::format(message.date),
                             hide(message.text), message.hasPhoto});
  if (!emptyMap) context.reverseNameMap = {{kMe, chat.meName}, {kThem, chat.otherName}};
  return context;
}

inline JSONValue FakeHybridAnonymizer::rehydrateValue(const JSONValue& value,
                                                      const QMap<QString, QString>& reverseNameMap) const {
  if (std::optional<QString> text = value.stringValue()) {
    for (auto it = reverseNameMap.cbegin(); it != reverseNameMap.cend(); ++it) text->replace(it.key(), it.value());
    return JSONValue::string(*text);
  }
  if (const JSONValue::Array* array = value.arrayValue()) {
    JSONValue::Array restored;
    for (const JSONValue& element : *array) restored.append(rehydrateValue(element, reverseNameMap));
    return JSONValue::array(restored);
  }
  if (const JSONValue::Object* object = value.objectValue())
    return JSONValue::object(rehydrate(*object, reverseNameMap));
  return value;
}

inline JSONValue::Object FakeHybridAnonymizer::rehydrate(const JSONValue::Object& object,
                                                         const QMap<QString, QString>& reverseNameMap) const {
  ++rehydrateCalls;
  JSONValue::Object restored;
  for (auto it = object.cbegin(); it != object.cend(); ++it)
    restored.insert(it.key(), rehydrateValue(*it, reverseNameMap));
  return restored;
}

}  // namespace murmela::test
