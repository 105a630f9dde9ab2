#include "privacy/anonymization/PrivacyAnonymizationRecords.h"

#include "common/JsonCodec.h"

#include <QJsonArray>

namespace murmela {

using Json::ObjectReader;

namespace {

QJsonArray messagesToJson(const QList<PrivacyAnonymizationMessage>& messages) {
  QJsonArray array;
  for (const PrivacyAnonymizationMessage& message : messages) array.append(message.toJson());
  return array;
}

QList<PrivacyAnonymizationMessage> messagesFromJson(const ObjectReader& reader) {
  const QString key = QStringLiteral("messages");
  return Json::mapArray(reader.array(key), reader.pathOf(key), [](const QJsonValue& value, const QString& path) {
    return PrivacyAnonymizationMessage::fromJson(Json::toObject(value, path), path);
  });
}

}  // namespace

QJsonObject PrivacyAnonymizationParticipants::toJson() const {
  return {{QStringLiteral("me"), me}, {QStringLiteral("them"), them}};
}

PrivacyAnonymizationParticipants PrivacyAnonymizationParticipants::fromJson(const QJsonObject& object,
                                                                            const QString& path) {
  const ObjectReader r(object, path);
  return {r.string(QStringLiteral("me")), r.string(QStringLiteral("them"))};
}

QJsonObject PrivacyAnonymizationMessage::toJson() const {
  return {{QStringLiteral("index"), index},
          {QStringLiteral("sender"), sender},
          {QStringLiteral("timestamp"), timestamp},
          {QStringLiteral("text"), text},
          {QStringLiteral("has_photo"), hasPhoto}};
}

PrivacyAnonymizationMessage PrivacyAnonymizationMessage::fromJson(const QJsonObject& object, const QString& path) {
  const ObjectReader r(object, path);
  return {r.integer(QStringLiteral("index")), r.string(QStringLiteral("sender")), r.string(QStringLiteral("timestamp")),
          r.string(QStringLiteral("text")), r.boolean(QStringLiteral("has_photo"))};
}

QJsonObject PrivacyAnonymizationInput::toJson() const {
  return {{QStringLiteral("participants"), participants.toJson()},
          {QStringLiteral("messages"), messagesToJson(messages)},
          {QStringLiteral("model"), model}};
}

PrivacyAnonymizationInput PrivacyAnonymizationInput::fromJson(const QJsonObject& object, const QString& path) {
  const ObjectReader r(object, path);
  const ObjectReader participants = r.object(QStringLiteral("participants"));
  return {PrivacyAnonymizationParticipants::fromJson(participants.object(), participants.path()), messagesFromJson(r),
          r.string(QStringLiteral("model"))};
}

QJsonObject PrivacyAnonymizationOutput::toJson() const {
  QJsonObject names;
  for (auto it = reverseNameMap.begin(); it != reverseNameMap.end(); ++it) names.insert(it.key(), it.value());
  return {{QStringLiteral("participants"), participants.toJson()},
          {QStringLiteral("messages"), messagesToJson(messages)},
          {QStringLiteral("reverseNameMap"), names},
          {QStringLiteral("metadata"),
           QJsonObject{{QStringLiteral("messageCount"), metadata.messageCount},
                       {QStringLiteral("nameCount"), metadata.nameCount},
                       {QStringLiteral("elapsedSeconds"), metadata.elapsedSeconds}}}};
}

PrivacyAnonymizationOutput PrivacyAnonymizationOutput::fromJson(const QJsonObject& object, const QString& path) {
  const ObjectReader r(object, path);
  PrivacyAnonymizationOutput output;
  const ObjectReader participants = r.object(QStringLiteral("participants"));
  output.participants = HostedParticipants::fromJson(participants.object(), participants.path());
  output.messages = messagesFromJson(r);
  const ObjectReader names = r.object(QStringLiteral("reverseNameMap"));
  for (auto it = names.object().begin(); it != names.object().end(); ++it)
    output.reverseNameMap.insert(it.key(), Json::toString(it.value(), names.pathOf(it.key())));
  const ObjectReader metadata = r.object(QStringLiteral("metadata"));
  output.metadata = {metadata.integer(QStringLiteral("messageCount")), metadata.integer(QStringLiteral("nameCount")),
                     metadata.number(QStringLiteral("elapsedSeconds"))};
  return output;
}

}  // namespace murmela
