#pragma once

#include "theme/FontRegistry.h"

#include <QFont>
#include <QString>

namespace murmela::FontFactory {

// Fonts of the bundled families at a size in points, where a point is one
// logical pixel of the 390 x 780 canvas. Qt counts point sizes at the dots
// per inch its fonts resolve at, so a size of s points is asked for as
// s * 72 / dpi, fractions kept. Hinting is off: glyph advances are the
// design advances scaled, so a text measures the same at 1x and at 3x and
// the exported image has the layout of the window.
QFont font(Typeface typeface, qreal points, QFont::Weight weight = QFont::Normal, bool italic = false);

// The colour emoji family ("Noto Color Emoji") and a font of it; used only
// for emoji runs, never first for mixed text (it also holds digits).
QString emojiFamily();
QFont emojiFont(qreal points);

// The same font at another size in points (weight, italic, spacing kept).
QFont resized(const QFont& font, qreal points);

// The dots per inch a QFont made without a paint device resolves at (the
// primary screen's logical dpi, 96 under Qt::AA_Use96Dpi).
int fontDpi();
// A font's size in points as this factory counts them (logical pixels).
qreal logicalSize(const QFont& font);

}  // namespace murmela::FontFactory
