#pragma once

#include "hosted/AnalysisStepBody.h"
#include "hosted/HostedWireRecords.h"

namespace murmela {

// The analysis-step payloads as JSONValue trees, encoded through Qt's JSON
// writer: the straightforward form the streamed bodies must equal byte for
// byte, kept as the reference the tests and the payload bench check against.
namespace AnalysisStepPayloadTree {
JSONValue::Object chunkPayload(std::span<const HostedChatMessage> chunk, qsizetype position, qsizetype count);
JSONValue::Object insightsPayload(std::span<const HostedChatMessage> messages, const JSONValue::Object& synthesis,
                                  const JSONValue& clientMetrics);
// Json::write of the request's toJson(), as the bodies were encoded before.
QByteArray encode(const AnalysisStepRequest& request);
}  // namespace AnalysisStepPayloadTree

}  // namespace murmela
