#include "common/UnicodeText.h"

#include <QStringDecoder>

#include <unicode/brkiter.h>
#include <unicode/normalizer2.h>
#include <unicode/ubrk.h>
#include <unicode/uchar.h>
#include <unicode/utext.h>

#include <memory>

namespace murmela::UnicodeText {
namespace {

// One grapheme iterator per thread: ICU iterators are not thread-safe, and making
// one per call costs more than the scan itself.
icu::BreakIterator* graphemeIterator() {
  thread_local std::unique_ptr<icu::BreakIterator> iterator = [] {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> made(
        icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    if (U_FAILURE(status)) made.reset();
    return made;
  }();
  return iterator.get();
}

// Points the thread's iterator at the text; false when ICU is unusable.
bool setText(icu::BreakIterator* iterator, QStringView text) {
  if (!iterator) return false;
  UErrorCode status = U_ZERO_ERROR;
  UText* utext = utext_openUChars(nullptr, reinterpret_cast<const UChar*>(text.utf16()), text.size(), &status);
  if (U_FAILURE(status)) return false;
  iterator->setText(utext, status);
  utext_close(utext);  // the iterator keeps its own shallow clone
  return U_SUCCESS(status);
}

}  // namespace

QList<qsizetype> graphemeBoundaries(QStringView text) {
  QList<qsizetype> bounds;
  bounds.reserve(text.size() + 1);
  icu::BreakIterator* iterator = graphemeIterator();
  if (text.isEmpty()) {
    bounds.append(0);
    return bounds;
  }
  if (!setText(iterator, text)) {
    for (qsizetype i = 0; i <= text.size(); ++i) bounds.append(i);
    return bounds;
  }
  for (int32_t at = iterator->first(); at != icu::BreakIterator::DONE; at = iterator->next()) bounds.append(at);
  return bounds;
}

namespace {

std::unique_ptr<icu::BreakIterator> makeIterator(bool words) {
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<icu::BreakIterator> made(
      words ? icu::BreakIterator::createWordInstance(icu::Locale::getRoot(), status)
            : icu::BreakIterator::createSentenceInstance(icu::Locale::getRoot(), status));
  if (U_FAILURE(status)) made.reset();
  return made;
}

// 0, the boundaries the iterator keeps and the size, ascending; with ICU
// unusable, the whole text is one piece.
template <typename Keep>
QList<qsizetype> startsOf(icu::BreakIterator* iterator, QStringView text, Keep keep) {
  QList<qsizetype> starts{0};
  if (text.isEmpty()) return starts;
  if (setText(iterator, text))
    for (int32_t at = iterator->next(); at != icu::BreakIterator::DONE && at < text.size(); at = iterator->next())
      if (keep(*iterator)) starts.append(at);
  starts.append(text.size());
  return starts;
}

}  // namespace

QList<qsizetype> wordStarts(QStringView text) {
  thread_local std::unique_ptr<icu::BreakIterator> iterator = makeIterator(true);
  if (!iterator) return startsOf(nullptr, text, [](icu::BreakIterator&) { return true; });
  // A boundary starts a word when the piece after it is one: ICU gives a
  // piece's status at the boundary that ends it, so look one piece on.
  return startsOf(iterator.get(), text, [](icu::BreakIterator& words) {
    const int32_t at = words.current();
    const int32_t end = words.following(at);
    const bool word = end != icu::BreakIterator::DONE && words.getRuleStatus() != UBRK_WORD_NONE;
    words.isBoundary(at);  // back where the walk was
    return word;
  });
}

QList<qsizetype> sentenceStarts(QStringView text) {
  thread_local std::unique_ptr<icu::BreakIterator> iterator = makeIterator(false);
  return startsOf(iterator.get(), text, [](icu::BreakIterator&) { return true; });
}

qsizetype graphemeCount(QStringView text) {
  if (text.isEmpty()) return 0;
  // Below U+0300 nothing combines with a neighbour and there are no
  // surrogates: every unit is one cluster, except CR LF, which is one.
  bool simple = true;
  qsizetype crlf = 0;
  for (qsizetype i = 0; i < text.size() && simple; ++i) {
    const char16_t unit = text[i].unicode();
    if (unit >= 0x300) simple = false;
    if (unit == u'\r' && i + 1 < text.size() && text[i + 1].unicode() == u'\n') ++crlf;
  }
  if (simple) return text.size() - crlf;
  icu::BreakIterator* iterator = graphemeIterator();
  if (!setText(iterator, text)) return text.size();
  qsizetype count = 0;
  iterator->first();
  while (iterator->next() != icu::BreakIterator::DONE) ++count;
  return count;
}

QString graphemePrefix(QStringView text, qsizetype count) {
  if (count <= 0) return {};
  icu::BreakIterator* iterator = graphemeIterator();
  if (!setText(iterator, text)) return text.left(count).toString();
  iterator->first();
  qsizetype end = 0;
  for (qsizetype taken = 0; taken < count; ++taken) {
    const int32_t next = iterator->next();
    if (next == icu::BreakIterator::DONE) break;
    end = next;
  }
  return text.left(end).toString();
}

QString graphemeSuffix(QStringView text, qsizetype count) {
  if (count <= 0) return {};
  icu::BreakIterator* iterator = graphemeIterator();
  if (!setText(iterator, text)) return text.right(count).toString();
  iterator->last();
  qsizetype start = text.size();
  for (qsizetype taken = 0; taken < count; ++taken) {
    const int32_t previous = iterator->previous();
    if (previous == icu::BreakIterator::DONE) break;
    start = previous;
  }
  return text.mid(start).toString();
}

bool isEmoji(char32_t codePoint) { return u_hasBinaryProperty(static_cast<UChar32>(codePoint), UCHAR_EMOJI); }

bool isEmojiPresentation(char32_t codePoint) {
  return u_hasBinaryProperty(static_cast<UChar32>(codePoint), UCHAR_EMOJI_PRESENTATION);
}

bool isLikelyEmoji(QStringView character) {
  const qsizetype size = character.size();
  for (qsizetype i = 0, width = 1; i < size; i += width) {
    const char32_t scalar = codePointAt(character, i, &width);
    if (isEmojiPresentation(scalar)) return true;
    if (scalar > 0x238C && isEmoji(scalar)) return true;
  }
  return false;
}

bool isWordCharacter(char32_t codePoint) {
  const auto c = static_cast<UChar32>(codePoint);
  if (c == 0x200C || c == 0x200D) return true;
  if (u_hasBinaryProperty(c, UCHAR_ALPHABETIC)) return true;
  const int8_t type = u_charType(c);
  return type == U_NON_SPACING_MARK || type == U_ENCLOSING_MARK || type == U_COMBINING_SPACING_MARK ||
         type == U_DECIMAL_DIGIT_NUMBER || type == U_CONNECTOR_PUNCTUATION;
}

bool isAlphanumeric(char32_t codePoint) {
  const uint32_t mask = U_GET_GC_MASK(static_cast<UChar32>(codePoint));
  return (mask & (U_GC_L_MASK | U_GC_M_MASK | U_GC_N_MASK)) != 0;
}

bool isBoundaryTransparent(char32_t codePoint) {
  const auto c = static_cast<UChar32>(codePoint);
  return u_hasBinaryProperty(c, UCHAR_GRAPHEME_EXTEND) || u_charType(c) == U_FORMAT_CHAR;
}

std::optional<QString> strictUtf8(QByteArrayView bytes, bool keepByteOrderMark) {
  QStringDecoder decoder(QStringDecoder::Utf8,
                         keepByteOrderMark ? QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom
                                           : QStringDecoder::Flag::Stateless);
  QString text = decoder.decode(bytes);
  if (decoder.hasError()) return std::nullopt;
  return text;
}

QString utf8KeepingLeadingFeff(QByteArrayView bytes) {
  QStringDecoder decoder(QStringDecoder::Utf8,
                         QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
  return decoder.decode(bytes);
}

int compareCodePoints(QStringView a, QStringView b) {
  const qsizetype n = std::min(a.size(), b.size());
  for (qsizetype i = 0; i < n; ++i) {
    const char16_t x = a[i].unicode();
    const char16_t y = b[i].unicode();
    if (x == y) continue;
    // Surrogates (0xD800..0xDFFF) encode code points above every BMP unit, so
    // lift them above 0xE000..0xFFFF before comparing.
    const auto fix = [](char16_t unit) -> int {
      return unit >= 0xD800 ? (unit >= 0xE000 ? unit - 0x800 : unit + 0x2000) : unit;
    };
    return fix(x) < fix(y) ? -1 : 1;
  }
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

QString nfc(const QString& text) {
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* normalizer = icu::Normalizer2::getNFCInstance(status);
  if (U_FAILURE(status) || !normalizer) return text.normalized(QString::NormalizationForm_C);
  const icu::UnicodeString source(false, reinterpret_cast<const UChar*>(text.utf16()),
                                  static_cast<int32_t>(text.size()));
  if (normalizer->isNormalized(source, status) && U_SUCCESS(status)) return text;
  status = U_ZERO_ERROR;
  const icu::UnicodeString normalized = normalizer->normalize(source, status);
  if (U_FAILURE(status)) return text.normalized(QString::NormalizationForm_C);
  return QString(reinterpret_cast<const QChar*>(normalized.getBuffer()), normalized.length());
}

}  // namespace murmela::UnicodeText
