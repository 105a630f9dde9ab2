#pragma once

#include "analysis/PreparedText.h"
#include "analysis/TokenTable.h"
#include "common/LocalCalendar.h"
#include "data/Message.h"

#include <cstdint>
#include <limits>
#include <span>
#include <vector>

namespace murmela {

// The messages of one conversation prepared once for every analyzer: each
// text lowered (with the pair signature of its lowered form, for the term
// searches) and split by the tokenizer into tokens numbered in one table (for
// the word and phrase counts), and each date's local day and hour in the
// user's calendar. The analyzers of one run share it instead of each lowering,
// tokenizing and converting every message again.
class PreparedConversation {
 public:
  static constexpr std::uint32_t kSeparator = std::numeric_limits<std::uint32_t>::max();

  explicit PreparedConversation(const MessageList& messages);

  const MessageList& messages() const { return messages_; }
  qsizetype size() const { return messages_.size(); }
  const Message& message(qsizetype index) const { return messages_[index]; }
  const PreparedText& text(qsizetype index) const { return texts_[static_cast<size_t>(index)]; }
  // The message's local calendar day (Julian day number) and hour, as the
  // calendar below gives them.
  qint64 julianDay(qsizetype index) const { return days_[static_cast<size_t>(index)]; }
  int hour(qsizetype index) const { return hours_[static_cast<size_t>(index)]; }
  const LocalCalendar& calendar() const { return calendar_; }

  const TokenTable& tokens() const { return tokens_; }
  // The token numbers of one message, in order.
  std::span<const std::uint32_t> tokensOf(qsizetype index) const {
    const auto at = static_cast<size_t>(index);
    return {stream_.data() + starts_[at], stream_.data() + starts_[at + 1] - 1};
  }
  // Every message's token numbers, each message followed by kSeparator.
  const std::vector<std::uint32_t>& tokenStream() const { return stream_; }

 private:
  MessageList messages_;
  LocalCalendar calendar_;
  std::vector<PreparedText> texts_;
  std::vector<qint64> days_;
  std::vector<std::int8_t> hours_;
  TokenTable tokens_;
  std::vector<std::uint32_t> stream_;
  std::vector<std::uint32_t> starts_;  // per message, and one past the last
};

}  // namespace murmela
