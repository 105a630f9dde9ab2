#include "common/WholeWordMatcher.h"

#include "common/UnicodeText.h"

#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

qsizetype WholeWordMatcher::indexOfLiteral(QStringView text, QStringView needle, qsizetype from) {
  const qsizetype length = needle.size();
  const qsizetype last = text.size() - length;  // the last position a match can start at
  const char16_t* units = text.utf16();
  const char16_t* wanted = needle.utf16();
  const auto restMatches = [&](qsizetype at) {
    qsizetype i = 1;
    while (i < length && units[at + i] == wanted[i]) ++i;
    return i == length;
  };
  qsizetype at = from;
#if defined(__SSE2__)
  if (length >= 2) {
    // Eight start positions per step: those where the first two units stand.
    // Reads reach at + 8, which lies inside the text while at + 7 <= last.
    const __m128i first = _mm_set1_epi16(static_cast<short>(wanted[0]));
    const __m128i second = _mm_set1_epi16(static_cast<short>(wanted[1]));
    for (; at + 7 <= last; at += 8) {
      const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + at));
      const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + at + 1));
      auto mask = static_cast<unsigned>(
          _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi16(here, first), _mm_cmpeq_epi16(next, second))));
      while (mask != 0) {
        const qsizetype candidate = at + std::countr_zero(mask) / 2;
        if (restMatches(candidate)) return candidate;
        mask &= mask - 1;
        mask &= mask - 1;  // both bits of the unit
      }
    }
  }
#endif
  for (; at <= last; ++at)
    if (units[at] == wanted[0] && restMatches(at)) return at;
  return -1;
}

WholeWordMatcher::WholeWordMatcher(const QString& term) : term_(term.toLower()) {}

qsizetype WholeWordMatcher::nextMatch(QStringView text, qsizetype from) const {
  if (term_.isEmpty()) return -1;
  const QStringView needle(term_);
  for (qsizetype at = indexOfLiteral(text, needle, from); at >= 0; at = indexOfLiteral(text, needle, at + 1)) {
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
