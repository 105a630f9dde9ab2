#pragma once

#include <QColor>
#include <QList>
#include <QSizeF>
#include <QString>

#include <functional>

class QPainter;

namespace murmela::gallery {

// One picture of the gallery: painted into `size` points at each scale and
// written as "<name>@<scale>x.png".
struct GalleryEntry {
  QString name;     // stable file stem: lower case, digits and dashes
  QString caption;  // a line under the picture on the page
  QSizeF size;
  QList<qreal> scales{3.0};
  QColor background = Qt::transparent;
  std::function<void(QPainter&)> paint;
};

// The pictures of one area, in the order added.
class GalleryPage {
 public:
  void add(GalleryEntry entry) { entries_.append(std::move(entry)); }
  void add(const QString& name, const QSizeF& size, std::function<void(QPainter&)> paint, const QString& caption = {},
           QList<qreal> scales = {3.0});
  const QList<GalleryEntry>& entries() const { return entries_; }

 private:
  QList<GalleryEntry> entries_;
};

// An area of the gallery ("kit", "chrome", "cards" ...): it fills its page when
// the gallery runs, after the application, the fonts and the demo reports
// are ready. Areas are ordered by `order`, then by id.
struct GalleryArea {
  QString id;
  QString title;
  int order = 0;
  std::function<void(GalleryPage&)> build;
};

bool registerArea(GalleryArea area);
QList<GalleryArea> areas();

}  // namespace murmela::gallery

// Registers an area from its own source file:
//   MURMELA_GALLERY_AREA(chrome, "Slide chrome", 20, buildChromePage)
#define MURMELA_GALLERY_AREA(id, title, order, build) \
  static const bool murmelaGalleryArea_##id =         \
      ::murmela::gallery::registerArea({QStringLiteral(#id), QStringLiteral(title), order, build})
