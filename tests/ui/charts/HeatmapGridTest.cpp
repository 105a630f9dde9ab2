#include "deck/charts/HeatmapGrid.h"
#include "support/TestRegistry.h"

#include <QTest>

using namespace murmela;

namespace {

// A 7 x 24 matrix of zeros with the given (day, hour, count) entries set.
HourMatrix weekWith(std::initializer_list<std::tuple<int, int, qint64>> entries) {
  HourMatrix matrix(kHeatmapWeekdays, QList<qint64>(kHeatmapColumns, 0));
  for (const auto& [day, hour, count] : entries) matrix[day][hour] = count;
  return matrix;
}

}  // namespace

class HeatmapGridTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void peakWindow_data() {
    QTest::addColumn<HourMatrix>("matrix");
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("hour");
    QTest::addColumn<qint64>("count");
    QTest::newRow("all zero: Sunday midnight") << weekWith({}) << 0 << 0 << qint64(0);
    QTest::newRow("empty matrix") << HourMatrix() << 0 << 0 << qint64(0);
    QTest::newRow("23 wraps to the same day's midnight") << weekWith({{1, 23, 5}, {1, 0, 5}}) << 1 << 23 << qint64(10);
    QTest::newRow("23 does not reach the next day") << weekWith({{1, 23, 5}, {2, 0, 6}}) << 2 << 0 << qint64(6);
    QTest::newRow("tie: earlier weekday") << weekWith({{4, 20, 3}, {2, 9, 3}}) << 2 << 8 << qint64(3);
    QTest::newRow("tie: earlier hour") << weekWith({{3, 9, 4}, {3, 15, 4}}) << 3 << 8 << qint64(4);
    QTest::newRow("two hours beat one") << weekWith({{0, 10, 6}, {5, 21, 4}, {5, 22, 4}}) << 5 << 21 << qint64(8);
    QTest::newRow("negative counts never win") << weekWith({{0, 0, -5}, {6, 3, -1}}) << 0 << 0 << qint64(0);
    QTest::newRow("short row: missing hours count 0") << HourMatrix{{0, 0, 0}, {7, 0, 1, 2}} << 1 << 0 << qint64(7);
    QTest::newRow("hours past 23 are ignored") << HourMatrix{QList<qint64>(24, 0) << 100 << 100} << 0 << 0 << qint64(0);
    HourMatrix eightRows = weekWith({{6, 1, 2}});
    eightRows.append(QList<qint64>{0, 9});
    QTest::newRow("an eighth row takes part") << eightRows << 7 << 0 << qint64(9);
  }
  void peakWindow() {
    QFETCH(int, day);
    QFETCH(int, hour);
    QFETCH(qint64, count);
    QFETCH(HourMatrix, matrix);
    const HeatmapPeak peak = heatmapPeak(matrix);
    QCOMPARE(peak.day, day);
    QCOMPARE(peak.hour, hour);
    QCOMPARE(peak.count, count);
  }

  void maxValueIsAtLeastOne_data() {
    QTest::addColumn<HourMatrix>("matrix");
    QTest::addColumn<qint64>("expected");
    QTest::newRow("empty") << HourMatrix() << qint64(1);
    QTest::newRow("zeros") << weekWith({}) << qint64(1);
    QTest::newRow("largest anywhere") << weekWith({{6, 23, 7}, {0, 0, 3}}) << qint64(7);
  }
  void maxValueIsAtLeastOne() {
    QFETCH(qint64, expected);
    QFETCH(HourMatrix, matrix);
    QCOMPARE(heatmapMaxValue(matrix), expected);
  }

  void columnsRunNoonToNoon_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("hour");
    QTest::addColumn<QString>("mark");
    QTest::newRow("first") << 0 << 12 << "12p";
    QTest::newRow("evening") << 6 << 18 << "6p";
    QTest::newRow("eleven at night") << 11 << 23 << "";
    QTest::newRow("midnight in the middle") << 12 << 0 << "12a";
    QTest::newRow("morning") << 18 << 6 << "6a";
    QTest::newRow("last") << 23 << 11 << "";
  }
  void columnsRunNoonToNoon() {
    QFETCH(QString, mark);
    QFETCH(int, column);
    QFETCH(int, hour);
    QCOMPARE(heatmapColumnHour(column), hour);
    QCOMPARE(heatmapHourColumn(hour), column);
    QCOMPARE(heatmapHourMark(hour), mark);
  }
};

MURMELA_TEST(HeatmapGridTest)
#include "HeatmapGridTest.moc"
