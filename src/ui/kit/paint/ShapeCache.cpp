#include "kit/paint/ShapeCache.h"

#include <QPaintEngine>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace murmela {
namespace {

constexpr int kBandRows = 2;

}  // namespace

void ShapeCache::paint(QPainter& painter, const QRectF& bounds, quint64 key, const Draw& draw, const Changed& changed) {
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
    drawArea(image_.rect(), draw);
    key_ = key;
    scale_ = scale;
    offset_ = offset;
    size_ = bounds.size();
  } else if (key != key_) {
    QRect area = image_.rect();
    if (changed) {
      // Antialiasing reaches one device pixel past the shapes; the rows are
      // those of whole bands, as a whole redraw clips them.
      const QRect reach = place_.mapRect(changed(key_, key)).toAlignedRect().adjusted(-1, -1, 1, 1);
      const int top = std::max(0, reach.top()) / kBandRows * kBandRows;
      area = QRect(0, top, image_.width(), reach.bottom() + 1 - top) & image_.rect();
    }
    drawArea(area, draw);
    key_ = key;
  }
  // The image's pixels cover the device pixels from `pixel` one to one.
  const QPointF topLeft = device.inverted().map(pixel);
  painter.drawImage(QRectF(topLeft, QSizeF(image_.size()) / scale), image_);
}

void ShapeCache::drawArea(const QRect& area, const Draw& draw) {
  if (area.isEmpty()) return;
  QPainter picture(&image_);
  picture.setCompositionMode(QPainter::CompositionMode_Source);
  picture.fillRect(area, Qt::transparent);
  picture.setCompositionMode(QPainter::CompositionMode_SourceOver);
  // Drawn in bands of a few pixel rows: a fill reaching over more rows would
  // itself go to the thread pool.
  for (int top = area.top(); top <= area.bottom(); top += kBandRows) {
    picture.save();
    picture.setClipRect(QRect(area.left(), top, area.width(), std::min(kBandRows, area.bottom() + 1 - top)));
    picture.setTransform(place_);
    draw(picture);
    picture.restore();
  }
}

}  // namespace murmela
