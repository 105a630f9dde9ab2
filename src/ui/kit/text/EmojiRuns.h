#pragma once

#include <QList>
#include <QStringView>

namespace murmela {

// A stretch of a text, in UTF-16 units.
struct TextRange {
  qsizetype start = 0;
  qsizetype length = 0;
  friend bool operator==(const TextRange&, const TextRange&) = default;
};

// The maximal stretches of emoji grapheme clusters in a text: the ones set in
// the colour emoji family while the rest keeps its own font. A cluster is an
// emoji when the analysis counts it as one (emoji presentation, or an emoji
// code point above the technical symbols), or when it asks for emoji
// presentation with U+FE0F or is a keycap sequence. Digits, "#", "*", arrows
// and dingbats such as U+2726 stay text.
QList<TextRange> emojiRuns(QStringView text);

bool isEmojiCluster(QStringView cluster);

}  // namespace murmela
