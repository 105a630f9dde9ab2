#include "kit/paint/ShapeCache.h"

#include <QPaintEngine>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace murmela {
namespace {

constexpr int kBandRows = 2;

}  // namespace

void ShapeCache::paint(QPainter& painter, const QRectF& bounds, quint64 key, const Draw& draw, const Changed& changed,
                       const BandRows& bandRows) {
  const QTransform device = painter.deviceTransform();
  const qreal scale = device.m11();
  const bool plain = painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Raster &&
                     device.type() <= QTransform::TxScale && scale > 0.0 && qFuzzyCompare(device.m22(), scale);
  if (!plain) {
    draw(painter);
    return;
  }
  // The image's corner lies on a device pixel; the drawing keeps its exact
  // sub-pixel place inside it.
  const QPointF corner = device.map(bounds.topLeft());
  const QPointF pixel(std::floor(corner.x()), std::floor(corner.y()));
  const QPointF offset = corner - pixel;
  // Where the drawing is now: a kept image moves with it by whole pixels.
  place_ = QTransform();
  place_.translate(offset.x(), offset.y());
  place_.scale(scale, scale);
  place_.translate(-bounds.left(), -bounds.top());
  if (image_.isNull() || scale != scale_ || offset != offset_ || bounds.size() != size_) {
    const QSize pixels(static_cast<int>(std::ceil(bounds.width() * scale + offset.x())),
                       static_cast<int>(std::ceil(bounds.height() * scale + offset.y())));
    image_ = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    drawArea(image_.rect(), draw, bandRows);
    key_ = key;
    scale_ = scale;
    offset_ = offset;
    size_ = bounds.size();
  } else if (key != key_) {
    QRect area = image_.rect();
    if (changed) {
      // Antialiasing reaches one device pixel past the shapes.
      const QRect reach = place_.mapRect(changed(key_, key)).toAlignedRect().adjusted(-1, -1, 1, 1);
      area = QRect(0, reach.top(), image_.width(), reach.height()) & image_.rect();
    }
    drawArea(area, draw, bandRows);
    key_ = key;
  }
  // The image's pixels cover the device pixels from `pixel` one to one.
  const QPointF topLeft = device.inverted().map(pixel);
  painter.drawImage(QRectF(topLeft, QSizeF(image_.size()) / scale), image_);
}

QList<std::pair<int, int>> ShapeCache::bands(const BandRows& bandRows) const {
  QList<std::pair<int, int>> result;
  const QTransform toLogical = place_.inverted();
  for (int top = 0; top < image_.height();) {
    const int rows = bandRows ? std::max(1, bandRows(toLogical.map(QPointF(0.0, top)).y())) : kBandRows;
    result.append({top, std::min(rows, image_.height() - top)});
    top += rows;
  }
  return result;
}

void ShapeCache::drawArea(const QRect& area, const Draw& draw, const BandRows& bandRows) {
  if (area.isEmpty()) return;
  // Drawn in bands of a few pixel rows: a fill reaching over more rows would
  // itself go to the thread pool. The bands are always the same for one
  // image, and an area is redrawn in whole bands, so a redrawn row comes out
  // as a whole redraw gives it.
  QPainter picture(&image_);
  for (const auto& [top, rows] : bands(bandRows)) {
    if (top + rows <= area.top() || top > area.bottom()) continue;
    const QRect band(area.left(), top, area.width(), rows);
    picture.save();
    picture.setClipRect(band);
    picture.setCompositionMode(QPainter::CompositionMode_Source);
    picture.fillRect(band, Qt::transparent);
    picture.setCompositionMode(QPainter::CompositionMode_SourceOver);
    picture.setTransform(place_);
    draw(picture);
    picture.restore();
  }
}

}  // namespace murmela
