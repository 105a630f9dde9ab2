#pragma once

#include "common/Date.h"
#include "data/Message.h"

#include <QString>

#include <cstdint>

namespace murmela::test {

// Options of a made-up two-person conversation.
struct SyntheticConversationOptions {
  qsizetype messageCount = 10000;
  std::uint64_t seed = 1;
  Date start = Date::fromUnix(1577836800.0);  // 2020-01-01T00:00:00Z
  double spanDays = 3 * 365.0;                // the dates spread over about this many days
  QString handle = QStringLiteral("+15550100");
};

// A deterministic conversation (the same options give the same messages on
// every machine): two senders taking turns with occasional runs, oldest
// first, quick replies, pauses and a few silent days; texts of everyday length
// from a Zipf-weighted vocabulary with chat slang, pet names, apologies, mood
// words, some punctuation, capitals, accented words and a few emojis (skin
// tones, flags and ZWJ sequences among them). About 1 in 100 has a photo.
MessageList makeSyntheticConversation(const SyntheticConversationOptions& options);

}  // namespace murmela::test
