#include "testing/PaintRecorder.h"

#include "theme/FontFactory.h"

#include <QPaintEngine>
#include <QPainter>
#include <QTextItem>

#include <climits>
#include <cmath>

namespace murmela {
namespace {

bool draws(const QPen& pen) { return pen.style() != Qt::NoPen && pen.brush().style() != Qt::NoBrush; }
bool draws(const QBrush& brush) { return brush.style() != Qt::NoBrush; }

class RecordingEngine : public QPaintEngine {
 public:
  explicit RecordingEngine(PaintRecorder& recorder) : QPaintEngine(QPaintEngine::AllFeatures), recorder_(recorder) {}

  bool begin(QPaintDevice*) override { return true; }
  bool end() override { return true; }
  void updateState(const QPaintEngineState&) override {}
  Type type() const override { return QPaintEngine::User; }

  void drawPath(const QPainterPath& path) override { recordShape(path, true); }

  void drawRects(const QRectF* rects, int count) override {
    for (int i = 0; i < count; ++i) {
      QPainterPath path;
      path.addRect(rects[i]);
      recordShape(path, true);
    }
  }
  void drawRects(const QRect* rects, int count) override {
    for (int i = 0; i < count; ++i) {
      const QRectF rect(rects[i]);
      drawRects(&rect, 1);
    }
  }

  void drawEllipse(const QRectF& rect) override {
    QPainterPath path;
    path.addEllipse(rect);
    recordShape(path, true);
  }
  void drawEllipse(const QRect& rect) override { drawEllipse(QRectF(rect)); }

  void drawLines(const QLineF* lines, int count) override {
    for (int i = 0; i < count; ++i) {
      QPainterPath path;
      path.moveTo(lines[i].p1());
      path.lineTo(lines[i].p2());
      recordShape(path, false);
    }
  }
  void drawLines(const QLine* lines, int count) override {
    for (int i = 0; i < count; ++i) {
      const QLineF line(lines[i]);
      drawLines(&line, 1);
    }
  }

  void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override {
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(points, points + count)));
    if (mode != PolylineMode) path.closeSubpath();
    path.setFillRule(mode == WindingMode ? Qt::WindingFill : Qt::OddEvenFill);
    recordShape(path, mode != PolylineMode);
  }
  void drawPolygon(const QPoint* points, int count, PolygonDrawMode mode) override {
    QList<QPointF> converted;
    for (int i = 0; i < count; ++i) converted.append(QPointF(points[i]));
    drawPolygon(converted.constData(), count, mode);
  }

  void drawPoints(const QPointF* points, int count) override {
    for (int i = 0; i < count; ++i) {
      QPainterPath path;
      path.moveTo(points[i]);
      path.lineTo(points[i]);
      recordShape(path, false);
    }
  }

  void drawPixmap(const QRectF& target, const QPixmap&, const QRectF&) override { recordImage(target); }
  void drawImage(const QRectF& target, const QImage&, const QRectF&, Qt::ImageConversionFlags) override {
    recordImage(target);
  }
  void drawTiledPixmap(const QRectF& target, const QPixmap&, const QPointF&) override { recordImage(target); }

  void drawTextItem(const QPointF& origin, const QTextItem& item) override {
    PaintRecord record;
    record.kind = PaintRecord::Kind::text;
    const QTransform transform = painter()->combinedTransform();
    record.bounds =
        transform.mapRect(QRectF(origin.x(), origin.y() - item.ascent(), item.width(), item.ascent() + item.descent()));
    record.baselineOrigin = transform.map(origin);
    // The characters drawn: the invisible controls of isolated runs left out.
    record.text = item.text();
    for (const char16_t control : {u'\u2066', u'\u2067', u'\u2068', u'\u2069'}) record.text.remove(QChar(control));
    if (record.text.isEmpty() && !item.text().isEmpty()) return;  // nothing but controls
    record.font = item.font();
    // Kit texts are shaped at a multiple of their size and drawn scaled back.
    record.fontSize = FontFactory::logicalSize(item.font()) * std::sqrt(std::abs(transform.determinant()));
    record.color = painter()->pen().color();
    record.opacity = painter()->opacity();
    recorder_.append(std::move(record));
  }

 private:
  void recordShape(const QPainterPath& path, bool fillable) {
    PaintRecord record;
    record.kind = PaintRecord::Kind::shape;
    const QTransform transform = painter()->combinedTransform();
    record.path = transform.map(path);
    record.bounds = record.path.boundingRect();
    if (fillable && draws(painter()->brush())) {
      QBrush brush = painter()->brush();
      record.fill = brush;
    }
    if (draws(painter()->pen())) record.stroke = painter()->pen();
    record.opacity = painter()->opacity();
    if (!record.fill && !record.stroke) return;
    recorder_.append(std::move(record));
  }

  void recordImage(const QRectF& target) {
    PaintRecord record;
    record.kind = PaintRecord::Kind::image;
    record.bounds = painter()->combinedTransform().mapRect(target);
    record.opacity = painter()->opacity();
    recorder_.append(std::move(record));
  }

  PaintRecorder& recorder_;
};

}  // namespace

std::optional<QColor> PaintRecord::fillColor() const {
  if (!fill || fill->style() != Qt::SolidPattern) return std::nullopt;
  return fill->color();
}

std::optional<QColor> PaintRecord::strokeColor() const {
  if (!stroke) return std::nullopt;
  return stroke->color();
}

QColor PaintRecord::effectiveColor() const {
  QColor base = kind == Kind::text ? color : fillColor().value_or(strokeColor().value_or(QColor()));
  base.setAlphaF(static_cast<float>(base.alphaF() * opacity));
  return base;
}

PaintRecorder::PaintRecorder(QSize size) : size_(size), engine_(std::make_unique<RecordingEngine>(*this)) {}

PaintRecorder::~PaintRecorder() = default;

QPaintEngine* PaintRecorder::paintEngine() const { return engine_.get(); }

int PaintRecorder::metric(PaintDeviceMetric metric) const {
  const int dpi = FontFactory::fontDpi();
  switch (metric) {
    case PdmWidth:
      return size_.width();
    case PdmHeight:
      return size_.height();
    case PdmWidthMM:
      return qRound(size_.width() * 25.4 / dpi);
    case PdmHeightMM:
      return qRound(size_.height() * 25.4 / dpi);
    case PdmNumColors:
      return INT_MAX;
    case PdmDepth:
      return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
      return dpi;
    case PdmDevicePixelRatio:
      return 1;
    case PdmDevicePixelRatioScaled:
      return static_cast<int>(devicePixelRatioFScale());
  }
  return 0;
}

QList<PaintRecord> PaintRecorder::where(const std::function<bool(const PaintRecord&)>& accept) const {
  QList<PaintRecord> result;
  for (const PaintRecord& record : records_)
    if (accept(record)) result.append(record);
  return result;
}

QList<PaintRecord> PaintRecorder::texts() const {
  return where([](const PaintRecord& record) { return record.kind == PaintRecord::Kind::text; });
}

QList<PaintRecord> PaintRecorder::shapes() const {
  return where([](const PaintRecord& record) { return record.kind == PaintRecord::Kind::shape; });
}

QList<PaintRecord> PaintRecorder::images() const {
  return where([](const PaintRecord& record) { return record.kind == PaintRecord::Kind::image; });
}

QList<PaintRecord> PaintRecorder::textsContaining(const QString& text) const {
  return where(
      [&](const PaintRecord& record) { return record.kind == PaintRecord::Kind::text && record.text.contains(text); });
}

std::optional<PaintRecord> PaintRecorder::firstText(const QString& containing) const {
  const QList<PaintRecord> found = textsContaining(containing);
  if (found.isEmpty()) return std::nullopt;
  return found.first();
}

QString PaintRecorder::allText() const {
  QStringList parts;
  for (const PaintRecord& record : records_)
    if (record.kind == PaintRecord::Kind::text) parts.append(record.text);
  return parts.join(QLatin1Char('|'));
}

QList<PaintRecord> PaintRecorder::filledWith(const QColor& color) const {
  return where([&](const PaintRecord& record) { return record.fillColor() == color; });
}

QList<PaintRecord> PaintRecorder::strokedWith(const QColor& color) const {
  return where([&](const PaintRecord& record) { return record.strokeColor() == color; });
}

}  // namespace murmela
