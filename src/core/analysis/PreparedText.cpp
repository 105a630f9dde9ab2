#include "analysis/PreparedText.h"

namespace murmela {

PairSignature::PairSignature(QStringView text) {
  const qsizetype size = text.size();
  for (qsizetype i = 1; i < size; ++i) {
    const std::uint32_t pair = (std::uint32_t(text[i - 1].unicode()) << 16) | text[i].unicode();
    const std::uint32_t bit = (pair * 0x9E3779B1u) >> 24;  // Fibonacci hashing to 0..255
    bits_[bit >> 6] |= std::uint64_t(1) << (bit & 63);
  }
}

void PreparedText::lowerInto(const QString& text, QString& buffer) {
  bool hasUpper = false;
  for (const QChar unit : text) {
    const char16_t c = unit.unicode();
    if (c >= 0x80) {
      buffer = WholeWordMatcher::lowered(text);
      return;
    }
    hasUpper = hasUpper || (c >= u'A' && c <= u'Z');
  }
  if (!hasUpper) {
    buffer = text;  // shares the text's storage
    return;
  }
  buffer.resize(text.size());
  QChar* out = buffer.data();
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t c = text[i].unicode();
    out[i] = QChar(c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c);
  }
}

void PreparedText::reset(const QString& text) {
  lowerInto(text, lowered_);
  signature_ = PairSignature(lowered_);
}

std::vector<TermMatcher> makeTermMatchers(const QStringList& terms) {
  std::vector<TermMatcher> matchers;
  matchers.reserve(static_cast<size_t>(terms.size()));
  for (const QString& term : terms) matchers.emplace_back(term);
  return matchers;
}

}  // namespace murmela
