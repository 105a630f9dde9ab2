#include "data/AttributedBodyDecoder.h"

#include "common/UnicodeText.h"

#include <array>

namespace murmela::AttributedBodyDecoder {

namespace {

constexpr qsizetype kMinimumBlobSize = 16;
constexpr qsizetype kPlusWindow = 32;
constexpr quint32 kMaximumLength = 0xFFFFF;
constexpr char kPlus = 0x2B;
constexpr std::array<char, 8> kMarker = {'N', 'S', 'S', 't', 'r', 'i', 'n', 'g'};

// A plain forward scan for the first occurrence of `pattern`.
std::optional<qsizetype> firstIndex(QByteArrayView pattern, QByteArrayView data) {
  if (data.size() < pattern.size()) return std::nullopt;
  const qsizetype lastStart = data.size() - pattern.size();
  for (qsizetype start = 0; start <= lastStart; ++start) {
    qsizetype matched = 0;
    while (matched < pattern.size() && data[start + matched] == pattern[matched]) ++matched;
    if (matched == pattern.size()) return start;
  }
  return std::nullopt;
}

quint8 byteAt(QByteArrayView data, qsizetype index) { return static_cast<quint8>(data[index]); }

// Reads the length prefix at `index` and the UTF-8 string that follows it.
std::optional<QString> readLengthPrefixedUTF8(QByteArrayView data, qsizetype index) {
  const qsizetype size = data.size();
  if (index >= size) return std::nullopt;

  const quint8 prefix = byteAt(data, index);
  quint64 length = 0;
  qsizetype stringStart = 0;
  if (prefix < 0x81) {
    length = prefix;
    stringStart = index + 1;
  } else if (prefix == 0x81) {
    if (index + 2 >= size) return std::nullopt;
    length = quint64(byteAt(data, index + 1)) | (quint64(byteAt(data, index + 2)) << 8);
    stringStart = index + 3;
  } else if (prefix == 0x82) {
    if (index + 4 >= size) return std::nullopt;
    length = quint64(byteAt(data, index + 1)) | (quint64(byteAt(data, index + 2)) << 8) |
             (quint64(byteAt(data, index + 3)) << 16) | (quint64(byteAt(data, index + 4)) << 24);
    stringStart = index + 5;
  } else {
    return std::nullopt;
  }

  if (length == 0 || length > kMaximumLength) return std::nullopt;
  // Both terms are small enough here that the sum cannot overflow.
  if (stringStart + static_cast<qsizetype>(length) > size) return std::nullopt;

  // Strict decoding: invalid or truncated sequences fail instead of being
  // replaced. A leading byte-order mark is part of the text.
  return UnicodeText::strictUtf8(data.sliced(stringStart, static_cast<qsizetype>(length)),
                                 /*keepByteOrderMark=*/true);
}

}  // namespace

std::optional<QString> plainString(QByteArrayView data) {
  if (data.size() < kMinimumBlobSize) return std::nullopt;
  const std::optional<qsizetype> marker = firstIndex(QByteArrayView(kMarker.data(), kMarker.size()), data);
  if (!marker) return std::nullopt;

  const qsizetype start = *marker + kMarker.size();
  const qsizetype end = std::min(start + kPlusWindow, data.size());
  if (start >= end) return std::nullopt;

  for (qsizetype position = start; position < end; ++position) {
    if (data[position] != kPlus) continue;
    if (std::optional<QString> text = readLengthPrefixedUTF8(data, position + 1)) return text;
  }
  return std::nullopt;
}

}  // namespace murmela::AttributedBodyDecoder
