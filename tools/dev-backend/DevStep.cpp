#include "DevStep.h"

#include "json/JsonPullReader.h"
#include "DevText.h"
#include "hosted/HostedChatMessage.h"

namespace murmela::devbackend {
namespace {

using Json::ObjectReader;

// Fewer bytes than any message object of a body takes, to size the list once.
constexpr qsizetype kBytesPerMessageAtLeast = 160;

QList<StepMessage> readMessages(const ObjectReader& payload) {
  const QString key = QStringLiteral("messages");
  return Json::mapArray(payload.array(key), payload.pathOf(key), [](const QJsonValue& value, const QString& path) {
    const ObjectReader r(Json::toObject(value, path), path);
    const qint64 index = r.integer(QStringLiteral("index"));
    QString sender = r.string(QStringLiteral("sender"));
    QString timestamp = r.string(QStringLiteral("timestamp"));
    const std::optional<Date> date = HostedAnalysisTimestamp::parse(timestamp);
    if (!date)
      throw Json::DecodingError(r.pathOf(QStringLiteral("timestamp")),
                                QStringLiteral("expected an internet date-time, found \"%1\"").arg(timestamp));
    QString text = r.string(QStringLiteral("text"));
    const bool hasPhoto = r.boolean(QStringLiteral("has_photo"));
    return makeStepMessage(index, std::move(sender), std::move(timestamp), *date, std::move(text), hasPhoto);
  });
}

// One message object, all five members present and of their kinds.
StepMessage readMessage(JsonPullReader& reader) {
  std::optional<qint64> index;
  std::optional<QString> sender, timestamp, text;
  std::optional<bool> hasPhoto;
  reader.members([&](const QString& key) {
    if (key == QLatin1String("index"))
      index = reader.integer();
    else if (key == QLatin1String("sender"))
      sender = reader.string();
    else if (key == QLatin1String("timestamp"))
      timestamp = reader.string();
    else if (key == QLatin1String("text"))
      text = reader.string();
    else if (key == QLatin1String("has_photo"))
      hasPhoto = reader.boolean();
    else
      reader.skipValue(1);
  });
  if (!index || !sender || !timestamp || !text || !hasPhoto) throw JsonPullReader::NotFastReadable();
  const std::optional<Date> date = HostedAnalysisTimestamp::parse(*timestamp);
  if (!date) throw JsonPullReader::NotFastReadable();
  return makeStepMessage(*index, std::move(*sender), std::move(*timestamp), *date, std::move(*text), *hasPhoto);
}

// The body read straight from its bytes, when its payload holds a messages
// array and everything is as the handlers expect it.
DevStep readFast(const QByteArray& body) {
  JsonPullReader reader(body);
  DevStep step;
  AnalysisStepRequest& request = step.request;
  bool schema = false, id = false, workflow = false, stepName = false, version = false, participants = false,
       payload = false;
  reader.members([&](const QString& key) {
    if (key == QLatin1String("schema_version")) {
      request.schemaVersion = reader.integer();
      schema = true;
    } else if (key == QLatin1String("client_request_id")) {
      request.clientRequestID = reader.string();
      id = true;
    } else if (key == QLatin1String("workflow")) {
      request.workflow = reader.string();
      workflow = true;
    } else if (key == QLatin1String("step")) {
      request.step = reader.string();
      stepName = true;
    } else if (key == QLatin1String("app_version")) {
      request.appVersion = reader.string();
      version = true;
    } else if (key == QLatin1String("participants")) {
      bool me = false, them = false;
      reader.members([&](const QString& name) {
        if (name == QLatin1String("me")) {
          request.participants.me = reader.string();
          me = true;
        } else if (name == QLatin1String("them")) {
          request.participants.them = reader.string();
          them = true;
        } else {
          reader.skipValue(2);
        }
      });
      participants = me && them;
    } else if (key == QLatin1String("payload")) {
      reader.members([&](const QString& name) {
        if (name != QLatin1String("messages")) {
          request.payload.insert(name, reader.value(2));
          return;
        }
        QList<StepMessage> messages;
        messages.reserve(body.size() / kBytesPerMessageAtLeast);
        reader.expect('[');
        if (!reader.take(']')) {
          do messages.append(readMessage(reader));
          while (reader.take(','));
          reader.expect(']');
        }
        step.messages = std::move(messages);
      });
      payload = true;
    } else {
      reader.skipValue(1);
    }
  });
  if (!reader.atEnd() || !(schema && id && workflow && stepName && version && participants && payload) ||
      !step.messages)
    throw JsonPullReader::NotFastReadable();
  return step;
}

}  // namespace

StepMessage makeStepMessage(qint64 index, QString sender, QString timestamp, Date date, QString text, bool hasPhoto) {
  StepMessage message;
  message.index = index;
  message.sender = std::move(sender);
  message.timestamp = std::move(timestamp);
  message.date = date;
  message.text = std::move(text);
  message.hasPhoto = hasPhoto;
  message.padded = DevText::paddedText(message.text);
  return message;
}

DevStep DevStep::read(const QByteArray& body) {
  try {
    return readFast(body);
  } catch (const JsonPullReader::NotFastReadable&) {
    // Read the thorough way below.
  }
  DevStep step;
  step.request =
      AnalysisStepRequest::fromJson(Json::parseObject(body, QStringLiteral("body")), QStringLiteral("body"));
  return step;
}

const QList<StepMessage>& DevStep::messagesOf(const Json::ObjectReader& payload, QList<StepMessage>& storage) const {
  if (messages) return *messages;
  storage = readMessages(payload);
  return storage;
}

}  // namespace murmela::devbackend
