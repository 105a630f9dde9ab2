#pragma once

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QList>
#include <QPaintDevice>
#include <QPainterPath>
#include <QPen>
#include <QRectF>
#include <QSize>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace murmela {

// One thing a painter was asked to draw, in the recorder's coordinates (the
// painter's transform applied).
struct PaintRecord {
  enum class Kind { shape, text, image };
  Kind kind = Kind::shape;
  QRectF bounds;        // what it covers
  qreal opacity = 1.0;  // the painter's opacity at the time

  // Shapes: the outline, the brush (nullopt without one) and the pen (nullopt without one).
  QPainterPath path;
  std::optional<QBrush> fill;
  std::optional<QPen> stroke;

  // Texts: the characters of one drawn text item, its font, its size in
  // points and its colour (the pen it was drawn with).
  QString text;
  QFont font;
  qreal fontSize = 0.0;
  QColor color;
  QPointF baselineOrigin;

  std::optional<QColor> fillColor() const;    // the solid fill colour
  std::optional<QColor> strokeColor() const;  // the stroke colour
  // The fill (or text) colour with the painter's opacity folded into its alpha.
  QColor effectiveColor() const;
};

// A paint device that draws nothing and records what it is asked to draw, so
// a test can paint anything and assert on texts (with their rectangles,
// fonts and colours) and shapes (with their fill and stroke) instead of on
// pixels. Logical units, device pixel ratio 1, and the fonts' dpi.
class PaintRecorder : public QPaintDevice {
 public:
  explicit PaintRecorder(QSize size = QSize(390, 780));
  ~PaintRecorder() override;

  QPaintEngine* paintEngine() const override;

  const QList<PaintRecord>& records() const { return records_; }
  QList<PaintRecord> texts() const;
  QList<PaintRecord> shapes() const;
  QList<PaintRecord> images() const;
  // Every record a predicate accepts.
  QList<PaintRecord> where(const std::function<bool(const PaintRecord&)>& accept) const;
  // Text records whose characters contain `text`, and the first one.
  QList<PaintRecord> textsContaining(const QString& text) const;
  std::optional<PaintRecord> firstText(const QString& containing) const;
  // The texts in the order drawn, joined by "|".
  QString allText() const;
  // Shapes filled with exactly this colour (alpha included).
  QList<PaintRecord> filledWith(const QColor& color) const;
  QList<PaintRecord> strokedWith(const QColor& color) const;
  void clear() { records_.clear(); }

  void append(PaintRecord record) { records_.append(std::move(record)); }

 protected:
  int metric(PaintDeviceMetric metric) const override;

 private:
  QSize size_;
  QList<PaintRecord> records_;
  std::unique_ptr<QPaintEngine> engine_;
};

}  // namespace murmela
