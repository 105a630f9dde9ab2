#pragma once

#include "common/UnicodeText.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>

namespace murmela {

// The word tokens of a text: lower-cased, split at every code point that is
// not a letter, mark or number, and only the pieces of three or more
// characters (grapheme clusters) kept, in order. "Don't!!" gives "don".
QStringList tokenize(const QString& text);

// One token of an already lowered text, as a view into that text.
struct TokenView {
  QStringView text;
  // Every UTF-16 unit lies below U+0300: then each unit is one character,
  // nothing combines with a neighbour, and the text is already in NFC.
  bool simple = false;
};

// The tokenizer's work on a lowered text without copies: visit(TokenView) for
// each token in order.
template <typename Visitor>
void forEachToken(QStringView lowered, Visitor&& visit);

namespace TokenizerDetail {
// Letters and digits of ASCII, one bit per unit below U+0080.
inline constexpr std::uint64_t kAsciiWordLow = 0x03FF000000000000ull;   // 0-9
inline constexpr std::uint64_t kAsciiWordHigh = 0x07FFFFFE07FFFFFEull;  // A-Z, a-z
inline bool isAsciiWordUnit(char16_t unit) {
  return ((unit < 64 ? kAsciiWordLow >> unit : kAsciiWordHigh >> (unit - 64)) & 1) != 0;
}
inline bool isWordUnit(char32_t codePoint) {
  if (codePoint < 0x80) return isAsciiWordUnit(static_cast<char16_t>(codePoint));
  return UnicodeText::isAlphanumeric(codePoint);
}
}  // namespace TokenizerDetail

// Every maximal run of word units (letters, marks, numbers) of a lowered text,
// whatever its length: visit(QStringView piece, bool simple) in order, where
// simple means every unit of the piece lies below U+0300.
template <typename Visitor>
void forEachWordPiece(QStringView lowered, Visitor&& visit) {
  const qsizetype size = lowered.size();
  qsizetype start = -1;
  bool simple = true;
  for (qsizetype i = 0, width = 1; i < size; i += width) {
    const char16_t unit = lowered[i].unicode();
    // Most chat text is ASCII: one unit, one table look-up.
    const char32_t codePoint = unit < 0x80 ? (width = 1, unit) : UnicodeText::codePointAt(lowered, i, &width);
    if (unit < 0x80 ? TokenizerDetail::isAsciiWordUnit(unit) : TokenizerDetail::isWordUnit(codePoint)) {
      if (start < 0) {
        start = i;
        simple = true;
      }
      if (codePoint >= 0x300) simple = false;
    } else if (start >= 0) {
      visit(lowered.mid(start, i - start), simple);
      start = -1;
    }
  }
  if (start >= 0) visit(lowered.mid(start, size - start), simple);
}

template <typename Visitor>
void forEachToken(QStringView lowered, Visitor&& visit) {
  forEachWordPiece(lowered, [&visit](QStringView piece, bool simple) {
    // A piece of fewer than three units cannot hold three characters.
    if (piece.size() >= 3 && (simple || UnicodeText::graphemeCount(piece) >= 3)) visit(TokenView{piece, simple});
  });
}

}  // namespace murmela
