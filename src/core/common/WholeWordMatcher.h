#pragma once

#include <QString>
#include <QStringView>

namespace murmela {

// Case-insensitive whole-word search for one term, as a regular expression
// "\b<term>\b" behaves: the term matches literally, and a word boundary must
// stand at both ends. A boundary lies between a word character and a non-word
// character; combining marks and format characters are looked through, and a
// position just before one is never a boundary.
//
// Make one matcher per term and run; it is cheap to copy and thread-safe to use.
// The text given to count()/containedIn() must already be lower-cased with
// lowered() (callers lower a message once for all terms).
class WholeWordMatcher {
 public:
  explicit WholeWordMatcher(const QString& term);

  static QString lowered(const QString& text) { return text.toLower(); }

  // QStringView::indexOf(needle, from) for a non-empty needle and from >= 0,
  // case-sensitive: the first position at or after `from` where the needle's
  // units stand. Chat messages and terms are short: a scan for the first two
  // units, eight positions at a time, beats the general search there.
  static qsizetype indexOfLiteral(QStringView text, QStringView needle, qsizetype from);

  const QString& term() const { return term_; }
  // Non-overlapping matches, scanning left to right.
  qsizetype count(QStringView loweredText) const;
  bool containedIn(QStringView loweredText) const;

 private:
  qsizetype nextMatch(QStringView text, qsizetype from) const;  // start index or -1

  QString term_;
};

}  // namespace murmela
