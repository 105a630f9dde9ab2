#pragma once

#include "data/WrappedReport.h"

#include <QByteArray>
#include <QImage>
#include <QSize>

#include <optional>

namespace murmela {

// A slide as the exported picture: the deck's own slide paint code with
// sharing off and no contact handle, 390 x 780 points at scale 3 into a
// 1170 x 2340 image, without any window. Painting only reads the report, so
// a rendering can reach neither the deck's toasts nor its share sheet. Safe
// on a worker thread.
namespace SlideImageRenderer {

inline constexpr qreal kScale = 3.0;
inline constexpr QSize kPixelSize{1170, 2340};

// No value when the image could not be made.
std::optional<QImage> render(const WrappedReport& report, int index);

// The image as PNG bytes; no value when encoding fails.
std::optional<QByteArray> pngData(const QImage& image);

}  // namespace SlideImageRenderer
}  // namespace murmela
