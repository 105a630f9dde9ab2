#include "privacy/anonymization/PrivacyAnonymizationRecords.h"

#include "json/JsonPullReader.h"
#include "json/JsonCodec.h"
#include "json/JsonStreamWriter.h"

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

// The output read straight from its bytes when every member is there and of
// its kind; JsonPullReader::NotFastReadable otherwise.
PrivacyAnonymizationOutput readOutput(const QByteArray& bytes) {
  using Refused = JsonPullReader::NotFastReadable;
  JsonPullReader reader(bytes);
  PrivacyAnonymizationOutput output;
  bool participants = false, messages = false, names = false, metadata = false;
  reader.members([&](const QString& key) {
    if (key == QLatin1String("participants")) {
      bool me = false, them = false;
      reader.members([&](const QString& name) {
        if (name == QLatin1String("me")) {
          output.participants.me = reader.string();
          me = true;
        } else if (name == QLatin1String("them")) {
          output.participants.them = reader.string();
          them = true;
        } else {
          reader.skipValue(2);
        }
      });
      participants = me && them;
    } else if (key == QLatin1String("messages")) {
      reader.expect('[');
      if (!reader.take(']')) {
        do {
          std::optional<qint64> index;
          std::optional<QString> sender, timestamp, text;
          std::optional<bool> hasPhoto;
          reader.members([&](const QString& name) {
            if (name == QLatin1String("index"))
              index = reader.integer();
            else if (name == QLatin1String("sender"))
              sender = reader.string();
            else if (name == QLatin1String("timestamp"))
              timestamp = reader.string();
            else if (name == QLatin1String("text"))
              text = reader.string();
            else if (name == QLatin1String("has_photo"))
              hasPhoto = reader.boolean();
            else
              reader.skipValue(3);
          });
          if (!index || !sender || !timestamp || !text || !hasPhoto) throw Refused();
          output.messages.append({*index, std::move(*sender), std::move(*timestamp), std::move(*text), *hasPhoto});
        } while (reader.take(','));
        reader.expect(']');
      }
      messages = true;
    } else if (key == QLatin1String("reverseNameMap")) {
      reader.members([&](const QString& placeholder) { output.reverseNameMap.insert(placeholder, reader.string()); });
      names = true;
    } else if (key == QLatin1String("metadata")) {
      std::optional<qint64> messageCount, nameCount;
      std::optional<double> elapsed;
      reader.members([&](const QString& name) {
        if (name == QLatin1String("messageCount"))
          messageCount = reader.integer();
        else if (name == QLatin1String("nameCount"))
          nameCount = reader.integer();
        else if (name == QLatin1String("elapsedSeconds"))
          elapsed = reader.number();
        else
          reader.skipValue(2);
      });
      if (!messageCount || !nameCount || !elapsed) throw Refused();
      output.metadata = {*messageCount, *nameCount, *elapsed};
      metadata = true;
    } else {
      reader.skipValue(1);
    }
  });
  if (!reader.atEnd() || !participants || !messages || !names || !metadata) throw Refused();
  return output;
}

}  // namespace

PrivacyAnonymizationOutput PrivacyAnonymizationOutput::decode(const QByteArray& bytes) {
  try {
    return readOutput(bytes);
  } catch (const JsonPullReader::NotFastReadable&) {
    // Read the thorough way, which words the error.
  }
  return fromJson(Json::parseObject(bytes, QStringLiteral("output")));
}

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

QByteArray PrivacyAnonymizationInput::encode() const {
  // Members in ascending key order, as Qt writes an object.
  qsizetype expected = model.size() + 256;
  for (const PrivacyAnonymizationMessage& message : messages)
    expected += message.sender.size() + message.timestamp.size() + message.text.size() + 80;
  JsonStreamWriter writer(expected, false);
  writer.beginObject();
  writer.key(QLatin1StringView("messages"));
  writer.beginArray();
  for (const PrivacyAnonymizationMessage& message : messages) {
    writer.beginObject();
    writer.key(QLatin1StringView("has_photo"));
    writer.boolean(message.hasPhoto);
    writer.key(QLatin1StringView("index"));
    writer.integer(message.index);
    writer.key(QLatin1StringView("sender"));
    writer.string(message.sender);
    writer.key(QLatin1StringView("text"));
    writer.string(message.text);
    writer.key(QLatin1StringView("timestamp"));
    writer.string(message.timestamp);
    writer.endObject();
  }
  writer.endArray();
  writer.key(QLatin1StringView("model"));
  writer.string(model);
  writer.key(QLatin1StringView("participants"));
  writer.beginObject();
  writer.key(QLatin1StringView("me"));
  writer.string(participants.me);
  writer.key(QLatin1StringView("them"));
  writer.string(participants.them);
  writer.endObject();
  writer.endObject();
  return writer.take();
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
