#include "json/JsonPullReader.h"

#include <charconv>
#include <cstring>

namespace murmela {
namespace {

constexpr int kDeepestNesting = 64;

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

void JsonPullReader::skipSpace() {
  while (at_ < end_ && (*at_ == ' ' || *at_ == '\n' || *at_ == '\r' || *at_ == '\t')) ++at_;
}

char JsonPullReader::peek() {
  skipSpace();
  return at_ < end_ ? *at_ : '\0';
}

void JsonPullReader::expect(char c) {
  if (peek() != c) refuse();
  ++at_;
}

bool JsonPullReader::take(char c) {
  if (peek() != c) return false;
  ++at_;
  return true;
}

bool JsonPullReader::atEnd() {
  skipSpace();
  return at_ == end_;
}

QString JsonPullReader::string() {
  expect('"');
  // A run without escapes or non-ASCII bytes is the common case.
  const char* start = at_;
  while (at_ < end_ && *at_ != '"' && *at_ != '\\' && static_cast<unsigned char>(*at_) >= 0x20 &&
         static_cast<unsigned char>(*at_) < 0x80)
    ++at_;
  if (at_ < end_ && *at_ == '"') {
    QString text = QString::fromLatin1(start, at_ - start);
    ++at_;
    return text;
  }
  QString text;
  text.reserve((at_ - start) + 16);
  text.append(QLatin1StringView(start, at_ - start));
  while (true) {
    if (at_ >= end_) refuse();
    const auto byte = static_cast<unsigned char>(*at_);
    if (byte == '"') {
      ++at_;
      return text;
    }
    if (byte < 0x20) refuse();
    if (byte == '\\') {
      if (end_ - at_ < 2) refuse();
      const char escape = at_[1];
      at_ += 2;
      switch (escape) {
        case '"': text.append(QLatin1Char('"')); break;
        case '\\': text.append(QLatin1Char('\\')); break;
        case '/': text.append(QLatin1Char('/')); break;
        case 'b': text.append(QLatin1Char('\b')); break;
        case 'f': text.append(QLatin1Char('\f')); break;
        case 'n': text.append(QLatin1Char('\n')); break;
        case 'r': text.append(QLatin1Char('\r')); break;
        case 't': text.append(QLatin1Char('\t')); break;
        case 'u': {
          if (end_ - at_ < 4) refuse();
          int unit = 0;
          for (int i = 0; i < 4; ++i) {
            const int digit = hexValue(at_[i]);
            if (digit < 0) refuse();
            unit = unit * 16 + digit;
          }
          at_ += 4;
          if (unit == 0xFEFF) refuse();
          text.append(QChar(static_cast<char16_t>(unit)));
          break;
        }
        default: refuse();
      }
      continue;
    }
    if (byte < 0x80) {
      text.append(QLatin1Char(static_cast<char>(byte)));
      ++at_;
      continue;
    }
    // A UTF-8 sequence, strictly: shortest form, no surrogates, at most U+10FFFF.
    int length = 0;
    char32_t point = 0;
    if (byte >= 0xC2 && byte <= 0xDF) {
      length = 2;
      point = byte & 0x1F;
    } else if (byte >= 0xE0 && byte <= 0xEF) {
      length = 3;
      point = byte & 0x0F;
    } else if (byte >= 0xF0 && byte <= 0xF4) {
      length = 4;
      point = byte & 0x07;
    } else {
      refuse();
    }
    if (end_ - at_ < length) refuse();
    for (int i = 1; i < length; ++i) {
      const auto next = static_cast<unsigned char>(at_[i]);
      if ((next & 0xC0) != 0x80) refuse();
      point = (point << 6) | (next & 0x3F);
    }
    if ((length == 3 && (point < 0x800 || (point >= 0xD800 && point <= 0xDFFF))) ||
        (length == 4 && (point < 0x10000 || point > 0x10FFFF)) || point == 0xFEFF)
      refuse();
    at_ += length;
    if (point >= 0x10000) {
      text.append(QChar(QChar::highSurrogate(point)));
      text.append(QChar(QChar::lowSurrogate(point)));
    } else {
      text.append(QChar(static_cast<char16_t>(point)));
    }
  }
}

const char* JsonPullReader::integerPart(const char*& digits) {
  skipSpace();
  const char* start = at_;
  if (at_ < end_ && *at_ == '-') ++at_;
  digits = at_;
  while (at_ < end_ && *at_ >= '0' && *at_ <= '9') ++at_;
  if (at_ == digits || (at_ - digits > 1 && *digits == '0')) refuse();  // JSON allows no leading zero
  return start;
}

qint64 JsonPullReader::integer() {
  const char* digits = nullptr;
  const char* start = integerPart(digits);
  // A fraction or exponent is not ours to read.
  if (at_ < end_ && (*at_ == '.' || *at_ == 'e' || *at_ == 'E')) refuse();
  if (start[0] == '-' && at_ - digits == 1 && *digits == '0') refuse();  // "-0"
  qint64 value = 0;
  const auto [end, error] = std::from_chars(start, at_, value);
  if (error != std::errc() || end != at_) refuse();
  // Qt holds a number as a double: beyond 2^53 it may not be this integer.
  if (value > (qint64(1) << 53) || value < -(qint64(1) << 53)) refuse();
  return value;
}

double JsonPullReader::number() {
  const char* digits = nullptr;
  const char* start = integerPart(digits);
  const bool whole = !(at_ < end_ && (*at_ == '.' || *at_ == 'e' || *at_ == 'E'));
  if (whole) {
    at_ = start;
    return static_cast<double>(integer());
  }
  if (at_ < end_ && *at_ == '.') {
    ++at_;
    const char* fraction = at_;
    while (at_ < end_ && *at_ >= '0' && *at_ <= '9') ++at_;
    if (at_ == fraction) refuse();
  }
  if (at_ < end_ && (*at_ == 'e' || *at_ == 'E')) {
    ++at_;
    if (at_ < end_ && (*at_ == '+' || *at_ == '-')) ++at_;
    const char* exponent = at_;
    while (at_ < end_ && *at_ >= '0' && *at_ <= '9') ++at_;
    if (at_ == exponent) refuse();
  }
  double value = 0;
  const auto [end, error] = std::from_chars(start, at_, value);
  if (error != std::errc() || end != at_) refuse();
  return value;
}

bool JsonPullReader::boolean() {
  skipSpace();
  if (end_ - at_ >= 4 && std::memcmp(at_, "true", 4) == 0) {
    at_ += 4;
    return true;
  }
  if (end_ - at_ >= 5 && std::memcmp(at_, "false", 5) == 0) {
    at_ += 5;
    return false;
  }
  refuse();
}

JSONValue JsonPullReader::value(int depth) {
  if (depth > kDeepestNesting) refuse();
  switch (peek()) {
    case '"': return JSONValue::string(string());
    case 't':
    case 'f': return JSONValue::boolean(boolean());
    case 'n':
      if (end_ - at_ < 4 || std::memcmp(at_, "null", 4) != 0) refuse();
      at_ += 4;
      return JSONValue::null();
    case '[': {
      ++at_;
      JSONValue::Array elements;
      if (!take(']')) {
        do elements.append(value(depth + 1));
        while (take(','));
        expect(']');
      }
      return JSONValue::array(std::move(elements));
    }
    case '{': {
      JSONValue::Object members;
      this->members([&](const QString& key) { members.insert(key, value(depth + 1)); });
      return JSONValue::object(std::move(members));
    }
    default: return JSONValue::number(number());
  }
}

void JsonPullReader::skipValue(int depth) { value(depth); }

}  // namespace murmela
