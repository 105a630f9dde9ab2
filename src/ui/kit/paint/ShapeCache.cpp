#include "kit/paint/ShapeCache.h"

#include <QPaintEngine>
#include <QPainter>
#include <QTransform>

#include <cmath>

namespace murmela {
namespace {

constexpr int kBandRows = 2;

}  // namespace

void ShapeCache::paint(QPainter& painter, const QRectF& bounds, quint64 key, const Draw& draw) {
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
  if (image_.isNull() || key != key_ || scale != scale_ || offset != offset_ || bounds.size() != size_) {
    const QSize pixels(static_cast<int>(std::ceil(bounds.width() * scale + offset.x())),
                       static_cast<int>(std::ceil(bounds.height() * scale + offset.y())));
    image_ = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    image_.fill(Qt::transparent);
    // Drawn in bands of a few pixel rows: a fill reaching over more rows
    // would itself go to the thread pool.
    QPainter picture(&image_);
    QTransform place;
    place.translate(offset.x(), offset.y());
    place.scale(scale, scale);
    place.translate(-bounds.left(), -bounds.top());
    for (int top = 0; top < pixels.height(); top += kBandRows) {
      picture.save();
      picture.setClipRect(QRect(0, top, pixels.width(), kBandRows));
      picture.setTransform(place);
      draw(picture);
      picture.restore();
    }
    picture.end();
    key_ = key;
    scale_ = scale;
    offset_ = offset;
    size_ = bounds.size();
  }
  // The image's pixels cover the device pixels from `pixel` one to one.
  const QPointF topLeft = device.inverted().map(pixel);
  painter.drawImage(QRectF(topLeft, QSizeF(image_.size()) / scale), image_);
}

}  // namespace murmela
