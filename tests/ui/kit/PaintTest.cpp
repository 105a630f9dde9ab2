#include "kit/motion/Motion.h"
#include "kit/paint/PainterState.h"
#include "kit/paint/Pens.h"
#include "kit/paint/Shadow.h"
#include "kit/paint/ShapeCache.h"
#include "kit/paint/Shapes.h"
#include "kit/symbols/Symbols.h"
#include "support/TestRegistry.h"
#include "testing/PaintRecorder.h"
#include "theme/MurmelaTheme.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <algorithm>

using namespace murmela;

namespace {

qreal area(const QPainterPath& path) {
  qreal total = 0.0;
  for (const QPolygonF& polygon : path.toFillPolygons()) {
    qreal twice = 0.0;
    for (qsizetype i = 0; i < polygon.size(); ++i) {
      const QPointF a = polygon[i];
      const QPointF b = polygon[(i + 1) % polygon.size()];
      twice += a.x() * b.y() - b.x() * a.y();
    }
    total += std::abs(twice) / 2.0;
  }
  return total;
}

}  // namespace

class PaintTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  // Dash lengths in points whatever the width (Qt counts them in widths, and
  // a pen under one point wide as one).
  void dashedPensKeepTheirPatternInPoints_data() {
    QTest::addColumn<qreal>("width");
    QTest::addColumn<QList<qreal>>("dash");
    QTest::newRow("1 wide, 4 on 3 off") << 1.0 << QList<qreal>{4, 3};
    QTest::newRow("1.2 wide, 4 on 3 off") << 1.2 << QList<qreal>{4, 3};
    QTest::newRow("thin") << 0.5 << QList<qreal>{3, 3};
    QTest::newRow("odd list repeats") << 2.0 << QList<qreal>{6};
  }
  void dashedPensKeepTheirPatternInPoints() {
    QFETCH(qreal, width);
    QFETCH(QList<qreal>, dash);
    StrokeStyle style = dashedStroke(width, dash, Qt::RoundCap);
    style.dashPhase = 2.0;
    PaintRecorder recorder;
    QPainter painter(&recorder);
    painter.setPen(style.pen(MurmelaTheme::inkSoft));
    painter.drawLine(QPointF(0, 48), QPointF(100, 48));
    painter.end();
    QCOMPARE(recorder.shapes().size(), 1);
    const QPen pen = *recorder.shapes().first().stroke;
    const QList<qreal> expected = dash.size() % 2 ? dash + dash : dash;
    const QList<qreal> recorded = dashPatternInPoints(pen);
    QCOMPARE(recorded.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) QVERIFY(std::abs(recorded[i] - expected[i]) < 1e-9);
    QVERIFY(std::abs(dashOffsetInPoints(pen) - 2.0) < 1e-9);
    QCOMPARE(pen.capStyle(), Qt::RoundCap);
    QCOMPARE(pen.joinStyle(), Qt::SvgMiterJoin);
    QCOMPARE(pen.miterLimit(), 10.0);
    QCOMPARE(pen.widthF(), width);
  }

  void solidStrokesDefaultToButtCapsAndMiterJoins() {
    const QPen pen = StrokeStyle{.width = 1.3}.pen(MurmelaTheme::sageDeep);
    QCOMPARE(pen.style(), Qt::SolidLine);
    QCOMPARE(pen.capStyle(), Qt::FlatCap);
    QCOMPARE(pen.joinStyle(), Qt::SvgMiterJoin);
    QCOMPARE(pen.miterLimit(), 10.0);
    QVERIFY(dashPatternInPoints(pen).isEmpty());
  }

  void continuousCornersReachFurtherAlongTheEdges() {
    const QRectF rect(0, 0, 400, 400);
    const QPainterPath circular = roundedRectPath(rect, 100, CornerStyle::circular);
    const QPainterPath continuous = roundedRectPath(rect, 100, CornerStyle::continuous);
    QCOMPARE(circular.boundingRect(), rect);
    QCOMPARE(continuous.boundingRect(), rect);
    // Where the circular arc only begins, the continuous corner already bends.
    const QPointF nearEdge(400 - 100, 0.5);
    QVERIFY(circular.contains(nearEdge));
    QVERIFY(!continuous.contains(nearEdge));
    // Both pass the diagonal at the same point: the arc in the middle is the same circle.
    const qreal onDiagonal = 100.0 * (1.0 - std::sqrt(0.5));
    QVERIFY(continuous.contains(QPointF(onDiagonal + 1.0, onDiagonal + 1.0)));
    QVERIFY(!continuous.contains(QPointF(onDiagonal - 1.0, onDiagonal - 1.0)));
    QVERIFY(area(continuous) < area(circular));
    QVERIFY(std::abs(continuousCornerExtent(100) - 160.0) < 1e-9);
  }

  // The outline split at its corners' middles: the four sides join up into the
  // whole outline, clockwise from the top, each ending where the next begins.
  void roundedRectSidesSplitAtTheCornersMiddles_data() {
    QTest::addColumn<QSizeF>("radii");
    QTest::addColumn<int>("style");
    QTest::newRow("continuous") << QSizeF(12, 12) << int(CornerStyle::continuous);
    QTest::newRow("elliptical") << QSizeF(16, 6) << int(CornerStyle::continuous);
    QTest::newRow("circular") << QSizeF(10, 10) << int(CornerStyle::circular);
    QTest::newRow("square") << QSizeF(0, 0) << int(CornerStyle::continuous);
  }
  void roundedRectSidesSplitAtTheCornersMiddles() {
    QFETCH(QSizeF, radii);
    QFETCH(int, style);
    const QRectF rect(10, 20, 100, 50);
    const QPainterPath whole = roundedRectPath(rect, radii, CornerStyle(style));
    const std::array<QPainterPath, 4> sides = roundedRectSides(rect, radii, CornerStyle(style));
    qreal total = 0.0;
    for (int i = 0; i < 4; ++i) {
      total += sides[i].length();
      QVERIFY(QLineF(sides[i].pointAtPercent(1), sides[(i + 1) % 4].pointAtPercent(0)).length() < 1e-6);
    }
    QVERIFY(std::abs(total - whole.length()) < 0.01);
    // The top side runs left to right above the middle, the right side down.
    QVERIFY(sides[0].pointAtPercent(0.5).y() < rect.top() + 0.01);
    QVERIFY(sides[0].pointAtPercent(0).x() < sides[0].pointAtPercent(1).x());
    QVERIFY(sides[1].pointAtPercent(0.5).x() > rect.right() - 0.01);
    // Each side starts half way round its corner: as far from the two edges
    // as the corner's radii are apart (on the diagonal for a round corner).
    const QPointF start = sides[0].pointAtPercent(0);
    if (radii.isEmpty()) {
      QCOMPARE(start, rect.topLeft());
    } else {
      const qreal across = (start.x() - rect.left()) / radii.width();
      const qreal down = (start.y() - rect.top()) / radii.height();
      QVERIFY2(std::abs(across - down) < 1e-6 && across > 0.2 && across < 0.5, qPrintable(QString::number(across)));
    }
  }

  // Dashes laid on a side so that both ends fall in the middle of a dash: a
  // whole number of patterns, each near the asked length.
  void dashesCentreOnBothEnds_data() {
    QTest::addColumn<qreal>("length");
    QTest::addColumn<qreal>("overhang");
    QTest::addColumn<int>("repeats");
    QTest::newRow("exact") << 30.0 << 0.0 << 5;
    QTest::newRow("stretched") << 32.0 << 0.0 << 5;
    QTest::newRow("shrunk") << 34.0 << 0.25 << 6;
    QTest::newRow("shorter than one pattern") << 2.0 << 0.2 << 1;
  }
  void dashesCentreOnBothEnds() {
    QFETCH(qreal, length);
    QFETCH(qreal, overhang);
    QFETCH(int, repeats);
    const StrokeStyle laid = dashedStroke(1.0, {3, 3}).centredOnEnds(length, overhang);
    QCOMPARE(laid.dash.size(), 2);
    const qreal period = laid.dash[0] + laid.dash[1];
    QVERIFY(std::abs(period * repeats - length) < 1e-9);
    QVERIFY(std::abs(laid.dash[0] - laid.dash[1]) < 1e-9);
    // Where the line (drawn `overhang` longer at each end) meets its ends, the
    // pattern is half way through a dash.
    const auto at = [&](qreal distance) { return std::fmod(laid.dashPhase + distance, period); };
    QVERIFY(std::abs(at(overhang) - laid.dash[0] / 2.0) < 1e-9);
    QVERIFY(std::abs(at(overhang + length) - laid.dash[0] / 2.0) < 1e-9);
    QVERIFY(dashedStroke(1.0, {}).centredOnEnds(length).dash.isEmpty());
  }

  void shortSidesTurnCornersIntoACapsule() {
    const QRectF rect(10, 10, 120, 24);
    const QPainterPath capsule = capsulePath(rect);
    QCOMPARE(capsule.boundingRect(), rect);
    QVERIFY(std::abs(area(roundedRectPath(rect, 40)) - area(capsule)) < 0.5);
    // A 96 x 24 middle and two half discs of radius 12.
    const qreal expected = 96.0 * 24.0 + M_PI * 12.0 * 12.0;
    QVERIFY2(std::abs(area(capsule) - expected) < expected * 0.005, qPrintable(QString::number(area(capsule))));
  }

  void shadowsAreBlurredSilhouettesUnderTheShape() {
    QImage image(200, 200, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);  // 100 x 100 points
    image.fill(Qt::transparent);
    QPainter painter(&image);
    QPainterPath square;
    square.addRect(30, 30, 40, 40);
    drawShadow(painter, square, {QColor(0, 0, 0, 128), 2.0, QPointF(0, 4)});
    painter.end();
    const auto alphaAt = [&](qreal x, qreal y) { return qAlpha(image.pixel(int(x * 2), int(y * 2))); };
    QVERIFY(std::abs(alphaAt(50, 54) - 128) <= 2);  // inside, moved down by the offset
    QCOMPARE(alphaAt(50, 15), 0);                   // far outside
    const int edge = alphaAt(50, 74);               // the moved bottom edge: about half
    QVERIFY2(edge > 40 && edge < 90, qPrintable(QString::number(edge)));
    QVERIFY(alphaAt(50, 71) > alphaAt(50, 77));  // it fades outward
  }

  void everyNamedSymbolIsDrawn_data() {
    QTest::addColumn<QString>("name");
    for (const char* name : {"chevron.left", "chevron.right", "square.and.arrow.up", "house", "xmark", "checkmark",
                             "lock.fill", "cloud.fill", "magnifyingglass", "gearshape", "trash", "plus", "arrow.right",
                             "link", "bubble.left.fill", "music.note", "doc.on.doc", "arrow.down.to.line"})
      QTest::newRow(name) << QString::fromLatin1(name);
  }
  void everyNamedSymbolIsDrawn() {
    QFETCH(QString, name);
    const std::optional<Symbol> symbol = symbolNamed(name);
    QVERIFY(symbol);
    QCOMPARE(symbolName(*symbol), name);
    const QSizeF size = symbolSize(*symbol, 14);
    QVERIFY(size.height() > 14 * 0.3 && size.height() < 14 * 1.25);
    QVERIFY(size.width() > 14 * 0.3 && size.width() < 14 * 1.25);
    QVERIFY(area(symbolPath(*symbol, 14, SymbolWeight::bold)) >= area(symbolPath(*symbol, 14, SymbolWeight::regular)));

    PaintRecorder recorder;
    QPainter painter(&recorder);
    const QRectF drawn = drawSymbol(painter, *symbol, QPointF(50, 60), 14, SymbolWeight::semibold, MurmelaTheme::ink);
    painter.end();
    QCOMPARE(recorder.filledWith(MurmelaTheme::ink).size(), 1);
    QVERIFY((drawn.center() - QPointF(50, 60)).manhattanLength() < 0.01);
  }

  void symbolListIsComplete() { QCOMPARE(allSymbols().size(), 18); }

  void recorderFoldsTransformAndOpacity() {
    PaintRecorder recorder;
    QPainter painter(&recorder);
    painter.translate(100, 200);
    {
      const OpacityScope faded(painter, 0.5);
      const OpacityScope fainter(painter, 0.5);
      painter.fillRect(QRectF(0, 0, 10, 20), withOpacity(MurmelaTheme::rose, 0.4));
    }
    {
      const RotationScope turned(painter, QPointF(5, 5), 90);
      painter.fillRect(QRectF(0, 0, 10, 2), MurmelaTheme::gold);
    }
    painter.fillRect(QRectF(0, 0, 1, 1), MurmelaTheme::ink);
    painter.end();
    const QList<PaintRecord> shapes = recorder.shapes();
    QCOMPARE(shapes.size(), 3);
    QCOMPARE(shapes[0].bounds, QRectF(100, 200, 10, 20));
    QCOMPARE(shapes[0].opacity, 0.25);
    QVERIFY(std::abs(shapes[0].effectiveColor().alphaF() - 0.1) < 0.001);
    // 10 x 2 at the top, turned a quarter clockwise about (5, 5): 2 x 10 at the right.
    QVERIFY((shapes[1].bounds.topLeft() - QPointF(108, 200)).manhattanLength() < 1e-6);
    QVERIFY(std::abs(shapes[1].bounds.width() - 2) < 1e-6 && std::abs(shapes[1].bounds.height() - 10) < 1e-6);
    QCOMPARE(shapes[2].opacity, 1.0);  // the scopes restored the painter
    QCOMPARE(shapes[2].bounds, QRectF(100, 200, 1, 1));
  }

  // A drawing blended from its cached image looks as drawn in place, at the
  // window's and the export's scales, off the pixel grid and under opacity;
  // a changed key draws it again.
  void shapeCacheLooksAsDrawnInPlace_data() {
    QTest::addColumn<qreal>("scale");
    QTest::addColumn<QPointF>("offset");
    QTest::addColumn<qreal>("opacity");
    QTest::newRow("1x") << 1.0 << QPointF() << 1.0;
    QTest::newRow("1x, off the grid, faded") << 1.0 << QPointF(0.3, 10.55) << 0.4;
    QTest::newRow("3x, off the grid") << 3.0 << QPointF(0.7, 0.2) << 1.0;
  }
  void shapeCacheLooksAsDrawnInPlace() {
    QFETCH(qreal, scale);
    QFETCH(QPointF, offset);
    QFETCH(qreal, opacity);
    ShapeCache cache;
    const QRectF ring(20.0, 20.0, 40.0, 40.0);
    const auto render = [&](bool cached, qreal sweep) {
      QImage image((QSizeF(80, 80) * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
      image.setDevicePixelRatio(scale);
      image.fill(MurmelaTheme::cream);
      QPainter painter(&image);
      painter.translate(offset);
      painter.setOpacity(opacity);
      const auto draw = [&](QPainter& target) {
        target.setRenderHint(QPainter::Antialiasing);
        QPainterPath arc;
        arc.arcMoveTo(ring, 90.0);
        arc.arcTo(ring, 90.0, sweep);
        target.strokePath(arc, QPen(MurmelaTheme::rose, 2.5, Qt::SolidLine, Qt::RoundCap));
      };
      if (cached)
        cache.paint(painter, ring.adjusted(-3, -3, 3, 3), quint64(sweep + 360.0), draw);
      else
        draw(painter);
      return image;
    };
    for (const qreal sweep : {-90.0, -200.0}) {
      const QImage direct = render(false, sweep);
      const QImage cached = render(true, sweep);
      int worst = 0;
      for (int y = 0; y < direct.height(); ++y)
        for (int x = 0; x < direct.width(); ++x) {
          const QRgb a = direct.pixel(x, y);
          const QRgb b = cached.pixel(x, y);
          worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                            std::abs(qBlue(a) - qBlue(b))});
        }
      QVERIFY2(worst <= 3, qPrintable(QString::number(worst)));
    }
  }

  void transitionsArePureFunctionsOfTime_data() {
    QTest::addColumn<double>("now");
    QTest::addColumn<bool>("motion");
    QTest::addColumn<double>("progress");
    QTest::newRow("before the start") << 9.0 << true << 0.0;
    QTest::newRow("at the start") << 10.0 << true << 0.0;
    QTest::newRow("halfway, ease-in-out is symmetric") << 10.11 << true << 0.5;
    QTest::newRow("at the end") << 10.22 << true << 1.0;
    QTest::newRow("long after") << 50.0 << true << 1.0;
    QTest::newRow("motion off: at the end from the start") << 10.0 << false << 1.0;
  }
  void transitionsArePureFunctionsOfTime() {
    QFETCH(double, now);
    QFETCH(bool, motion);
    QFETCH(double, progress);
    const Transition transition = Transition::startingAt(10.0, 0.22, Easing::easeInOut);
    std::optional<Motion::OffScope> off;
    if (!motion) off.emplace();
    QVERIFY(std::abs(transition.progress(now) - progress) < 1e-3);
    QCOMPARE(transition.finished(now), progress == 1.0);
  }

  void easeOutRunsAhead() {
    QVERIFY(eased(Easing::easeOut, 0.5) > 0.6);
    QVERIFY(eased(Easing::easeInOut, 0.25) < 0.25);
    QCOMPARE(eased(Easing::linear, 0.3), 0.3);
    QCOMPARE(Transition::instant().progress(0.0), 1.0);
    QVERIFY(Motion::enabled());
  }
};

MURMELA_TEST(PaintTest)
#include "PaintTest.moc"
