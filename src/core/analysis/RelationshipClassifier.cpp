#include "analysis/RelationshipClassifier.h"

#include "common/AnalysisLogger.h"
#include "common/FixedDecimal.h"

#include <algorithm>
#include <array>

namespace murmela {
namespace {

const QString kLogPrefix = QStringLiteral("Heuristic relationship classifier: ");

std::vector<PreparedText> prepared(const MessageList& messages) {
  std::vector<PreparedText> texts;
  texts.reserve(static_cast<size_t>(messages.size()));
  for (const Message& message : messages) texts.emplace_back(message.text);
  return texts;
}

}  // namespace

RelationshipClassifier::RelationshipClassifier()
    : RelationshipClassifier(defaultRomanticTerms(), defaultCloseFriendTerms(), defaultFamilyTerms()) {}

RelationshipClassifier::RelationshipClassifier(QStringList romanticTerms, QStringList closeFriendTerms,
                                               QStringList familyTerms)
    : romanticTerms_(std::move(romanticTerms)),
      closeFriendTerms_(std::move(closeFriendTerms)),
      familyTerms_(std::move(familyTerms)),
      romantic_(makeTermMatchers(romanticTerms_)),
      closeFriend_(makeTermMatchers(closeFriendTerms_)),
      family_(makeTermMatchers(familyTerms_)) {}

const QStringList& RelationshipClassifier::defaultRomanticTerms() {
  static const QStringList terms = {"i love you", "love you",   "ily",        "babe",       "baby",
                                    "bb",         "sweetheart", "date night", "kiss",       "cuddle",
                                    "boyfriend",  "girlfriend", "partner",    "anniversary"};
  return terms;
}

const QStringList& RelationshipClassifier::defaultCloseFriendTerms() {
  static const QStringList terms = {"bestie", "best friend", "bff",  "bro",  "dude",      "girl", "queen",
                                    "roomie", "obsessed",    "lmao", "dead", "emergency", "tea"};
  return terms;
}

const QStringList& RelationshipClassifier::defaultFamilyTerms() {
  static const QStringList terms = {"mom",
                                    "dad",
                                    "mama",
                                    "papa",
                                    "sis",
                                    "sister",
                                    "brother",
                                    "kiddo",
                                    "home",
                                    "dinner",
                                    "how was your day",
                                    "proud of you",
                                    "be safe",
                                    "call me"};
  return terms;
}

MessageList RelationshipClassifier::weightedRecentSample(const MessageList& messages) {
  const qsizetype n = messages.size();
  if (n <= kSampleLimit) return messages;
  const qsizetype older = n - kRecentCount;
  const qsizetype step = std::max<qsizetype>(older / kOlderCount, 1);
  MessageList sample;
  sample.reserve(kSampleLimit);
  for (qsizetype position = 0; position < older && sample.size() < kOlderCount; position += step)
    sample.append(messages[position]);
  for (qsizetype position = older; position < n; ++position) sample.append(messages[position]);
  return sample;
}

qint64 RelationshipClassifier::score(const std::vector<PreparedText>& sample, const std::vector<TermMatcher>& terms) {
  qint64 total = 0;
  for (const PreparedText& text : sample)
    for (const TermMatcher& term : terms) total += term.count(text);
  return total;
}

qint64 RelationshipClassifier::score(const MessageList& sample, const QStringList& terms) {
  return score(prepared(sample), makeTermMatchers(terms));
}

RelationshipClassification RelationshipClassifier::classifyWithHeuristics(const MessageList& messages) const {
  AnalysisLogger::log(kLogPrefix + QStringLiteral("starting"));
  const MessageList sample = weightedRecentSample(messages);
  if (sample.isEmpty()) {
    AnalysisLogger::log(kLogPrefix + QStringLiteral("no messages; type=casual"));
    return {RelationshipType::casual, 0.4};
  }

  struct Candidate {
    RelationshipType type;
    qint64 score;
  };
  const std::vector<PreparedText> texts = prepared(sample);
  std::array<Candidate, 4> candidates{{
      {RelationshipType::romantic, score(texts, romantic_)},
      {RelationshipType::closeFriend, score(texts, closeFriend_)},
      {RelationshipType::family, score(texts, family_)},
      {RelationshipType::casual, static_cast<qint64>(sample.size()) / kMessagesPerCasualPoint},
  }};
  // Stable: equal scores keep the order romantic, close friend, family, casual.
  std::stable_sort(candidates.begin(), candidates.end(),
                   [](const Candidate& a, const Candidate& b) { return a.score > b.score; });
  const Candidate& top = candidates[0];
  const qint64 runnerUp = candidates[1].score;

  if (top.score == 0) {
    AnalysisLogger::log(kLogPrefix + QStringLiteral("no strong signals; type=") + rawValue(RelationshipType::casual));
    return {RelationshipType::casual, 0.45};
  }

  const qint64 margin = std::max<qint64>(top.score - runnerUp, 1);
  const double confidence =
      std::clamp(static_cast<double>(margin + top.score) / static_cast<double>(sample.size() + 8), 0.55, 0.95);
  AnalysisLogger::log(kLogPrefix + QStringLiteral("success type=") + rawValue(top.type) +
                      QStringLiteral(" confidence=") + fixedDecimal(confidence, 2));
  return {top.type, confidence};
}

}  // namespace murmela
