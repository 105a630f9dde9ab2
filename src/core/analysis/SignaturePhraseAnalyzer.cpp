#include "analysis/SignaturePhraseAnalyzer.h"

#include "analysis/GenerativeAnalyzer.h"
#include "analysis/PreparedText.h"
#include "analysis/Tokenizer.h"
#include "analysis/WordRuns.h"
#include "common/AnalysisLogger.h"
#include "common/UnicodeText.h"
#include "common/WholeWordMatcher.h"

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace murmela {
namespace {

const QString kILoveYou = QStringLiteral("i love you");
const QString kLoveYou = QStringLiteral("love you");

const QStringList kFriendTerms = {"bestie", "bro", "dude", "girl", "queen", "fam", "roomie", "buddy"};
const QStringList kFamilyCheckIns = {"you good", "you okay", "how was your day", "be safe", "call me", "love you"};

QStringList wordsOf(const QString& phrase) { return phrase.split(QLatin1Char(' '), Qt::SkipEmptyParts); }

// normalizedForPhraseMatching of an already lowered text, written into
// `buffer` (reused between calls); the result is a view into it.
QStringView normalizeLowered(QStringView lowered, std::u16string& buffer) {
  const qsizetype size = lowered.size();
  // A piece grows at most from "u" to "you" (3x), plus one space per piece.
  buffer.resize(static_cast<size_t>(size) * 4 + 1);
  char16_t* out = buffer.data();
  qsizetype written = 0;
  const auto put = [&](QStringView piece) {
    if (written > 0) out[written++] = u' ';
    for (const QChar unit : piece) out[written++] = unit.unicode();
  };
  forEachWordPiece(lowered, [&](QStringView piece, bool) {
    if (piece == u"ily")
      put(kILoveYou);
    else if (piece == u"u")
      put(u"you");
    else
      put(piece);
  });
  return QStringView(out, written);
}

// A run of the ranking, its text spelled out only when it is needed.
struct Ranked {
  qint64 count;
  qsizetype characters;
  QString text;
};

bool ranksBefore(const Ranked& a, const Ranked& b) {
  if (a.count != b.count) return a.count > b.count;
  if (a.characters != b.characters) return a.characters > b.characters;
  return UnicodeText::lessByCodePoint(a.text, b.text);
}

std::optional<SignaturePhrase> mostUsedTerm(const QStringList& terms, const PreparedConversation& conversation,
                                            const QString& fallbackFlavor) {
  const QList<qint64> counts = SignaturePhraseAnalyzer::fuzzyCounts(terms, conversation);
  qsizetype best = -1;
  for (qsizetype i = 0; i < terms.size(); ++i)
    if (counts[i] >= 1 && (best < 0 || counts[i] > counts[best])) best = i;
  if (best < 0) return std::nullopt;
  return SignaturePhrase{terms[best], counts[best], fallbackFlavor};
}

}  // namespace

SignaturePhraseAnalyzer::SignaturePhraseAnalyzer()
    : SignaturePhraseAnalyzer(QSet<QString>(defaultGenericPhrases().begin(), defaultGenericPhrases().end())) {}

SignaturePhraseAnalyzer::SignaturePhraseAnalyzer(QSet<QString> genericPhrases)
    : genericPhrases_(std::move(genericPhrases)) {
  for (const QString& entry : std::as_const(genericPhrases_))
    if (entry.count(QLatin1Char(' ')) >= kShortestRun - 1) genericRuns_.insert(entry);
}

const QStringList& SignaturePhraseAnalyzer::defaultGenericPhrases() {
  static const QStringList phrases = {"ok",     "okay",  "yeah",     "yes",          "no",        "lol",  "haha",
                                      "hahaha", "sure",  "what",     "when",         "where",     "that", "this",
                                      "thing",  "today", "tomorrow", "good morning", "good night"};
  return phrases;
}

bool SignaturePhraseAnalyzer::isGeneric(const QString& phrase) const {
  if (genericPhrases_.contains(phrase)) return true;
  const QStringList words = wordsOf(phrase);
  return std::all_of(words.begin(), words.end(),
                     [this](const QString& word) { return genericPhrases_.contains(word); });
}

QList<PhraseStat> SignaturePhraseAnalyzer::rankedPhrases(const MessageList& messages, qsizetype limit) const {
  return rankedPhrases(PreparedConversation(messages), limit);
}

QList<PhraseStat> SignaturePhraseAnalyzer::rankedPhrases(const PreparedConversation& conversation,
                                                         qsizetype limit) const {
  if (limit <= 0) return {};
  const WordRuns runs(conversation, kShortestRun, kLongestRun, kMinimumCount);
  const TokenTable& tokens = runs.tokens();

  std::vector<char> genericWord(tokens.size());
  for (size_t id = 0; id < tokens.size(); ++id)
    genericWord[id] = genericPhrases_.contains(tokens[static_cast<int>(id)].text) ? 1 : 0;

  // Runs hold 3 to 5 tokens and tokens hold no space, so every run has the 3
  // to 7 words a ranked phrase needs.
  std::vector<const WordRuns::Run*> kept;
  for (const WordRuns::Run& run : runs.frequentRuns()) {
    bool allGeneric = true;
    for (int i = 0; i < run.length && allGeneric; ++i)
      allGeneric = genericWord[static_cast<size_t>(runs.tokenAt(run.at + static_cast<std::uint32_t>(i)))] != 0;
    if (allGeneric) continue;
    if (!genericRuns_.isEmpty() && genericRuns_.contains(runs.text(run))) continue;
    kept.push_back(&run);
  }

  // Only runs that reach the limit-th highest count can be ranked.
  if (static_cast<qsizetype>(kept.size()) > limit) {
    std::vector<qint64> counts;
    counts.reserve(kept.size());
    for (const WordRuns::Run* run : kept) counts.push_back(run->count);
    std::nth_element(counts.begin(), counts.begin() + (limit - 1), counts.end(), std::greater<>());
    const qint64 threshold = counts[static_cast<size_t>(limit - 1)];
    std::erase_if(kept, [threshold](const WordRuns::Run* run) { return run->count < threshold; });
  }

  std::vector<Ranked> ranked;
  ranked.reserve(kept.size());
  for (const WordRuns::Run* run : kept) {
    QString text = runs.text(*run);
    bool simple = true;
    for (int i = 0; i < run->length && simple; ++i)
      simple = tokens[runs.tokenAt(run->at + static_cast<std::uint32_t>(i))].simple;
    const qsizetype characters = simple ? text.size() : UnicodeText::graphemeCount(text);
    ranked.push_back({run->count, characters, std::move(text)});
  }
  std::sort(ranked.begin(), ranked.end(), ranksBefore);

  QList<PhraseStat> result;
  for (size_t i = 0; i < ranked.size() && static_cast<qsizetype>(i) < limit; ++i)
    result.append(PhraseStat{ranked[i].text, ranked[i].count});
  return result;
}

qint64 SignaturePhraseAnalyzer::winningThreshold(qint64 messageCount) {
  if (messageCount >= 6000) return 20;
  if (messageCount >= 1200) return messageCount / 300;
  return 4;
}

QString SignaturePhraseAnalyzer::normalizedForPhraseMatching(const QString& text) {
  std::u16string buffer;
  return normalizeLowered(WholeWordMatcher::lowered(text), buffer).toString();
}

QList<qint64> SignaturePhraseAnalyzer::fuzzyCounts(const QStringList& phrases,
                                                   const PreparedConversation& conversation) {
  QList<qint64> counts(phrases.size(), 0);
  if (conversation.size() == 0 || phrases.isEmpty()) return counts;

  struct Query {
    qsizetype index;
    bool loveYou;  // the message-count rule of "i love you"
    WholeWordMatcher matcher;
    // A word the lowered message must contain for a match to be possible (a
    // word of the phrase that no spelling-out produces), or empty.
    QString anchor;
    PairSignature anchorSignature;
  };
  std::vector<Query> queries;
  for (qsizetype i = 0; i < phrases.size(); ++i) {
    if (phrases[i] == kILoveYou) {
      queries.push_back({i, true, WholeWordMatcher(kILoveYou), QString(), PairSignature()});
      continue;
    }
    const QString normalized = normalizedForPhraseMatching(phrases[i]);
    if (normalized.isEmpty()) continue;
    QString anchor;
    for (const QString& word : wordsOf(normalized))
      if (word != u"i" && word != u"love" && word != u"you" && word.size() > anchor.size()) anchor = word;
    queries.push_back({i, false, WholeWordMatcher(normalized), anchor, PairSignature(anchor)});
  }
  if (queries.empty()) return counts;

  const WholeWordMatcher ily(QStringLiteral("ily"));
  std::vector<char> possible(queries.size());
  std::u16string buffer;
  for (qsizetype at = 0; at < conversation.size(); ++at) {
    const PreparedText& prepared = conversation.text(at);
    const QStringView text(prepared.lowered());
    bool any = false;
    for (size_t i = 0; i < queries.size(); ++i) {
      const Query& query = queries[i];
      // Every other word of the normalized text stands in the lowered text as
      // it is, so a missing anchor rules the message out.
      const bool may = query.loveYou ? text.contains(u"love") || text.contains(u"ily")
                                     : query.anchor.isEmpty() ||
                                           prepared.containsLiteral(query.anchor, query.anchorSignature);
      possible[i] = may ? 1 : 0;
      any = any || may;
    }
    if (!any) continue;

    const QStringView normalized = normalizeLowered(text, buffer);
    for (size_t i = 0; i < queries.size(); ++i) {
      if (!possible[i]) continue;
      const Query& query = queries[i];
      if (!query.loveYou) {
        counts[query.index] += query.matcher.count(normalized);
        continue;
      }
      // A message says it at most once: "i love you" or "love you" anywhere,
      // "ily" as a word, or a spelling that normalizes to "love you" ("love u").
      if (text.contains(kILoveYou) || ily.containedIn(text) || text.contains(kLoveYou) || normalized.contains(kLoveYou))
        ++counts[query.index];
    }
  }
  return counts;
}

QList<qint64> SignaturePhraseAnalyzer::fuzzyCounts(const QStringList& phrases, const MessageList& messages) {
  return fuzzyCounts(phrases, PreparedConversation(messages));
}

qint64 SignaturePhraseAnalyzer::fuzzyCount(const QString& phrase, const MessageList& messages) {
  return fuzzyCount(phrase, PreparedConversation(messages));
}

qint64 SignaturePhraseAnalyzer::fuzzyCount(const QString& phrase, const PreparedConversation& conversation) {
  return fuzzyCounts({phrase}, conversation).constFirst();
}

QString SignaturePhraseAnalyzer::flavorLine(const QString& phrase, RelationshipType relationshipType) {
  switch (relationshipType) {
    case RelationshipType::romantic:
      return QStringLiteral("(their recurring soft spot)");
    case RelationshipType::closeFriend:
      return QStringLiteral("(the inside-joke alarm)");
    case RelationshipType::family:
      return QStringLiteral("(the family check-in)");
    case RelationshipType::casual:
      break;
  }
  return QLatin1Char('(') + phrase + QStringLiteral(" kept showing up)");
}

std::optional<SignaturePhrase> SignaturePhraseAnalyzer::fallbackSignaturePhrase(RelationshipType relationshipType,
                                                                                const MessageList& messages) {
  return fallbackSignaturePhrase(relationshipType, PreparedConversation(messages));
}

std::optional<SignaturePhrase> SignaturePhraseAnalyzer::fallbackSignaturePhrase(
    RelationshipType relationshipType, const PreparedConversation& conversation) {
  switch (relationshipType) {
    case RelationshipType::romantic: {
      const qint64 count = fuzzyCount(kILoveYou, conversation);
      if (count < 1) return std::nullopt;
      return SignaturePhrase{kILoveYou, count, QStringLiteral("(the classic)")};
    }
    case RelationshipType::closeFriend:
      return mostUsedTerm(kFriendTerms, conversation, QStringLiteral("(the bat signal)"));
    case RelationshipType::family:
      return mostUsedTerm(kFamilyCheckIns, conversation, QStringLiteral("(the check-in)"));
    case RelationshipType::casual:
      break;
  }
  return std::nullopt;
}

std::optional<SignaturePhrase> SignaturePhraseAnalyzer::analyze(const MessageList& messages,
                                                                RelationshipType relationshipType) const {
  return analyze(PreparedConversation(messages), relationshipType);
}

std::optional<SignaturePhrase> SignaturePhraseAnalyzer::analyze(const PreparedConversation& conversation,
                                                                RelationshipType relationshipType) const {
  const QList<PhraseStat> ranked = rankedPhrases(conversation, kShortlistLimit);
  QList<GenerativeAnalyzer::SignaturePhraseOption> shortlist;
  for (const PhraseStat& entry : ranked) shortlist.append({entry.phrase, entry.count});

  if (const auto pick = GenerativeAnalyzer::signaturePhraseCandidate(shortlist, relationshipType)) {
    const qint64 count = fuzzyCount(pick->phrase, conversation);
    if (count >= 1 && !isGeneric(pick->phrase)) return SignaturePhrase{pick->phrase, count, pick->flavorLine};
    AnalysisLogger::log(QStringLiteral("AFM signature phrase: rejected selected phrase='") + pick->phrase +
                        QStringLiteral("' count=") + QString::number(count) +
                        QStringLiteral("; using heuristic shortlist winner"));
  }
  return analyzeWithHeuristics(conversation, relationshipType, ranked);
}

std::optional<SignaturePhrase> SignaturePhraseAnalyzer::analyzeWithHeuristics(const PreparedConversation& conversation,
                                                                              RelationshipType relationshipType,
                                                                              const QList<PhraseStat>& ranked) const {
  const QString prefix = QStringLiteral("Heuristic signature phrase: ");
  AnalysisLogger::log(prefix + QStringLiteral("starting"));
  if (!ranked.isEmpty()) {
    const PhraseStat& top = ranked.constFirst();
    if (top.count >= winningThreshold(conversation.size())) {
      AnalysisLogger::log(prefix + QStringLiteral("success phrase='") + top.phrase + QLatin1Char('\''));
      // The fuzzy count also finds spelling variants, but it misses the run
      // where the tokenizer dropped short words ("see you at the pickle jar"
      // is the run "see you the pickle jar"): never report fewer than the run
      // occurred.
      const qint64 count = std::max(fuzzyCount(top.phrase, conversation), top.count);
      return SignaturePhrase{top.phrase, count, flavorLine(top.phrase, relationshipType)};
    }
  }
  std::optional<SignaturePhrase> fallback = fallbackSignaturePhrase(relationshipType, conversation);
  AnalysisLogger::log(prefix + (fallback ? QStringLiteral("fallback phrase='") + fallback->phrase + QLatin1Char('\'')
                                         : QStringLiteral("no phrase")));
  return fallback;
}

}  // namespace murmela
