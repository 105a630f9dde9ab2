#include "json/JsonStreamWriter.h"

#include "json/JsonCodec.h"

#include <QLocale>

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>

namespace murmela {
namespace {

// Per ASCII character: 0 written as it is, 1 escaped by a letter or \u00XX,
// 2 a "/" (escaped when asked).
constexpr std::array<unsigned char, 128> kEscapeClass = [] {
  std::array<unsigned char, 128> table{};
  for (int c = 0; c < 0x20; ++c) table[static_cast<size_t>(c)] = 1;
  table['"'] = 1;
  table['\\'] = 1;
  table['/'] = 2;
  return table;
}();

constexpr char kHexDigits[] = "0123456789abcdef";

// The largest whole number Qt writes in integer form.
constexpr double kLargestIntegerForm = 9007199254740992.0;  // 2^53

char* escapedUnit(char* out, char16_t unit) {
  *out++ = '\\';
  switch (unit) {
    case u'"': *out++ = '"'; break;
    case u'\\': *out++ = '\\'; break;
    case u'\b': *out++ = 'b'; break;
    case u'\f': *out++ = 'f'; break;
    case u'\n': *out++ = 'n'; break;
    case u'\r': *out++ = 'r'; break;
    case u'\t': *out++ = 't'; break;
    default:
      *out++ = 'u';
      *out++ = kHexDigits[(unit >> 12) & 0xF];
      *out++ = kHexDigits[(unit >> 8) & 0xF];
      *out++ = kHexDigits[(unit >> 4) & 0xF];
      *out++ = kHexDigits[unit & 0xF];
  }
  return out;
}

}  // namespace

JsonStreamWriter::JsonStreamWriter(qsizetype reserveBytes, bool escapeSlashes) : escapeSlashes_(escapeSlashes) {
  if (reserveBytes > 0) bytes_.resize(reserveBytes);
  levels_.reserve(16);
}

char* JsonStreamWriter::room(qsizetype bytes) {
  if (bytes_.size() - size_ < bytes) bytes_.resize(std::max({size_ + bytes, bytes_.size() * 2, qsizetype(256)}));
  return bytes_.data() + size_;
}

void JsonStreamWriter::separate() {
  if (needsComma_) {
    *room(1) = ',';
    ++size_;
  }
  if (!levels_.empty() && levels_.back().array) ++levels_.back().index;
}

void JsonStreamWriter::open(char bracket, bool array) {
  separate();
  *room(1) = bracket;
  ++size_;
  levels_.push_back({array, -1, {}, {}});
  needsComma_ = false;
}

void JsonStreamWriter::close(char bracket) {
  *room(1) = bracket;
  ++size_;
  levels_.pop_back();
  needsComma_ = true;
}

void JsonStreamWriter::beginObject() { open('{', false); }
void JsonStreamWriter::endObject() { close('}'); }
void JsonStreamWriter::beginArray() { open('[', true); }
void JsonStreamWriter::endArray() { close(']'); }

void JsonStreamWriter::writeName(QStringView name) {
  if (needsComma_) {
    *room(1) = ',';
    ++size_;
  }
  writeEscaped(name);
  *room(1) = ':';
  ++size_;
  needsComma_ = false;
}

void JsonStreamWriter::key(QStringView name) {
  writeName(name);
  if (!levels_.empty()) {
    levels_.back().name = name;
    levels_.back().latinName = {};
  }
}

void JsonStreamWriter::key(QLatin1StringView name) {
  // Member names written this way are the system's own ASCII names.
  if (needsComma_) {
    *room(1) = ',';
    ++size_;
  }
  char* out = room(name.size() * 2 + 3);
  char* const start = out;
  *out++ = '"';
  for (const char c : name) {
    if (c == '/' && escapeSlashes_) *out++ = '\\';
    *out++ = c;
  }
  *out++ = '"';
  *out++ = ':';
  size_ += out - start;
  needsComma_ = false;
  if (!levels_.empty()) {
    levels_.back().latinName = name;
    levels_.back().name = {};
  }
}

void JsonStreamWriter::writeEscaped(QStringView text) {
  const char16_t* src = text.utf16();
  const qsizetype count = text.size();
  // At most six bytes per UTF-16 unit ("\u001f", "\udc00"), and the quotes.
  char* out = room(count * 6 + 2);
  char* const start = out;
  *out++ = '"';
  for (qsizetype i = 0; i < count; ++i) {
    const char16_t unit = src[i];
    if (unit < 0x80) {
      const unsigned char kind = kEscapeClass[unit];
      if (kind == 0) {
        *out++ = static_cast<char>(unit);
      } else if (kind == 2) {
        if (escapeSlashes_) *out++ = '\\';
        *out++ = '/';
      } else {
        out = escapedUnit(out, unit);
      }
    } else if (unit < 0x800) {
      *out++ = static_cast<char>(0xC0 | (unit >> 6));
      *out++ = static_cast<char>(0x80 | (unit & 0x3F));
    } else if (unit < 0xD800 || unit > 0xDFFF) {
      *out++ = static_cast<char>(0xE0 | (unit >> 12));
      *out++ = static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
      *out++ = static_cast<char>(0x80 | (unit & 0x3F));
    } else if (unit < 0xDC00 && i + 1 < count && src[i + 1] >= 0xDC00 && src[i + 1] <= 0xDFFF) {
      const char32_t point = 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (char32_t(src[i + 1]) - 0xDC00);
      ++i;
      *out++ = static_cast<char>(0xF0 | (point >> 18));
      *out++ = static_cast<char>(0x80 | ((point >> 12) & 0x3F));
      *out++ = static_cast<char>(0x80 | ((point >> 6) & 0x3F));
      *out++ = static_cast<char>(0x80 | (point & 0x3F));
    } else {
      out = escapedUnit(out, unit);  // half a pair on its own
    }
  }
  *out++ = '"';
  size_ += out - start;
}

void JsonStreamWriter::string(QStringView value) {
  separate();
  writeEscaped(value);
  needsComma_ = true;
}

void JsonStreamWriter::integer(qint64 value) {
  separate();
  char* out = room(24);
  size_ += std::to_chars(out, out + 24, value).ptr - out;
  needsComma_ = true;
}

void JsonStreamWriter::number(double value) {
  if (!std::isfinite(value)) {
    if (!levels_.empty() && levels_.back().array) ++levels_.back().index;  // the path names this element
    throw Json::EncodingError(path());
  }
  if (value == std::trunc(value) && std::fabs(value) <= kLargestIntegerForm) {
    integer(static_cast<qint64>(value));
    return;
  }
  separate();
  const QByteArray text = QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
  std::memcpy(room(text.size()), text.constData(), static_cast<size_t>(text.size()));
  size_ += text.size();
  needsComma_ = true;
}

void JsonStreamWriter::boolean(bool value) {
  separate();
  const qsizetype length = value ? 4 : 5;
  std::memcpy(room(length), value ? "true" : "false", static_cast<size_t>(length));
  size_ += length;
  needsComma_ = true;
}

void JsonStreamWriter::null() {
  separate();
  std::memcpy(room(4), "null", 4);
  size_ += 4;
  needsComma_ = true;
}

QString JsonStreamWriter::path() const {
  QString path = QStringLiteral("$");
  for (const Level& level : levels_) {
    if (level.array)
      path += QLatin1Char('[') + QString::number(level.index) + QLatin1Char(']');
    else
      path += QLatin1Char('.') + (level.latinName.isNull() ? level.name.toString() : QString(level.latinName));
  }
  return path;
}

QByteArray JsonStreamWriter::take() {
  bytes_.truncate(size_);
  size_ = 0;
  needsComma_ = false;
  levels_.clear();
  return std::move(bytes_);
}

}  // namespace murmela
