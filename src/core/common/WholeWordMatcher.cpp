#include "common/WholeWordMatcher.h"

#include "common/UnicodeText.h"

namespace murmela {
namespace {

// Is there a word boundary at `position` of the text?
bool isBoundary(QStringView text, qsizetype position) {
  bool currentIsWord = false;
  if (position < text.size()) {
    const char32_t current = UnicodeText::codePointAt(text, position);
    if (UnicodeText::isBoundaryTransparent(current)) return false;
    currentIsWord = UnicodeText::isWordCharacter(current);
  }
  bool previousIsWord = false;
  qsizetype at = position;
  while (at > 0) {
    qsizetype start = 0;
    const char32_t previous = UnicodeText::codePointBefore(text, at, &start);
    if (!UnicodeText::isBoundaryTransparent(previous)) {
      previousIsWord = UnicodeText::isWordCharacter(previous);
      break;
    }
    at = start;
  }
  return currentIsWord != previousIsWord;
}

}  // namespace

WholeWordMatcher::WholeWordMatcher(const QString& term) : term_(term.toLower()) {}

qsizetype WholeWordMatcher::nextMatch(QStringView text, qsizetype from) const {
  if (term_.isEmpty()) return -1;
  const QStringView needle(term_);
  for (qsizetype at = text.indexOf(needle, from); at >= 0; at = text.indexOf(needle, at + 1)) {
    if (isBoundary(text, at) && isBoundary(text, at + needle.size())) return at;
  }
  return -1;
}

qsizetype WholeWordMatcher::count(QStringView loweredText) const {
  qsizetype matches = 0;
  for (qsizetype at = nextMatch(loweredText, 0); at >= 0; at = nextMatch(loweredText, at + term_.size())) ++matches;
  return matches;
}

bool WholeWordMatcher::containedIn(QStringView loweredText) const { return nextMatch(loweredText, 0) >= 0; }

}  // namespace murmela
