#include "analysis/WordRuns.h"

#include <algorithm>
#include <bit>
#include <limits>

namespace murmela {
namespace {

constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();
constexpr size_t kPrefetchDistance = 16;

// Saturating counters of as few bits as the minimum count needs (two bits up
// to 3), indexed by a hash of a pair of numbers. A counter never falls below
// the number of times any pair mapped to it was added.
class CountingSketch {
 public:
  CountingSketch(size_t pairs, qint64 minimum)
      : bits_(minimum <= 3 ? 2 : minimum <= 15 ? 4 : 8),
        saturated_((1u << bits_) - 1),
        shift_(64 - std::min(static_cast<int>(std::bit_width(pairs)) + 1, kMostCounterBits)),
        words_(((size_t(1) << (64 - shift_)) * bits_ + 63) / 64) {}

  void clear() { std::fill(words_.begin(), words_.end(), 0); }
  size_t slot(std::uint32_t first, std::uint32_t second) const {
    const std::uint64_t key = (std::uint64_t(first) << 32) | second;
    return static_cast<size_t>(((key ^ (key >> 29)) * 0xBF58476D1CE4E5B9ull) >> shift_);
  }
  void prefetch(size_t slot) const { __builtin_prefetch(&words_[slot * bits_ / 64]); }
  void add(size_t slot) {
    std::uint64_t& word = words_[slot * bits_ / 64];
    const unsigned at = static_cast<unsigned>(slot * bits_ % 64);
    if (((word >> at) & saturated_) != saturated_) word += std::uint64_t(1) << at;
  }
  std::uint32_t count(size_t slot) const {
    return static_cast<std::uint32_t>((words_[slot * bits_ / 64] >> (slot * bits_ % 64)) & saturated_);
  }

 private:
  static constexpr int kMostCounterBits = 22;  // 4M counters, 1 MiB at two bits

  unsigned bits_;
  std::uint64_t saturated_;
  int shift_;
  std::vector<std::uint64_t> words_;
};

// Dense numbers for pairs of 32-bit numbers (a shorter run's number and the
// token that extends it), with an occurrence count and a first position per
// number. Open addressing with the key and the count in the slot, so counting
// one occurrence touches one slot; a long conversation repeats the same pairs often.
class PairNumbers {
 public:
  std::uint32_t add(std::uint32_t first, std::uint32_t second, std::uint32_t position) {
    const std::uint64_t key = (std::uint64_t(first) << 32) | second;
    if ((positions_.size() + 1) * 2 > slots_.size()) grow();
    size_t at = slot(key);
    while (slots_[at].count != 0) {
      if (slots_[at].key == key) {
        ++slots_[at].count;
        return slots_[at].number;
      }
      at = (at + 1) & mask_;
    }
    const auto number = static_cast<std::uint32_t>(positions_.size());
    slots_[at] = {key, number, 1};
    positions_.push_back(position);
    return number;
  }

  void prefetch(std::uint32_t first, std::uint32_t second) const {
    if (!slots_.empty()) __builtin_prefetch(&slots_[slot((std::uint64_t(first) << 32) | second)]);
  }
  size_t size() const { return positions_.size(); }
  std::uint32_t position(std::uint32_t number) const { return positions_[number]; }
  // The occurrence count of every number, in number order.
  std::vector<std::uint32_t> counts() const {
    std::vector<std::uint32_t> result(positions_.size(), 0);
    for (const Slot& slot : slots_)
      if (slot.count != 0) result[slot.number] = slot.count;
    return result;
  }

 private:
  struct Slot {
    std::uint64_t key = 0;
    std::uint32_t number = 0;
    std::uint32_t count = 0;  // 0: empty
  };

  size_t slot(std::uint64_t key) const { return static_cast<size_t>((key * 0x9E3779B97F4A7C15ull) >> shift_) & mask_; }

  void grow() {
    const size_t capacity = slots_.empty() ? 1024 : slots_.size() * 2;
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(capacity, Slot{});
    mask_ = capacity - 1;
    shift_ = 64 - static_cast<int>(std::countr_zero(capacity));
    for (const Slot& entry : old) {
      if (entry.count == 0) continue;
      size_t at = slot(entry.key);
      while (slots_[at].count != 0) at = (at + 1) & mask_;
      slots_[at] = entry;
    }
  }

  std::vector<Slot> slots_;
  std::vector<std::uint32_t> positions_;  // by number
  size_t mask_ = 0;
  int shift_ = 64;
};

}  // namespace

WordRuns::WordRuns(const PreparedConversation& conversation, int shortest, int longest, qint64 minimumCount)
    : tokens_(conversation.tokens()), stream_(conversation.tokenStream()) {
  static_assert(PreparedConversation::kSeparator == kNone, "a message end never extends a run");
  if (shortest < 2 || longest < shortest || stream_.size() < 2) return;
  const size_t size = stream_.size();

  // numbers[p]: the number of the run of the current length starting at p,
  // or kNone when that run crosses a message end or occurs too rarely to
  // extend. Length 1: the tokens themselves.
  std::vector<std::uint32_t> numbers(stream_.begin(), stream_.end());
  std::vector<std::uint32_t> next(size, kNone);
  // Most longer runs occur once or twice. A first pass counts every run in a
  // small sketch of saturating counters, so the exact table only takes the
  // runs whose counter reaches the minimum: both stay small and in cache.
  CountingSketch sketch(size, minimumCount);
  for (int length = 2; length <= longest; ++length) {
    PairNumbers table;
    sketch.clear();
    // The counters are read far apart: ask for them some positions ahead.
    const auto prefetch = [&](size_t p) {
      if (p + length - 1 < size && numbers[p] != kNone)
        sketch.prefetch(sketch.slot(numbers[p], stream_[p + length - 1]));
    };
    for (size_t p = 0; p + 1 < size; ++p) {
      prefetch(p + kPrefetchDistance);
      if (numbers[p] == kNone || numbers[p + 1] == kNone) continue;
      sketch.add(sketch.slot(numbers[p], stream_[p + length - 1]));
    }
    // A run of `length` tokens from p is the shorter run from p extended by
    // the token at p + length - 1; both shorter runs inside it must recur.
    for (size_t p = 0; p + 1 < size; ++p) {
      prefetch(p + kPrefetchDistance);
      const size_t ahead = p + kPrefetchDistance / 2;
      if (ahead + length - 1 < size && numbers[ahead] != kNone) table.prefetch(numbers[ahead], stream_[ahead + length - 1]);
      next[p] = kNone;
      if (numbers[p] == kNone || numbers[p + 1] == kNone) continue;
      if (sketch.count(sketch.slot(numbers[p], stream_[p + length - 1])) < minimumCount) continue;
      next[p] = table.add(numbers[p], stream_[p + length - 1], static_cast<std::uint32_t>(p));
    }
    next[size - 1] = kNone;

    const std::vector<std::uint32_t> counts = table.counts();
    if (length >= shortest)
      for (std::uint32_t number = 0; number < counts.size(); ++number)
        if (counts[number] >= minimumCount) runs_.push_back({counts[number], length, table.position(number)});
    if (length == longest) break;
    for (size_t p = 0; p < size; ++p)
      if (next[p] != kNone && counts[next[p]] < minimumCount) next[p] = kNone;
    numbers.swap(next);
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
