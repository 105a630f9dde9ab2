#pragma once

#include "DevStep.h"
#include "json/JSONValue.h"
#include "hosted/HostedWireRecords.h"

namespace murmela::devbackend {

// The development backend's analysis steps: deterministic heuristics over the
// messages of the request, so that every answer is plausible, repeatable and
// consistent with what was sent (evidence indexes point at messages that hold
// the phrase, conflict events at the messages that hold the markers, firsts at
// the first message that says them). Each returns the step's "result" object
// and throws Json::DecodingError, naming the member, for a payload it cannot
// read.
namespace DevAnalysis {

// "chunk_analysis": per-chunk counts, relationship signals, phrase candidates
// with their message indexes, conflict candidates and tone.
JSONValue::Object analyzeChunk(const DevStep& step);

// "synthesize": the chunk results merged into "relationshipType",
// "relationshipConfidence", "signaturePhrase" (when a phrase recurs),
// "conflictEvents", "tone" and a summary.
JSONValue::Object synthesize(const DevStep& step);

// "insight_copy": the six insight sentences and "firstsSelection", from the
// messages, the synthesis and the client metrics.
JSONValue::Object insightCopy(const DevStep& step);

}  // namespace DevAnalysis

}  // namespace murmela::devbackend
