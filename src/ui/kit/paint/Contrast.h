#pragma once

#include <QColor>

namespace murmela {

// The relative luminance of an opaque colour (0 black .. 1 white), as the
// web's contrast guidelines define it for sRGB.
qreal relativeLuminance(const QColor& color);

// How far apart two opaque colours are for the eye: (lighter + 0.05) /
// (darker + 0.05), from 1 (the same) to 21 (black on white). A colour with
// opacity is first laid over `behind`.
qreal contrastRatio(const QColor& front, const QColor& behind);

}  // namespace murmela
