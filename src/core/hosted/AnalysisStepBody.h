#pragma once

#include "json/JSONValue.h"
#include "hosted/HostedChatMessage.h"
#include "hosted/HostedWireRecords.h"

#include <QByteArray>

#include <functional>
#include <span>

namespace murmela {

class JsonStreamWriter;

// The bodies of the analysis steps, written straight to bytes: the same text,
// byte for byte, as Json::write of AnalysisStepRequest::toJson() with the
// payload as a JSONValue tree (keys in ascending order, "/" escaped), but
// without that tree and without a second copy of the messages.
namespace AnalysisStepBody {

// Writes the payload object (its braces included).
using PayloadWriter = std::function<void(JsonStreamWriter&)>;

// The envelope of `request` (its own payload is not read) around the payload
// that `payload` writes. `expectedBytes` sizes the buffer up front. Throws
// Json::EncodingError for a number that is not finite.
QByteArray encode(const AnalysisStepRequest& request, const PayloadWriter& payload, qsizetype expectedBytes = 0);

// {"has_photo", "index", "sender", "text", "timestamp"}.
void writeMessage(JsonStreamWriter& writer, const HostedChatMessage& message);

// A payload held as a value (the synthesis step's chunk results).
PayloadWriter objectPayload(const JSONValue::Object& payload);

// "chunk_index", "chunk_count", the first and last message's index and time
// stamp (0 and "" for an empty chunk) and the chunk's "messages".
PayloadWriter chunkPayload(std::span<const HostedChatMessage> chunk, qsizetype position, qsizetype count);

// "messages", "synthesis" and "client_metrics" of the insights step.
PayloadWriter insightsPayload(std::span<const HostedChatMessage> messages, const JSONValue::Object& synthesis,
                              const JSONValue& clientMetrics);

// About the bytes the messages take in a body, to size its buffer.
qsizetype expectedBytes(std::span<const HostedChatMessage> messages);

}  // namespace AnalysisStepBody

}  // namespace murmela
