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

  const QString& term() const { return term_; }
  // Non-overlapping matches, scanning left to right.
  qsizetype count(QStringView loweredText) const;
  bool containedIn(QStringView loweredText) const;

 private:
  qsizetype nextMatch(QStringView text, qsizetype from) const;  // start index or -1

  QString term_;
};

}  // namespace murmela
