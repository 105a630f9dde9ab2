#include "brand/SpeckleBackground.h"

#include "theme/MurmelaTheme.h"

#include <QBrush>
#include <QImage>
#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <tuple>

namespace murmela {

int SpeckleBackground::columns(qreal width) {
  return width < 0.0 ? 0 : static_cast<int>(std::floor(width / kPitch)) + 1;
}

int SpeckleBackground::rows(qreal height) { return columns(height); }

QList<SpeckleBackground::Dot> SpeckleBackground::dots(const QSizeF& size) {
  QList<Dot> result;
  const int columnCount = columns(size.width());
  const int rowCount = rows(size.height());
  result.reserve(static_cast<qsizetype>(columnCount) * rowCount);
  for (int column = 0; column < columnCount; ++column) {
    for (int row = 0; row < rowCount; ++row) {
      const bool large = (column + row) % 2 == 0;
      result.append({QPointF(column * kPitch, row * kPitch), large ? kLargeDiameter : kSmallDiameter, large});
    }
  }
  return result;
}

void SpeckleBackground::paintDotByDot(QPainter& painter, const QSizeF& size) {
  // One small ellipse per dot: the raster engine fills ~19,000 of them in
  // tens of milliseconds, where one path holding them all takes seconds.
  const QColor large = withOpacity(MurmelaTheme::sageDeep, kLargeOpacity);
  const QColor small = withOpacity(MurmelaTheme::sageDeep, kSmallOpacity);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  for (const Dot& dot : dots(size)) {
    painter.setBrush(dot.large ? large : small);
    painter.drawEllipse(QRectF(dot.topLeft, QSizeF(dot.diameter, dot.diameter)));
  }
  painter.restore();
}

namespace {

// The checkerboard repeats every two dots across and down.
constexpr qreal kRepeat = 2.0 * SpeckleBackground::kPitch;
constexpr qreal kWhole = 1e-6;

bool isWhole(qreal value) { return std::abs(value - std::round(value)) < kWhole; }

// The pixels of one repeat of the pattern at a scale (device pixels per
// point), drawn once per scale and kept for the life of the process. Slide
// images are painted on worker threads too (the slideshow export): the tiles
// are made under a lock and handed out as shared, never-changed copies.
QImage tileAt(qreal scale) {
  static std::mutex lock;
  static std::map<qint64, QImage> tiles;
  const qint64 key = std::llround(scale * kRepeat);
  const std::lock_guard<std::mutex> guard(lock);
  auto found = tiles.find(key);
  if (found != tiles.end()) return found->second;
  QImage tile(static_cast<int>(key), static_cast<int>(key), QImage::Format_ARGB32_Premultiplied);
  tile.fill(Qt::transparent);
  {
    QPainter painter(&tile);
    painter.scale(scale, scale);
    const qreal lastDot = kRepeat - SpeckleBackground::kPitch;
    SpeckleBackground::paintDotByDot(painter, QSizeF(lastDot, lastDot));
  }
  return tiles.emplace(key, tile).first->second;
}

// The tile repeated over an area from its corner, pixel for pixel as a
// brush of it fills a transparent image, by copying rows: a brush fill of a
// whole window's rows goes to the thread pool and takes milliseconds.
QImage tiledSheet(const QImage& tile, const QSize& pixels) {
  QImage sheet(pixels, QImage::Format_ARGB32_Premultiplied);
  const QImage source = tile.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  const int width = source.width();
  if (source.isNull()) {
    sheet.fill(Qt::transparent);
    return sheet;
  }
  for (int y = 0; y < std::min(pixels.height(), source.height()); ++y) {
    const auto* from = reinterpret_cast<const quint32*>(source.constScanLine(y));
    auto* to = reinterpret_cast<quint32*>(sheet.scanLine(y));
    for (int x = 0; x < pixels.width(); x += width) std::copy_n(from, std::min(width, pixels.width() - x), to + x);
  }
  const qsizetype rowBytes = static_cast<qsizetype>(pixels.width()) * 4;
  for (int y = source.height(); y < pixels.height(); ++y)
    std::memcpy(sheet.scanLine(y), sheet.constScanLine(y - source.height()), static_cast<size_t>(rowBytes));
  return sheet;
}

// The pattern over a whole area of device pixels, tiled once and kept: the
// window paints its background many times a second. Filling an area with a
// texture brush hands its rows to Qt's global thread pool and waits for them,
// so a busy machine stalls the painting thread; blending one ready image is a
// plain loop on the painting thread. A few areas are kept (the screens share
// one size); others are filled from the tile.
std::optional<QImage> sheetAt(qreal scale, const QSize& pixels) {
  constexpr size_t kSheets = 4;
  static std::mutex lock;
  static std::map<std::tuple<qint64, int, int>, QImage> sheets;
  const auto key = std::make_tuple(std::llround(scale * kRepeat), pixels.width(), pixels.height());
  {
    const std::lock_guard<std::mutex> guard(lock);
    const auto found = sheets.find(key);
    if (found != sheets.end()) return found->second;
    if (sheets.size() >= kSheets) return std::nullopt;
  }
  QImage sheet = tiledSheet(tileAt(scale), pixels);
  sheet.setDevicePixelRatio(scale);
  const std::lock_guard<std::mutex> guard(lock);
  return sheets.emplace(key, sheet).first->second;
}

}  // namespace

SpeckleBackground::Drawn SpeckleBackground::paint(QPainter& painter, const QSizeF& size) {
  const QTransform device = painter.deviceTransform();
  const qreal scale = device.m11();
  const bool plainScale =
      device.type() <= QTransform::TxScale && scale > 0.0 && std::abs(device.m22() - scale) < kWhole;
  if (!plainScale || !isWhole(scale * kRepeat) || !isWhole(device.dx()) || !isWhole(device.dy())) {
    paintDotByDot(painter, size);
    return Drawn::dotByDot;
  }
  const int columnCount = columns(size.width());
  const int rowCount = rows(size.height());
  if (columnCount == 0 || rowCount == 0) return Drawn::fromTile;
  // The dots' own extent (the last ones reach past a far edge on the grid),
  // out to whole pixels so no edge pixel of a dot is cut.
  const auto reach = [&](int count) { return std::ceil(((count - 1) * kPitch + kLargeDiameter) * scale) / scale; };
  const QRectF area(0.0, 0.0, reach(columnCount), reach(rowCount));
  const QSize pixels(static_cast<int>(std::lround(area.width() * scale)),
                     static_cast<int>(std::lround(area.height() * scale)));
  if (const std::optional<QImage> sheet = sheetAt(scale, pixels)) {
    painter.drawImage(area.topLeft(), *sheet);
    return Drawn::fromTile;
  }
  QBrush pattern(tileAt(scale));
  pattern.setTransform(QTransform::fromScale(1.0 / scale, 1.0 / scale));
  painter.fillRect(area, pattern);
  return Drawn::fromTile;
}

}  // namespace murmela
