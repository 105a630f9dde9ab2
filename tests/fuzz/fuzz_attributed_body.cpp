// Attributed-body recovery against a reader of the byte rule written here
// from the rule alone, with its own strict UTF-8 check; and, the other way
// round, a blob built around the input's text gives that text back (a
// leading U+FEFF included).
#include "FuzzCheck.h"
#include "data/AttributedBodyDecoder.h"

#include <optional>
#include <string>

using namespace murmela;

namespace {

// Strict UTF-8: shortest forms only, no surrogates, nothing above U+10FFFF.
bool validUtf8(const std::string& bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(bytes[at]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    unsigned long codePoint = 0;
    if (lead < 0x80) {
      ++i;
      continue;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      codePoint = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      codePoint = lead & 0x07;
    } else {
      return false;
    }
    if (i + length > bytes.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      if ((byte(i + k) & 0xC0) != 0x80) return false;
      codePoint = (codePoint << 6) | (byte(i + k) & 0x3F);
    }
    if ((length == 3 && codePoint < 0x800) || (length == 4 && codePoint < 0x10000) || codePoint > 0x10FFFF ||
        (codePoint >= 0xD800 && codePoint <= 0xDFFF))
      return false;
    i += length;
  }
  return true;
}

std::optional<std::string> reference(const std::string& blob) {
  if (blob.size() < 16) return std::nullopt;
  const std::size_t marker = blob.find("NSString");
  if (marker == std::string::npos) return std::nullopt;
  const std::size_t start = marker + 8;
  const std::size_t end = std::min(start + 32, blob.size());
  const auto byte = [&](std::size_t at) -> unsigned long { return static_cast<unsigned char>(blob[at]); };
  for (std::size_t plus = start; plus < end; ++plus) {
    if (blob[plus] != '+') continue;
    const std::size_t i = plus + 1;
    if (i >= blob.size()) continue;
    unsigned long length = 0;
    std::size_t text = 0;
    if (byte(i) < 0x81) {
      length = byte(i);
      text = i + 1;
    } else if (byte(i) == 0x81 && i + 2 < blob.size()) {
      length = byte(i + 1) | byte(i + 2) << 8;
      text = i + 3;
    } else if (byte(i) == 0x82 && i + 4 < blob.size()) {
      length = byte(i + 1) | byte(i + 2) << 8 | byte(i + 3) << 16 | byte(i + 4) << 24;
      text = i + 5;
    } else {
      continue;
    }
    if (length == 0 || length > 0xFFFFF || text + length > blob.size()) continue;
    const std::string candidate = blob.substr(text, length);
    if (validUtf8(candidate)) return candidate;
  }
  return std::nullopt;
}

// A blob as the Messages database holds one, around a text.
QByteArray blobAround(const QByteArray& text, unsigned char form) {
  QByteArray blob("\x04\x0bstreamtyped\x81\xe8\x03\x84\x01@\x84\x84\x84\x12NSAttributedString");
  blob += "NSString\x01\x94\x84\x01+";
  const auto length = static_cast<quint32>(text.size());
  if (form % 3 == 0 && length < 0x81) {
    blob += static_cast<char>(length);
  } else if (form % 3 != 2 && length <= 0xFFFF) {
    blob += '\x81';
    blob += static_cast<char>(length & 0xFF);
    blob += static_cast<char>(length >> 8);
  } else {
    blob += '\x82';
    for (int shift = 0; shift < 32; shift += 8) blob += static_cast<char>((length >> shift) & 0xFF);
  }
  return blob + text + QByteArray("\x86\x84\x02iI\x01\x01");
}

}  // namespace

MURMELA_FUZZ_ENVIRONMENT("America/New_York")

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray bytes = fuzz::bytesOf(data, size);
  const std::optional<QString> recovered = AttributedBodyDecoder::plainString(bytes);
  const std::optional<std::string> expected = reference(bytes.toStdString());
  FUZZ_CHECK(recovered.has_value() == expected.has_value());
  if (recovered) FUZZ_CHECK(recovered->toUtf8().toStdString() == *expected);

  // The input as a text, wrapped in a blob, comes back whole.
  if (size > 1 && size <= 0xFFFFF) {
    const QByteArray text = bytes.mid(1);
    if (validUtf8(text.toStdString())) {
      const std::optional<QString> back = AttributedBodyDecoder::plainString(blobAround(text, data[0]));
      FUZZ_CHECK(back && back->toUtf8() == text);
    }
  }
  return 0;
}
