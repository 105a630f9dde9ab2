#include "hosted/AnalysisStepBody.h"

#include "json/JsonStreamWriter.h"

namespace murmela {
namespace {

// Fixed bytes of one message object besides its strings: the five names,
// quotes, separators, the index and the photo flag.
constexpr qsizetype kMessageOverheadBytes = 80;

void writeMessages(JsonStreamWriter& writer, std::span<const HostedChatMessage> messages) {
  writer.beginArray();
  for (const HostedChatMessage& message : messages) AnalysisStepBody::writeMessage(writer, message);
  writer.endArray();
}

}  // namespace

namespace AnalysisStepBody {

QByteArray encode(const AnalysisStepRequest& request, const PayloadWriter& payload, qsizetype expectedBytes) {
  JsonStreamWriter writer(expectedBytes + 512);
  // Members in ascending key order, as Qt writes an object.
  writer.beginObject();
  writer.key(QLatin1StringView("app_version"));
  writer.string(request.appVersion);
  writer.key(QLatin1StringView("client_request_id"));
  writer.string(request.clientRequestID);
  writer.key(QLatin1StringView("participants"));
  writer.beginObject();
  writer.key(QLatin1StringView("me"));
  writer.string(request.participants.me);
  writer.key(QLatin1StringView("them"));
  writer.string(request.participants.them);
  writer.endObject();
  writer.key(QLatin1StringView("payload"));
  payload(writer);
  writer.key(QLatin1StringView("schema_version"));
  writer.integer(request.schemaVersion);
  writer.key(QLatin1StringView("step"));
  writer.string(request.step);
  writer.key(QLatin1StringView("workflow"));
  writer.string(request.workflow);
  writer.endObject();
  return writer.take();
}

void writeMessage(JsonStreamWriter& writer, const HostedChatMessage& message) {
  writer.beginObject();
  writer.key(QLatin1StringView("has_photo"));
  writer.boolean(message.hasPhoto);
  writer.key(QLatin1StringView("index"));
  writer.number(static_cast<double>(message.index));
  writer.key(QLatin1StringView("sender"));
  writer.string(message.sender);
  writer.key(QLatin1StringView("text"));
  writer.string(message.text);
  writer.key(QLatin1StringView("timestamp"));
  writer.string(message.timestamp);
  writer.endObject();
}

PayloadWriter objectPayload(const JSONValue::Object& payload) {
  return [&payload](JsonStreamWriter& writer) { JSONValue::write(writer, payload); };
}

PayloadWriter chunkPayload(std::span<const HostedChatMessage> chunk, qsizetype position, qsizetype count) {
  return [chunk, position, count](JsonStreamWriter& writer) {
    const bool empty = chunk.empty();
    writer.beginObject();
    writer.key(QLatin1StringView("chunk_count"));
    writer.number(static_cast<double>(count));
    writer.key(QLatin1StringView("chunk_index"));
    writer.number(static_cast<double>(position + 1));
    writer.key(QLatin1StringView("end_message_index"));
    writer.number(empty ? 0.0 : static_cast<double>(chunk.back().index));
    writer.key(QLatin1StringView("end_timestamp"));
    writer.string(empty ? QString() : chunk.back().timestamp);
    writer.key(QLatin1StringView("messages"));
    writeMessages(writer, chunk);
    writer.key(QLatin1StringView("start_message_index"));
    writer.number(empty ? 0.0 : static_cast<double>(chunk.front().index));
    writer.key(QLatin1StringView("start_timestamp"));
    writer.string(empty ? QString() : chunk.front().timestamp);
    writer.endObject();
  };
}

PayloadWriter insightsPayload(std::span<const HostedChatMessage> messages, const JSONValue::Object& synthesis,
                              const JSONValue& clientMetrics) {
  return [messages, &synthesis, &clientMetrics](JsonStreamWriter& writer) {
    writer.beginObject();
    writer.key(QLatin1StringView("client_metrics"));
    clientMetrics.write(writer);
    writer.key(QLatin1StringView("messages"));
    writeMessages(writer, messages);
    writer.key(QLatin1StringView("synthesis"));
    JSONValue::write(writer, synthesis);
    writer.endObject();
  };
}

qsizetype expectedBytes(std::span<const HostedChatMessage> messages) {
  qsizetype bytes = 0;
  for (const HostedChatMessage& message : messages)
    bytes += message.sender.size() + message.timestamp.size() + message.text.size() + kMessageOverheadBytes;
  return bytes;
}

}  // namespace AnalysisStepBody

}  // namespace murmela
