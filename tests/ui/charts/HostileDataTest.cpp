#include "deck/charts/ArgumentTimeline.h"
#include "deck/charts/DonutChart.h"
#include "deck/charts/MessageHeatmap.h"
#include "deck/charts/ResponseLineChart.h"
#include "deck/charts/SentimentAreaChart.h"
#include "deck/charts/YearBars.h"
#include "support/TestRegistry.h"
#include "testing/PaintRecorder.h"
#include "theme/FontRegistry.h"

#include <QPainter>
#include <QTest>

#include <cmath>
#include <functional>
#include <limits>

using namespace murmela;

namespace {

using Painting = std::function<void(QPainter&)>;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr qint64 kLargest = std::numeric_limits<qint64>::max();
const QRectF kFrame(28, 100, 334, 240);

bool finite(const QRectF& rect) {
  return std::isfinite(rect.x()) && std::isfinite(rect.y()) && std::isfinite(rect.width()) &&
         std::isfinite(rect.height());
}

ArgumentEvent argument(Date date, qint64 messages) {
  ArgumentEvent event;
  event.date = date;
  event.messageCount = messages;
  return event;
}

}  // namespace

Q_DECLARE_METATYPE(Painting)

// Data no analysis produces, but a hand-edited or damaged report can hold:
// every piece still lays out and paints, and nothing it draws has a geometry
// that is not a number.
class HostileDataTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { FontRegistry::registerFonts(); }

  void piecesNeverDrawBrokenGeometry_data() {
    QTest::addColumn<Painting>("paint");
    QTest::newRow("sentiment scores and months that are not numbers") << Painting([](QPainter& p) {
      paintSentimentAreaChart(
          p,
          layoutSentimentAreaChart(
              {{{Date(kNaN), kNaN}, {Date(kInfinity), kInfinity}, {Date(1e300), -kInfinity}, {Date(0), 0.5}}}, kFrame));
    });
    QTest::newRow("reply times that are not numbers or negative") << Painting([](QPainter& p) {
      paintResponseLineChart(p, layoutResponseLineChart({{{2020, kNaN, kInfinity}, {-5, -60, 1e308}}, "Sam"}, kFrame));
    });
    QTest::newRow("argument dates and counts out of any range") << Painting([](QPainter& p) {
      paintArgumentTimeline(
          p, layoutArgumentTimeline({{argument(Date(kNaN), 5), argument(Date(1e12), kLargest), argument(Date(7e8), -9)},
                                     Date(6e8),
                                     Date(8e8)},
                                    kFrame));
    });
    QTest::newRow("a time line with no dates at all") << Painting([](QPainter& p) {
      paintArgumentTimeline(p,
                            layoutArgumentTimeline({{argument(Date(7e8), 3)}, Date(kNaN), Date(-kInfinity)}, kFrame));
    });
    QTest::newRow("year counts at the ends of the integers") << Painting([](QPainter& p) {
      paintYearBars(p, layoutYearBars({{{-3, -40}, {0, kLargest}, {kLargest, 1}}}, QRectF(28, 100, 334, 320)));
    });
    QTest::newRow("a frame too small for the plot") << Painting([](QPainter& p) {
      paintResponseLineChart(p, layoutResponseLineChart({{{2020, 60, 120}}, "Sam"}, QRectF(0, 0, 10, 10)));
      paintYearBars(p, layoutYearBars({{{2020, 1}}}, QRectF(0, 0, 10, 10)));
    });
    QTest::newRow("heat counts at the ends of the integers") << Painting([](QPainter& p) {
      HourMatrix matrix(7, QList<qint64>(24, kLargest));
      matrix[3][4] = std::numeric_limits<qint64>::min();
      paintMessageHeatmap(p, layoutMessageHeatmap({matrix}, kFrame));
    });
    QTest::newRow("donut counts at the ends of the integers") << Painting([](QPainter& p) {
      paintDonutChart(p, layoutDonutChart({kLargest, kLargest}, QRectF(85, 100, 220, 220)));
      paintDonutChart(p, layoutDonutChart({-4, std::numeric_limits<qint64>::min()}, QRectF(85, 100, 220, 220)));
    });
  }
  void piecesNeverDrawBrokenGeometry() {
    QFETCH(Painting, paint);
    PaintRecorder recorder;
    {
      QPainter painter(&recorder);
      paint(painter);
    }
    QVERIFY(!recorder.records().isEmpty());
    for (const PaintRecord& record : recorder.records()) {
      QVERIFY2(finite(record.bounds), qPrintable(record.text));
      if (record.kind == PaintRecord::Kind::shape)
        for (int i = 0; i < record.path.elementCount(); ++i)
          QVERIFY(std::isfinite(record.path.elementAt(i).x) && std::isfinite(record.path.elementAt(i).y));
    }
  }
};

MURMELA_TEST(HostileDataTest)
#include "HostileDataTest.moc"
