#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace murmela::UnicodeText {

// "Characters" in user-facing counts are extended grapheme clusters (ICU rules:
// a flag, a ZWJ family or a base with its marks is one).
qsizetype graphemeCount(QStringView text);
// The first / last `count` grapheme clusters (the whole text when shorter).
QString graphemePrefix(QStringView text, qsizetype count);
QString graphemeSuffix(QStringView text, qsizetype count);
// Calls visit(QStringView cluster) for every grapheme cluster, without copies.
template <typename Visitor>
void forEachGrapheme(QStringView text, Visitor&& visit);

// Code-point properties (ICU binary properties).
bool isEmoji(char32_t codePoint);
bool isEmojiPresentation(char32_t codePoint);
// Whether one character (extended grapheme cluster) counts as an emoji: one of
// its scalars has Emoji_Presentation, or has Emoji and lies above U+238C. So a
// flag, a skin-tone or a ZWJ sequence is one emoji, while a keycap ("1" U+FE0F
// U+20E3), U+00A9 or U+203C is none.
bool isLikelyEmoji(QStringView character);
// Word characters as regular-expression word boundaries see them: Alphabetic,
// marks, decimal digits, connector punctuation, ZWNJ and ZWJ.
bool isWordCharacter(char32_t codePoint);
// Letters, marks and numbers in the Unicode sense (the tokenizer's word characters).
bool isAlphanumeric(char32_t codePoint);
// Combining characters that a word boundary looks through: Grapheme_Extend or format (Cf).
bool isBoundaryTransparent(char32_t codePoint);

// Unicode line terminators a text is split at: LF, VT, FF, CR, NEL, LS, PS.
inline bool isLineBreak(QChar c) {
  switch (c.unicode()) {
    case 0x000A:
    case 0x000B:
    case 0x000C:
    case 0x000D:
    case 0x0085:
    case 0x2028:
    case 0x2029:
      return true;
    default:
      return false;
  }
}

// The code point starting at `index` (a lone surrogate stands for itself);
// `width` receives its length in UTF-16 units (1 or 2).
inline char32_t codePointAt(QStringView text, qsizetype index, qsizetype* width = nullptr) {
  const char16_t unit = text[index].unicode();
  if (QChar::isHighSurrogate(unit) && index + 1 < text.size() && QChar::isLowSurrogate(text[index + 1].unicode())) {
    if (width) *width = 2;
    return QChar::surrogateToUcs4(unit, text[index + 1].unicode());
  }
  if (width) *width = 1;
  return unit;
}

// The code point ending just before `index`; `start` receives where it begins.
inline char32_t codePointBefore(QStringView text, qsizetype index, qsizetype* start = nullptr) {
  const char16_t unit = text[index - 1].unicode();
  if (QChar::isLowSurrogate(unit) && index >= 2 && QChar::isHighSurrogate(text[index - 2].unicode())) {
    if (start) *start = index - 2;
    return QChar::surrogateToUcs4(text[index - 2].unicode(), unit);
  }
  if (start) *start = index - 1;
  return unit;
}

// Strict UTF-8: the text, or nothing when any byte sequence is invalid. A
// leading byte-order mark is dropped unless keepByteOrderMark is set.
std::optional<QString> strictUtf8(QByteArrayView bytes, bool keepByteOrderMark = false);
// UTF-8 as QString::fromUtf8 reads it (an invalid sequence becomes U+FFFD),
// but a leading U+FEFF is kept: in a stored text it is a character of the
// text, not a byte order mark (fromUtf8 drops it).
QString utf8KeepingLeadingFeff(QByteArrayView bytes);

// Orders by Unicode code point (not by UTF-16 unit, which differs above U+FFFF).
int compareCodePoints(QStringView a, QStringView b);
inline bool lessByCodePoint(QStringView a, QStringView b) { return compareCodePoints(a, b) < 0; }

// Canonical composition (NFC): the key under which names and words are compared.
QString nfc(const QString& text);

// Where words and sentences begin, as UTF-16 offsets (0 and size included),
// by ICU's rules: a word start is a boundary before a word (letters, digits,
// ideographs); what lies between two starts is a word and the spaces or
// punctuation after it. A sentence runs to the next sentence start.
QList<qsizetype> wordStarts(QStringView text);
QList<qsizetype> sentenceStarts(QStringView text);

// Internal: boundaries of the grapheme clusters, as UTF-16 offsets (0 and size included).
QList<qsizetype> graphemeBoundaries(QStringView text);

template <typename Visitor>
void forEachGrapheme(QStringView text, Visitor&& visit) {
  const QList<qsizetype> bounds = graphemeBoundaries(text);
  for (qsizetype i = 0; i + 1 < bounds.size(); ++i) visit(text.mid(bounds[i], bounds[i + 1] - bounds[i]));
}

}  // namespace murmela::UnicodeText
