#pragma once

#include "analysis/PreparedConversation.h"
#include "analysis/TokenTable.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace murmela {

// The runs of consecutive tokens (the tokenizer's words) within single
// messages of a conversation, counted exactly but only as far as needed: a
// run can occur k times only when both runs one token shorter inside it occur
// at least k times, so longer runs are counted only on top of frequent
// shorter ones. Memory and time stay linear in the number of tokens.
class WordRuns {
 public:
  struct Run {
    qint64 count = 0;
    int length = 0;        // tokens
    std::uint32_t at = 0;  // position of one occurrence in the token stream
  };

  // Counts the runs of `shortest` to `longest` tokens (shortest >= 2) of the
  // conversation's token stream; the conversation must outlive the runs.
  WordRuns(const PreparedConversation& conversation, int shortest, int longest, qint64 minimumCount);

  // Every run of the counted lengths that occurs at least minimumCount times.
  const std::vector<Run>& frequentRuns() const { return runs_; }

  const TokenTable& tokens() const { return tokens_; }
  // Token number at a position of the stream.
  int tokenAt(std::uint32_t position) const { return static_cast<int>(stream_[position]); }
  // The run as text: its tokens (NFC) joined with single spaces.
  QString text(const Run& run) const;

 private:
  const TokenTable& tokens_;
  const std::vector<std::uint32_t>& stream_;  // token numbers, messages separated by kSeparator
  std::vector<Run> runs_;
};

}  // namespace murmela
