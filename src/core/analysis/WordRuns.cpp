#include "analysis/WordRuns.h"

#include "analysis/PreparedText.h"
#include "analysis/Tokenizer.h"

#include <bit>
#include <limits>

namespace murmela {
namespace {

constexpr std::uint32_t kSeparator = std::numeric_limits<std::uint32_t>::max();
constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();

// Dense numbers for pairs of 32-bit numbers (a shorter run's number and the
// token that extends it), with an occurrence count and a first position per
// number. Open addressing; a long conversation repeats the same pairs often.
class PairNumbers {
 public:
  std::uint32_t add(std::uint32_t first, std::uint32_t second, std::uint32_t position) {
    const std::uint64_t key = (std::uint64_t(first) << 32) | second;
    if ((keys_.size() + 1) * 2 > slots_.size()) grow();
    size_t at = slot(key);
    while (slots_[at] != 0) {
      const std::uint32_t number = slots_[at] - 1;
      if (keys_[number] == key) {
        ++counts_[number];
        return number;
      }
      at = (at + 1) & mask_;
    }
    const auto number = static_cast<std::uint32_t>(keys_.size());
    slots_[at] = number + 1;
    keys_.push_back(key);
    counts_.push_back(1);
    positions_.push_back(position);
    return number;
  }

  size_t size() const { return keys_.size(); }
  qint64 count(std::uint32_t number) const { return counts_[number]; }
  std::uint32_t position(std::uint32_t number) const { return positions_[number]; }

 private:
  size_t slot(std::uint64_t key) const { return static_cast<size_t>((key * 0x9E3779B97F4A7C15ull) >> shift_) & mask_; }

  void grow() {
    const size_t capacity = slots_.empty() ? 1024 : slots_.size() * 2;
    slots_.assign(capacity, 0);
    mask_ = capacity - 1;
    shift_ = 64 - static_cast<int>(std::countr_zero(capacity));
    for (size_t number = 0; number < keys_.size(); ++number) {
      size_t at = slot(keys_[number]);
      while (slots_[at] != 0) at = (at + 1) & mask_;
      slots_[at] = static_cast<std::uint32_t>(number + 1);
    }
  }

  std::vector<std::uint32_t> slots_;  // number + 1, 0 when empty
  std::vector<std::uint64_t> keys_;   // by number
  std::vector<std::uint32_t> counts_;
  std::vector<std::uint32_t> positions_;
  size_t mask_ = 0;
  int shift_ = 64;
};

}  // namespace

WordRuns::WordRuns(const MessageList& messages, int shortest, int longest, qint64 minimumCount) {
  QString lowered;
  for (const Message& message : messages) {
    PreparedText::lowerInto(message.text, lowered);
    forEachToken(lowered, [this](const TokenView& token) {
      stream_.push_back(static_cast<std::uint32_t>(tokens_.intern(token)));
    });
    stream_.push_back(kSeparator);
  }
  if (shortest < 2 || longest < shortest) return;
  const size_t size = stream_.size();

  // numbers[p]: the number of the run of the current length starting at p
  // (kNone when it crosses a message end, or cannot be frequent).
  std::vector<std::uint32_t> numbers(stream_.begin(), stream_.end());
  std::vector<std::uint32_t> next(size, kNone);
  PairNumbers previousTable;  // the runs one token shorter (tokens for length 1)
  const auto frequent = [&](int length, std::uint32_t number) {
    if (number == kNone) return false;
    return length == 1 || previousTable.count(number) >= minimumCount;
  };

  for (int length = 2; length <= longest; ++length) {
    PairNumbers table;
    for (size_t p = 0; p + length <= size; ++p) {
      next[p] = kNone;
      // A run of `length` tokens from p is the shorter run from p extended by
      // the token at p + length - 1; both shorter runs inside it must be frequent.
      if (!frequent(length - 1, numbers[p]) || !frequent(length - 1, numbers[p + 1])) continue;
      const std::uint32_t last = stream_[p + length - 1];
      if (last == kSeparator) continue;
      next[p] = table.add(numbers[p], last, static_cast<std::uint32_t>(p));
    }
    for (size_t p = size - std::min<size_t>(size, length - 1); p < size; ++p) next[p] = kNone;
    if (length >= shortest)
      for (std::uint32_t number = 0; number < table.size(); ++number)
        if (table.count(number) >= minimumCount) runs_.push_back({table.count(number), length, table.position(number)});
    numbers.swap(next);
    previousTable = std::move(table);
  }
}

QString WordRuns::text(const Run& run) const {
  QString result;
  for (int i = 0; i < run.length; ++i) {
    if (i > 0) result += QLatin1Char(' ');
    result += tokens_[tokenAt(run.at + static_cast<std::uint32_t>(i))].text;
  }
  return result;
}

}  // namespace murmela
