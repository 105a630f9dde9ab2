#include "sharing/SlideImageRenderer.h"

#include "deck/LongDeckSlide.h"

#include <QBuffer>
#include <QImageWriter>

namespace murmela::SlideImageRenderer {

std::optional<QImage> render(const WrappedReport& report, int index) {
  QImage image = LongDeckSlide{report, index, false, std::nullopt}.image(kScale);
  if (image.isNull() || image.size() != kPixelSize) return std::nullopt;
  return image;
}

std::optional<QByteArray> pngData(const QImage& image) {
  if (image.isNull()) return std::nullopt;
  QByteArray bytes;
  QBuffer buffer(&bytes);
  if (!buffer.open(QIODevice::WriteOnly)) return std::nullopt;
  QImageWriter writer(&buffer, "png");
  if (!writer.write(image) || bytes.isEmpty()) return std::nullopt;
  return bytes;
}

}  // namespace murmela::SlideImageRenderer
