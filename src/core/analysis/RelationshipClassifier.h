#pragma once

#include "analysis/PreparedText.h"
#include "analysis/RelationshipClassification.h"
#include "data/Message.h"

#include <QStringList>

#include <vector>

namespace murmela {

// Decides on the device whether a conversation reads romantic, close friend,
// family or casual: keyword hits of three term lists in a sample that favours
// recent messages, against a casual score that grows with the sample's size.
// Writes its progress to the analysis log. Stateless between calls.
class RelationshipClassifier {
 public:
  static constexpr qsizetype kSampleLimit = 200;
  static constexpr qsizetype kRecentCount = 140;
  static constexpr qsizetype kOlderCount = 60;
  static constexpr qint64 kMessagesPerCasualPoint = 25;

  RelationshipClassifier();  // with the default lists
  RelationshipClassifier(QStringList romanticTerms, QStringList closeFriendTerms, QStringList familyTerms);

  static const QStringList& defaultRomanticTerms();     // 14 terms, in order
  static const QStringList& defaultCloseFriendTerms();  // 13 terms, in order
  static const QStringList& defaultFamilyTerms();       // 14 terms, in order
  const QStringList& romanticTerms() const { return romanticTerms_; }
  const QStringList& closeFriendTerms() const { return closeFriendTerms_; }
  const QStringList& familyTerms() const { return familyTerms_; }

  // Never fails; an empty conversation is casual with 0.4.
  RelationshipClassification classifyWithHeuristics(const MessageList& messages) const;

  // At most 200 messages in conversation order: up to 60 spread evenly over
  // all but the last 140, then the last 140.
  static MessageList weightedRecentSample(const MessageList& messages);
  // Whole-word hits of every term in every message (each occurrence, and
  // overlapping terms separately).
  static qint64 score(const MessageList& sample, const QStringList& terms);

 private:
  static qint64 score(const std::vector<PreparedText>& sample, const std::vector<TermMatcher>& terms);

  QStringList romanticTerms_;
  QStringList closeFriendTerms_;
  QStringList familyTerms_;
  std::vector<TermMatcher> romantic_;
  std::vector<TermMatcher> closeFriend_;
  std::vector<TermMatcher> family_;
};

}  // namespace murmela
