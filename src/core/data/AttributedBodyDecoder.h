#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace murmela::AttributedBodyDecoder {

// Recovers the text of a message whose plain text column is empty from its
// serialized attributed body, by a fixed byte-level rule rather than by
// parsing the serialization:
//   - blobs shorter than 16 bytes give nothing;
//   - only the first "NSString" marker is used;
//   - within the 32 bytes after the marker, each "+" (0x2B) is tried in turn;
//     the byte after it is a length prefix (below 0x81: the length itself;
//     0x81: a 16-bit little-endian length follows; 0x82: a 32-bit one
//     follows; 0x83 or more: no string), the length must be 1 to 0xFFFFF and
//     the string must lie inside the blob and be valid UTF-8;
//   - the first "+" that yields a string wins.
// Nothing is trimmed here. Every read is checked against the blob's length.
std::optional<QString> plainString(QByteArrayView data);

}  // namespace murmela::AttributedBodyDecoder
