#include "analysis/PhraseAnalyzer.h"

#include "analysis/RankedCounts.h"
#include "analysis/TokenTable.h"
#include "common/UnicodeText.h"

#include <QHash>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace murmela {
namespace {

// Counts of token pairs under one 64-bit key, in an open-addressing table:
// a long conversation repeats the same pairs millions of times.
class PairCounts {
 public:
  static std::uint64_t key(int first, int second) {
    return (std::uint64_t(std::uint32_t(first) + 1) << 32) | (std::uint32_t(second) + 1);  // never 0
  }
  static int first(std::uint64_t key) { return static_cast<int>((key >> 32) - 1); }
  static int second(std::uint64_t key) { return static_cast<int>((key & 0xffffffffu) - 1); }

  void add(std::uint64_t key) {
    if ((used_ + 1) * 2 > keys_.size()) grow();
    size_t at = slot(key);
    while (keys_[at] != 0 && keys_[at] != key) at = (at + 1) & mask_;
    if (keys_[at] == 0) {
      keys_[at] = key;
      ++used_;
    }
    ++counts_[at];
  }

  template <typename Visitor>
  void forEach(Visitor&& visit) const {
    for (size_t at = 0; at < keys_.size(); ++at)
      if (keys_[at] != 0) visit(keys_[at], counts_[at]);
  }

 private:
  size_t slot(std::uint64_t key) const { return static_cast<size_t>((key * 0x9E3779B97F4A7C15ull) >> shift_) & mask_; }

  void grow() {
    std::vector<std::uint64_t> oldKeys = std::move(keys_);
    std::vector<qint64> oldCounts = std::move(counts_);
    const size_t capacity = oldKeys.empty() ? 1024 : oldKeys.size() * 2;
    keys_.assign(capacity, 0);
    counts_.assign(capacity, 0);
    mask_ = capacity - 1;
    shift_ = 64 - static_cast<int>(std::countr_zero(capacity));
    used_ = 0;
    for (size_t i = 0; i < oldKeys.size(); ++i) {
      if (oldKeys[i] == 0) continue;
      size_t at = slot(oldKeys[i]);
      while (keys_[at] != 0) at = (at + 1) & mask_;
      keys_[at] = oldKeys[i];
      counts_[at] = oldCounts[i];
      ++used_;
    }
  }

  std::vector<std::uint64_t> keys_;
  std::vector<qint64> counts_;
  size_t used_ = 0;
  size_t mask_ = 0;
  int shift_ = 64;
};

// One person's words and phrases.
struct Tally {
  std::vector<qint64> words;  // by token number
  PairCounts pairs;
};

// Words and phrases of the conversation's shared tokens, one tally per person.
class PhraseCounter {
 public:
  PhraseCounter(const QSet<QString>& stopwords, const PreparedConversation& conversation)
      : tokens_(conversation.tokens()), stopword_(tokens_.size()) {
    for (size_t id = 0; id < tokens_.size(); ++id) stopword_[id] = stopwords.contains(tokens_[static_cast<int>(id)].text);
  }

  void add(std::span<const std::uint32_t> ids, Tally& tally) const {
    if (tally.words.size() < tokens_.size()) tally.words.resize(tokens_.size(), 0);
    for (size_t i = 0; i < ids.size(); ++i) {
      ++tally.words[ids[i]];
      if (i > 0) tally.pairs.add(PairCounts::key(static_cast<int>(ids[i - 1]), static_cast<int>(ids[i])));
    }
  }

  QList<PhraseStat> ranked(const Tally& tally, qsizetype limit) const;

 private:
  bool longEnough(int first, int second) const {
    const TokenTable::Token& a = tokens_[first];
    const TokenTable::Token& b = tokens_[second];
    if (a.simple && b.simple) return a.text.size() + 1 + b.text.size() >= PhraseAnalyzer::kMinimumPhraseCharacters;
    return UnicodeText::graphemeCount(phrase(first, second)) >= PhraseAnalyzer::kMinimumPhraseCharacters;
  }
  QString phrase(int first, int second) const { return tokens_[first].text + QLatin1Char(' ') + tokens_[second].text; }

  const TokenTable& tokens_;
  std::vector<bool> stopword_;  // by token number
};

QList<PhraseStat> PhraseCounter::ranked(const Tally& tally, qsizetype limit) const {
  // Every entry has its own text: words are distinct NFC forms, phrases are
  // pairs of them with one space, and only phrases hold a space.
  struct Candidate {
    qint64 count;
    int first;
    int second;  // -1 for a single word
  };
  std::vector<Candidate> candidates;
  for (size_t id = 0; id < tally.words.size(); ++id)
    if (tally.words[id] > 0 && !stopword_[id]) candidates.push_back({tally.words[id], static_cast<int>(id), -1});
  tally.pairs.forEach([&](std::uint64_t key, qint64 count) {
    const int first = PairCounts::first(key);
    const int second = PairCounts::second(key);
    if (longEnough(first, second)) candidates.push_back({count, first, second});
  });

  // Only entries that reach the limit-th highest count can be ranked; spell
  // out just those before ordering by text.
  if (static_cast<qsizetype>(candidates.size()) > limit && limit > 0) {
    std::vector<qint64> counts;
    counts.reserve(candidates.size());
    for (const Candidate& candidate : candidates) counts.push_back(candidate.count);
    std::nth_element(counts.begin(), counts.begin() + (limit - 1), counts.end(), std::greater<>());
    const qint64 threshold = counts[static_cast<size_t>(limit - 1)];
    std::erase_if(candidates, [threshold](const Candidate& candidate) { return candidate.count < threshold; });
  }
  QHash<QString, qint64> counts;
  counts.reserve(static_cast<qsizetype>(candidates.size()));
  for (const Candidate& candidate : candidates)
    counts.insert(candidate.second < 0 ? tokens_[candidate.first].text : phrase(candidate.first, candidate.second),
                  candidate.count);

  QList<PhraseStat> stats;
  for (const RankedCount& entry : rankCounts(counts, limit)) stats.append(PhraseStat{entry.text, entry.count});
  return stats;
}

}  // namespace

PhraseAnalyzer::PhraseAnalyzer()
    : PhraseAnalyzer(QSet<QString>(defaultStopwords().begin(), defaultStopwords().end())) {}

PhraseAnalyzer::PhraseAnalyzer(QSet<QString> stopwords) : stopwords_(std::move(stopwords)) {}

const QStringList& PhraseAnalyzer::defaultStopwords() {
  static const QStringList words = {"the",    "and",   "you",  "for",   "that",  "this", "with", "but",   "are",
                                    "was",    "were",  "have", "just",  "not",   "all",  "your", "they",  "our",
                                    "out",    "what",  "when", "where", "how",   "why",  "can",  "could", "would",
                                    "should", "there", "here", "from",  "about", "like", "yeah", "okay"};
  return words;
}

PersonPhraseBreakdown PhraseAnalyzer::analyze(const MessageList& messages) const {
  return analyze(PreparedConversation(messages));
}

PersonPhraseBreakdown PhraseAnalyzer::analyze(const PreparedConversation& conversation) const {
  const PhraseCounter counter(stopwords_, conversation);
  Tally me;
  Tally them;
  for (qsizetype i = 0; i < conversation.size(); ++i)
    counter.add(conversation.tokensOf(i), conversation.message(i).isFromMe ? me : them);
  return {counter.ranked(me, kTopLimit), counter.ranked(them, kTopLimit)};
}

QList<PhraseStat> PhraseAnalyzer::topPhrases(const MessageList& messages) const {
  const PreparedConversation conversation(messages);
  const PhraseCounter counter(stopwords_, conversation);
  Tally all;
  for (qsizetype i = 0; i < conversation.size(); ++i) counter.add(conversation.tokensOf(i), all);
  return counter.ranked(all, kTopLimit);
}

}  // namespace murmela
