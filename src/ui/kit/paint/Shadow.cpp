#include "kit/paint/Shadow.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace murmela {
namespace {

// Three box blurs in a row approximate a Gaussian; these are the box widths
// for a standard deviation (in pixels).
std::array<int, 3> boxWidths(qreal sigma) {
  const qreal ideal = std::sqrt(12.0 * sigma * sigma / 3.0 + 1.0);
  int lower = static_cast<int>(std::floor(ideal));
  if (lower % 2 == 0) --lower;
  const int upper = lower + 2;
  const qreal m = std::round((12.0 * sigma * sigma - 3.0 * lower * lower - 12.0 * lower - 9.0) / (-4.0 * lower - 4.0));
  std::array<int, 3> widths{};
  for (int i = 0; i < 3; ++i) widths[i] = i < m ? lower : upper;
  return widths;
}

// One box blur of half-width r along rows (stride 1) or columns.
void boxBlur(std::vector<float>& values, std::vector<float>& scratch, int width, int height, int r, bool rows) {
  if (r <= 0) return;
  const int lines = rows ? height : width;
  const int length = rows ? width : height;
  const int step = rows ? 1 : width;
  const float scale = 1.0f / static_cast<float>(2 * r + 1);
  for (int line = 0; line < lines; ++line) {
    const int base = rows ? line * width : line;
    float sum = 0.0f;
    for (int i = -r; i <= r; ++i) sum += values[base + std::clamp(i, 0, length - 1) * step];
    for (int i = 0; i < length; ++i) {
      scratch[base + i * step] = sum * scale;
      const int add = std::min(i + r + 1, length - 1);
      const int remove = std::max(i - r, 0);
      sum += values[base + add * step] - values[base + remove * step];
    }
  }
  values.swap(scratch);
}

}  // namespace

void drawShadow(QPainter& painter, const QPainterPath& shape, const ShadowStyle& shadow) {
  if (shape.isEmpty() || shadow.color.alpha() == 0) return;
  const QTransform device = painter.deviceTransform();
  const qreal scale = std::max(std::sqrt(std::abs(device.determinant())), 0.01);
  const qreal sigma = std::max(shadow.radius, 0.0);
  const qreal margin = std::ceil(3.0 * sigma) + 1.0;
  const QRectF bounds = shape.boundingRect().adjusted(-margin, -margin, margin, margin);
  const int width = std::max(1, static_cast<int>(std::ceil(bounds.width() * scale)));
  const int height = std::max(1, static_cast<int>(std::ceil(bounds.height() * scale)));

  QImage mask(width, height, QImage::Format_ARGB32_Premultiplied);
  mask.fill(Qt::transparent);
  {
    QPainter maskPainter(&mask);
    maskPainter.setRenderHint(QPainter::Antialiasing);
    maskPainter.scale(scale, scale);
    maskPainter.translate(-bounds.topLeft());
    maskPainter.fillPath(shape, Qt::black);
  }

  std::vector<float> alpha(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    const QRgb* line = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
    for (int x = 0; x < width; ++x) alpha[static_cast<size_t>(y) * width + x] = qAlpha(line[x]) / 255.0f;
  }
  if (sigma > 0.0) {
    std::vector<float> scratch(alpha.size());
    for (const int box : boxWidths(sigma * scale)) {
      boxBlur(alpha, scratch, width, height, (box - 1) / 2, true);
      boxBlur(alpha, scratch, width, height, (box - 1) / 2, false);
    }
  }

  const QColor color = shadow.color.toRgb();
  const float red = color.redF(), green = color.greenF(), blue = color.blueF(), opacity = color.alphaF();
  QImage tinted(width, height, QImage::Format_ARGB32_Premultiplied);
  for (int y = 0; y < height; ++y) {
    QRgb* line = reinterpret_cast<QRgb*>(tinted.scanLine(y));
    for (int x = 0; x < width; ++x) {
      const float a = std::clamp(alpha[static_cast<size_t>(y) * width + x], 0.0f, 1.0f) * opacity;
      line[x] =
          qRgba(qRound(red * a * 255.0f), qRound(green * a * 255.0f), qRound(blue * a * 255.0f), qRound(a * 255.0f));
    }
  }
  tinted.setDevicePixelRatio(scale);
  painter.drawImage(bounds.topLeft() + shadow.offset, tinted);
}

}  // namespace murmela
