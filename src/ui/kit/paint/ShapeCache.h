#pragma once

#include <QImage>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QTransform>

#include <functional>
#include <utility>

class QPainter;

namespace murmela {

// A small drawing that changes rarely but is painted often (a screen
// animating around it), kept as an image at the painter's device scale and
// sub-pixel position and blended in place while its key stays the same.
// Filling antialiased paths of more than a few dozen pixel rows on the GUI
// thread hands the rows to Qt's global thread pool and waits for them, which
// a busy machine can stretch to a visible stall; blending an image does not.
// Painters that are not raster painters on a plain scale (recorders, rotated
// painters) get the drawing itself.
class ShapeCache {
 public:
  using Draw = std::function<void(QPainter&)>;
  // Where the drawings named by two keys may differ (logical coordinates of
  // the painter, without antialiasing's one device pixel).
  using Changed = std::function<QRectF(quint64 from, quint64 to)>;
  // How many pixel rows the band starting at `top` (logical coordinates of
  // the painter) may take: as many as keep each fill of the drawing within
  // them under about 90 spans (runs of one coverage on a row), past which the
  // fill goes to the thread pool. Without it, every band takes two rows.
  using BandRows = std::function<int(qreal top)>;

  // Paints `draw`, which stays inside `bounds` (logical coordinates of the
  // painter), through the cache; `key` names what `draw` draws. With
  // `changed`, a new key redraws only the bands of pixel rows that it says
  // may differ, which come out as a whole redraw gives them.
  void paint(QPainter& painter, const QRectF& bounds, quint64 key, const Draw& draw, const Changed& changed = {},
             const BandRows& bandRows = {});

 private:
  // The image's bands of pixel rows, each as its first row and row count.
  QList<std::pair<int, int>> bands(const BandRows& bandRows) const;
  void drawArea(const QRect& area, const Draw& draw, const BandRows& bandRows);

  QImage image_;
  quint64 key_ = 0;
  qreal scale_ = 0.0;
  QPointF offset_;  // sub-pixel position of the image's corner
  QSizeF size_;
  QTransform place_;  // logical coordinates to the image's pixels
};

}  // namespace murmela
