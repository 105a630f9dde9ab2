#include "support/AnalysisStepPayloadTree.h"

#include "json/JsonCodec.h"

namespace murmela {
namespace {

JSONValue::Array messageArray(std::span<const HostedChatMessage> messages) {
  JSONValue::Array array;
  array.reserve(static_cast<qsizetype>(messages.size()));
  for (const HostedChatMessage& message : messages) array.append(message.toJSONValue());
  return array;
}

JSONValue number(qint64 value) { return JSONValue::number(static_cast<double>(value)); }

}  // namespace

namespace AnalysisStepPayloadTree {

JSONValue::Object chunkPayload(std::span<const HostedChatMessage> chunk, qsizetype position, qsizetype count) {
  const bool empty = chunk.empty();
  return {
      {QStringLiteral("chunk_index"), number(position + 1)},
      {QStringLiteral("chunk_count"), number(count)},
      {QStringLiteral("start_message_index"), number(empty ? 0 : chunk.front().index)},
      {QStringLiteral("end_message_index"), number(empty ? 0 : chunk.back().index)},
      {QStringLiteral("start_timestamp"), JSONValue::string(empty ? QString() : chunk.front().timestamp)},
      {QStringLiteral("end_timestamp"), JSONValue::string(empty ? QString() : chunk.back().timestamp)},
      {QStringLiteral("messages"), JSONValue::array(messageArray(chunk))},
  };
}

JSONValue::Object insightsPayload(std::span<const HostedChatMessage> messages, const JSONValue::Object& synthesis,
                                  const JSONValue& clientMetrics) {
  return {{QStringLiteral("messages"), JSONValue::array(messageArray(messages))},
          {QStringLiteral("synthesis"), JSONValue::object(synthesis)},
          {QStringLiteral("client_metrics"), clientMetrics}};
}

QByteArray encode(const AnalysisStepRequest& request) {
  return Json::write(QJsonValue(request.toJson()), Json::Layout::Compact);
}

}  // namespace AnalysisStepPayloadTree

}  // namespace murmela
