#include "GalleryRegistry.h"

#include <algorithm>

namespace murmela::gallery {
namespace {

QList<GalleryArea>& registered() {
  static QList<GalleryArea> list;
  return list;
}

}  // namespace

void GalleryPage::add(const QString& name, const QSizeF& size, std::function<void(QPainter&)> paint,
                      const QString& caption, QList<qreal> scales) {
  GalleryEntry entry;
  entry.name = name;
  entry.caption = caption;
  entry.size = size;
  entry.scales = std::move(scales);
  entry.paint = std::move(paint);
  add(std::move(entry));
}

bool registerArea(GalleryArea area) {
  registered().append(std::move(area));
  return true;
}

QList<GalleryArea> areas() {
  QList<GalleryArea> sorted = registered();
  std::stable_sort(sorted.begin(), sorted.end(), [](const GalleryArea& a, const GalleryArea& b) {
    return a.order != b.order ? a.order < b.order : a.id < b.id;
  });
  return sorted;
}

}  // namespace murmela::gallery
