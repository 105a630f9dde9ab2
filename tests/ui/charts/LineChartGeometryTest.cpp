#include "deck/charts/LineChart.h"
#include "support/TestRegistry.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace murmela;

namespace {

const QRectF kFrame(0, 0, 300, 240);  // plot: x 42 ... 284, y 18 ... 206

LineChart chartOf(const QList<double>& a, const QList<ChartAnnotation>& annotations = {}) {
  LineChart chart;
  chart.seriesA = a;
  chart.maxValue = 10.0;
  chart.annotations = annotations;
  return chart;
}

}  // namespace

class LineChartGeometryTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void labelIndices_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<int>>("expected");
    QTest::newRow("none") << 0 << QList<int>{};
    QTest::newRow("negative") << -3 << QList<int>{};
    QTest::newRow("one") << 1 << QList<int>{0};
    QTest::newRow("two") << 2 << QList<int>{0, 1};
    QTest::newRow("seven: all") << 7 << QList<int>{0, 1, 2, 3, 4, 5, 6};
    QTest::newRow("eight: four") << 8 << QList<int>{0, 2, 5, 7};
    QTest::newRow("nine") << 9 << QList<int>{0, 3, 6, 8};
    QTest::newRow("twelve") << 12 << QList<int>{0, 4, 8, 11};
  }
  void labelIndices() {
    QFETCH(QList<int>, expected);
    QFETCH(int, count);
    QCOMPARE(lineChartLabelIndices(count), expected);
  }

  void pointsClampIntoThePlot_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("maxValue");
    QTest::addColumn<double>("y");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("half") << 5.0 << 10.0 << 112.0;
    QTest::newRow("above the top") << 25.0 << 10.0 << 18.0;
    QTest::newRow("negative") << -4.0 << 10.0 << 206.0;
    QTest::newRow("0 / 0 is the top") << 0.0 << 0.0 << 18.0;
    QTest::newRow("value / 0") << 3.0 << 0.0 << 18.0;
    QTest::newRow("not a number") << nan << 10.0 << 18.0;
    QTest::newRow("infinite") << inf << 10.0 << 18.0;
    QTest::newRow("minus infinity") << -inf << 10.0 << 206.0;
  }
  void pointsClampIntoThePlot() {
    QFETCH(double, maxValue);
    QFETCH(double, y);
    QFETCH(double, value);
    const QList<QPointF> points = lineChartPoints({value}, maxValue, lineChartPlot(kFrame));
    QCOMPARE(points.size(), 1);
    QCOMPARE(points[0].x(), 42.0);
    QCOMPARE(points[0].y(), y);
  }

  void seriesSpreadOverThePlot_data() {
    QTest::addColumn<QList<double>>("values");
    QTest::addColumn<QList<double>>("xs");
    QTest::newRow("empty") << QList<double>{} << QList<double>{};
    QTest::newRow("one on the left edge") << QList<double>{1} << QList<double>{42};
    QTest::newRow("two on both edges") << QList<double>{1, 2} << QList<double>{42, 284};
    QTest::newRow("three") << QList<double>{1, 2, 3} << QList<double>{42, 163, 284};
  }
  void seriesSpreadOverThePlot() {
    QFETCH(QList<double>, xs);
    QFETCH(QList<double>, values);
    QList<double> actual;
    for (const QPointF& p : lineChartPoints(values, 10.0, lineChartPlot(kFrame))) actual.append(p.x());
    QCOMPARE(actual, xs);
  }

  void gridLabelsUseTheFirstFive_data() {
    QTest::addColumn<QStringList>("labels");
    QTest::addColumn<int>("labelled");
    QTest::newRow("six") << QStringList{"a", "b", "c", "d", "e", "f"} << 5;
    QTest::newRow("three") << QStringList{"a", "b", "c"} << 3;
    QTest::newRow("none") << QStringList{} << 0;
  }
  void gridLabelsUseTheFirstFive() {
    QFETCH(QStringList, labels);
    QFETCH(int, labelled);
    LineChart chart = chartOf({});
    chart.yAxisLabels = labels;
    const LineChartLayout layout = layoutLineChart(chart, kFrame);
    QCOMPARE(layout.grid.size(), 5);
    for (int k = 0; k < 5; ++k) {
      QCOMPARE(layout.grid[k].y, 18.0 + 188.0 * k * 0.25);
      QCOMPARE(layout.grid[k].label.has_value(), k < labelled);
      if (k < labelled) QCOMPARE(*layout.grid[k].label, chart.yAxisLabels[k]);
    }
  }

  void annotationsSkipOutOfRange_data() {
    QTest::addColumn<QList<int>>("indices");
    QTest::addColumn<QList<int>>("drawn");
    QTest::newRow("minus one and the count") << QList<int>{-1, 3, 1} << QList<int>{1};
    QTest::newRow("all in range") << QList<int>{2, 0} << QList<int>{2, 0};
  }
  void annotationsSkipOutOfRange() {
    QFETCH(QList<int>, indices);
    QFETCH(QList<int>, drawn);
    QList<ChartAnnotation> annotations;
    for (const int i : indices) annotations.append({i, QStringLiteral("T"), Qt::red, {}});
    const LineChartLayout layout = layoutLineChart(chartOf({1, 2, 3}, annotations), kFrame);
    QList<int> actual;
    for (const auto& a : layout.annotations) actual.append(a.index);
    QCOMPARE(actual, drawn);
  }

  void annotationTitlesStayInsideThePlot_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("placement");
    QTest::addColumn<QPointF>("title");
    QTest::addColumn<QPointF>("leaderEnd");
    // plot: x 42 ... 284, y 18 ... 206; points at x 42, 163, 284
    QTest::newRow("first point, below") << 0 << 5.0 << int(ChartAnnotation::Placement::below) << QPointF(96, 164)
                                        << QPointF(42, 150);
    QTest::newRow("last point, above") << 2 << 5.0 << int(ChartAnnotation::Placement::above) << QPointF(230, 60)
                                       << QPointF(284, 74);
    QTest::newRow("top, above: clamped down")
        << 1 << 10.0 << int(ChartAnnotation::Placement::above) << QPointF(163, 34) << QPointF(163, -20);
    QTest::newRow("bottom, below: clamped up")
        << 1 << 0.0 << int(ChartAnnotation::Placement::below) << QPointF(163, 196) << QPointF(163, 244);
  }
  void annotationTitlesStayInsideThePlot() {
    QFETCH(double, value);
    QFETCH(int, placement);
    QFETCH(QPointF, title);
    QFETCH(QPointF, leaderEnd);
    QFETCH(int, index);
    QList<double> values = {5, 5, 5};
    values[index] = value;
    const ChartAnnotation annotation{index, QStringLiteral("T"), Qt::red, ChartAnnotation::Placement(placement)};
    const LineChartLayout layout = layoutLineChart(chartOf(values, {annotation}), kFrame);
    QCOMPARE(layout.annotations.size(), 1);
    QCOMPARE(layout.annotations[0].point, layout.pointsA[index]);
    QCOMPARE(layout.annotations[0].titleCentre, title);
    QCOMPARE(layout.annotations[0].leaderEnd, leaderEnd);
  }

  void areaModeClosesAlongTheBottom() {
    LineChart chart = chartOf({5, 10});
    chart.seriesB = {1, 2, 3};
    chart.fill = true;
    const LineChartLayout layout = layoutLineChart(chart, kFrame);
    QVERIFY(layout.pointsB.isEmpty());
    QCOMPARE(layout.area, QPolygonF({{42, 112}, {284, 18}, {284, 206}, {42, 206}}));
    chart.seriesA.clear();
    QVERIFY(layoutLineChart(chart, kFrame).area.isEmpty());
  }

  void xLabelsFollowTheLabelCount() {
    LineChart chart = chartOf({1, 2});
    chart.labels = QStringList{"'21", "'22", "'23"};
    const LineChartLayout layout = layoutLineChart(chart, kFrame);
    QCOMPARE(layout.xLabels.size(), 3);
    QCOMPARE(layout.xLabels[1].text, QStringLiteral("'22"));
    QCOMPARE(layout.xLabels[1].centre, QPointF(163, 228));
  }
};

MURMELA_TEST(LineChartGeometryTest)
#include "LineChartGeometryTest.moc"
