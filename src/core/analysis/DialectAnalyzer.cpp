#include "analysis/DialectAnalyzer.h"

#include "analysis/RankedCounts.h"

#include <QHash>

namespace murmela {
namespace {

QList<PhraseStat> ranked(const QStringList& terms, const std::vector<qint64>& counts, qsizetype limit) {
  QHash<QString, qint64> dictionary;
  for (qsizetype i = 0; i < terms.size(); ++i)
    if (counts[static_cast<size_t>(i)] > 0) dictionary[terms[i]] += counts[static_cast<size_t>(i)];
  QList<PhraseStat> stats;
  for (const RankedCount& entry : rankCounts(dictionary, limit)) stats.append(PhraseStat{entry.text, entry.count});
  return stats;
}

}  // namespace

DialectAnalyzer::DialectAnalyzer() : DialectAnalyzer(defaultTerms()) {}

DialectAnalyzer::DialectAnalyzer(QStringList terms) : terms_(std::move(terms)), matchers_(makeTermMatchers(terms_)) {}

const QStringList& DialectAnalyzer::defaultTerms() {
  static const QStringList terms = {
      "lol",        "lmao",  "rofl",   "omg",       "idk",          "tbh",       "wyd",      "rn",     "fr",
      "ok",         "okay",  "haha",   "hahaha",    "babe",         "baby",      "miss you", "miss u", "love you",
      "i love you", "sorry", "my bad", "goodnight", "good morning", "come over", "be safe",  "rip"};
  return terms;
}

PersonPhraseBreakdown DialectAnalyzer::analyze(const MessageList& messages) const {
  return analyze(PreparedConversation(messages));
}

PersonPhraseBreakdown DialectAnalyzer::analyze(const PreparedConversation& conversation) const {
  std::vector<qint64> me(matchers_.size(), 0);
  std::vector<qint64> them(matchers_.size(), 0);
  for (qsizetype at = 0; at < conversation.size(); ++at) {
    const PreparedText& text = conversation.text(at);
    std::vector<qint64>& counts = conversation.message(at).isFromMe ? me : them;
    for (size_t i = 0; i < matchers_.size(); ++i) counts[i] += matchers_[i].count(text);
  }
  return {ranked(terms_, me, kTopLimit), ranked(terms_, them, kTopLimit)};
}

QList<PhraseStat> DialectAnalyzer::topTerms(const MessageList& messages) const {
  std::vector<qint64> counts(matchers_.size(), 0);
  PreparedText text;
  for (const Message& message : messages) {
    text.reset(message.text);
    for (size_t i = 0; i < matchers_.size(); ++i) counts[i] += matchers_[i].count(text);
  }
  return ranked(terms_, counts, kTopLimit);
}

}  // namespace murmela
