#pragma once

#include <QString>

namespace murmela {

// The signature phrase as the narrow phrase tile sets it: lower-cased, with a
// soft hyphen (U+00AD) after every fourth character inside each run of eight
// or more letters, so that a long word may break across the tile's lines.
// Characters are grapheme clusters; a cluster is a letter when its first code
// point is alphabetic. Anything else ends a word and is copied unchanged.
QString hyphenatedPhrase(const QString& phrase);

// The phrase line's point size: 24 for an empty phrase, 17 from 36 characters
// on, and linear in between (24 - 7 n / 36).
double signaturePhrasePointSize(const QString& phrase);

}  // namespace murmela
