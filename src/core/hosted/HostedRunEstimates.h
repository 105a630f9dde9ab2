#pragma once

#include "data/Message.h"

namespace murmela::HostedRunEstimates {

// How long the steps after the on-device analysis are expected to take, from
// the conversation's total text length. Both the hosted run and the CSV road's
// progress use these figures.
inline constexpr double kAnonymizationSecondsPerCharacter = 0.0001385;
inline constexpr double kAnalysisSecondsPerCharacter = 0.0001395;
inline constexpr double kFloorSeconds = 8.0;
// Added to every computed estimate of remaining time.
inline constexpr double kMarginSeconds = 8.0;

// The total text length of the messages, in characters (grapheme clusters).
qint64 characterCount(const MessageList& messages);
// Each estimate is at least the floor.
double anonymizationSeconds(qint64 characters);
double analysisSeconds(qint64 characters);

}  // namespace murmela::HostedRunEstimates
