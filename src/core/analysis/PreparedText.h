#pragma once

#include "common/WholeWordMatcher.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <cstdint>
#include <vector>

namespace murmela {

// A 256-bit set of the adjacent UTF-16 unit pairs of a text. A text can only
// contain a needle when its set holds every pair of the needle, so comparing
// sets skips most terms of a list without searching the message for them.
class PairSignature {
 public:
  PairSignature() = default;
  explicit PairSignature(QStringView text);

  bool mayContain(const PairSignature& needle) const {
    return ((bits_[0] & needle.bits_[0]) == needle.bits_[0]) && ((bits_[1] & needle.bits_[1]) == needle.bits_[1]) &&
           ((bits_[2] & needle.bits_[2]) == needle.bits_[2]) && ((bits_[3] & needle.bits_[3]) == needle.bits_[3]);
  }

 private:
  std::array<std::uint64_t, 4> bits_{};
};

// One message text prepared for many term searches: lowered once, with the
// signature of its lowered form. Reuse one object across messages.
class PreparedText {
 public:
  PreparedText() = default;
  explicit PreparedText(const QString& text) { reset(text); }

  void reset(const QString& text);
  const QString& lowered() const { return lowered_; }

  // WholeWordMatcher::lowered(text) into `buffer`, reusing its storage: plain
  // ASCII (most chat text) is lowered here without a new allocation.
  static void lowerInto(const QString& text, QString& buffer);
  const PairSignature& signature() const { return signature_; }

  // Plain substring test (no word boundaries) for a needle that is already lower case.
  bool containsLiteral(QStringView needle, const PairSignature& needleSignature) const {
    return signature_.mayContain(needleSignature) &&
           (needle.isEmpty() ? QStringView(lowered_).contains(needle)
                             : WholeWordMatcher::indexOfLiteral(lowered_, needle, 0) >= 0);
  }

 private:
  QString lowered_;
  PairSignature signature_;
};

// A whole-word matcher for one term together with the signature of the
// lowered term. Results are exactly those of WholeWordMatcher; the signature
// only rules out texts that cannot contain the term.
class TermMatcher {
 public:
  explicit TermMatcher(const QString& term) : matcher_(term), signature_(matcher_.term()) {}

  const QString& term() const { return matcher_.term(); }
  qsizetype count(const PreparedText& text) const {
    return text.signature().mayContain(signature_) ? matcher_.count(text.lowered()) : 0;
  }
  bool containedIn(const PreparedText& text) const {
    return text.signature().mayContain(signature_) && matcher_.containedIn(text.lowered());
  }

 private:
  WholeWordMatcher matcher_;
  PairSignature signature_;
};

// Matchers for a list of terms, in list order; built once per analyzer.
std::vector<TermMatcher> makeTermMatchers(const QStringList& terms);

}  // namespace murmela
