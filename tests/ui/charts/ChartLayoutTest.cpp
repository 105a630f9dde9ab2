#include "deck/charts/MessageHeatmap.h"
#include "deck/charts/ResponseLineChart.h"
#include "deck/charts/SentimentAreaChart.h"
#include "support/TestRegistry.h"
#include "theme/FontRegistry.h"
#include "theme/MurmelaTheme.h"

#include <QTest>

using namespace murmela;

Q_DECLARE_METATYPE(QList<murmela::YearlyResponseTime>)

namespace {

HourMatrix zeros(int rows = kHeatmapWeekdays, int hours = kHeatmapColumns) {
  return HourMatrix(rows, QList<qint64>(hours, 0));
}

const HeatmapCell* cellAt(const MessageHeatmapLayout& layout, int day, int hour) {
  for (const HeatmapCell& cell : layout.cells)
    if (cell.day == day && cell.hour == hour) return &cell;
  return nullptr;
}

Date month(int year, int month) {
  return Date::fromQDateTime(QDateTime(QDate(year, month, 1), QTime(0, 0), QTimeZone::systemTimeZone()));
}

QList<MonthlySentiment> months(const QList<double>& scores) {
  QList<MonthlySentiment> list;
  for (int i = 0; i < scores.size(); ++i) list.append({month(2023 + i / 12, 1 + i % 12), scores[i]});
  return list;
}

const QRectF kHeatmapRect(28, 200, 334, 0);

}  // namespace

class ChartLayoutTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { FontRegistry::registerFonts(); }

  void allZeroOutlinesSundayMidnight() {
    const MessageHeatmapLayout layout = layoutMessageHeatmap({zeros()}, kHeatmapRect);
    QCOMPARE(layout.maxValue, qint64(1));
    QCOMPARE(layout.cells.size(), 7 * 24);
    for (const HeatmapCell& cell : layout.cells) QCOMPARE(cell.rampIndex, 0);
    const HeatmapCell* peak = cellAt(layout, 0, 0);
    QCOMPARE(peak->column, 12);
    QVERIFY(layout.peakOutline);
    QCOMPARE(layout.peakOutline->rect.center(), peak->rect.center());
    QCOMPARE(layout.peakOutline->rect.width(), peak->rect.width() * 1.22);
    QCOMPARE(layout.peakOutline->lineWidth, 2 * 1.22);
  }

  void peakWrapsPastMidnight() {
    HourMatrix matrix = zeros();
    matrix[1][23] = 5;
    matrix[1][0] = 5;
    const MessageHeatmapLayout layout = layoutMessageHeatmap({matrix}, kHeatmapRect);
    const HeatmapCell* peak = cellAt(layout, 1, 23);
    QCOMPARE(peak->column, 11);
    QCOMPARE(layout.peakOutline->rect.center(), peak->rect.center());
  }

  void rampIndexOfCells_data() {
    QTest::addColumn<qint64>("value");
    QTest::addColumn<int>("ramp");
    QTest::newRow("1 of 7") << qint64(1) << 0;
    QTest::newRow("2 of 7") << qint64(2) << 1;
    QTest::newRow("4 of 7") << qint64(4) << 3;
    QTest::newRow("6 of 7") << qint64(6) << 5;
    QTest::newRow("the largest") << qint64(7) << 5;
    QTest::newRow("negative") << qint64(-3) << 0;
  }
  void rampIndexOfCells() {
    QFETCH(qint64, value);
    QFETCH(int, ramp);
    HourMatrix matrix = zeros();
    matrix[6][5] = 7;
    matrix[2][14] = value;
    const MessageHeatmapLayout layout = layoutMessageHeatmap({matrix}, kHeatmapRect);
    QCOMPARE(cellAt(layout, 2, 14)->rampIndex, ramp);
  }

  void gridGeometry() {
    const MessageHeatmapLayout layout = layoutMessageHeatmap({zeros()}, kHeatmapRect);
    const qreal cell = (334.0 - 28 - 48) / 24;
    QCOMPARE(layout.cellSize, cell);
    QCOMPARE(cellAt(layout, 0, 12)->rect.left(), 28 + 30.0);  // column 0 is noon
    QCOMPARE(cellAt(layout, 0, 11)->rect.right(), 28 + 334.0);
    QStringList marks;
    for (const PlacedText& mark : layout.hourMarks) marks.append(mark.shown());
    QCOMPARE(marks, (QStringList{"12p", "6p", "12a", "6a", "12p"}));
    QCOMPARE(layout.hourMarks.last().frame.center().x(), 28 + 334.0);
    QCOMPARE(layout.hourMarks[2].frame.center().x(), cellAt(layout, 0, 0)->rect.center().x());
    QCOMPARE(layout.weekdays.first().shown(), QStringLiteral("SUN"));
    QCOMPARE(layout.weekdays.first().frame.right(), 28 + 28.0);
    QCOMPARE(layout.swatches.size(), 6);
    QCOMPARE(layout.quiet.shown(), QStringLiteral("QUIET"));
    QCOMPARE(layout.loud.frame.right(), 28 + 334.0);
    QCOMPARE(layout.quiet.frame.left(), 28 + 28.0);
    QVERIFY(layout.swatches.first().left() > layout.quiet.frame.right());
    QVERIFY(layout.swatches.last().right() < layout.loud.frame.left());
  }

  void partialMatrices_data() {
    QTest::addColumn<HourMatrix>("matrix");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cells");
    QTest::addColumn<bool>("outlined");
    QTest::newRow("empty: header and legend only") << HourMatrix() << 0 << 0 << false;
    QTest::newRow("three rows") << zeros(3) << 3 << 72 << true;
    QTest::newRow("short rows draw the hours they hold") << zeros(7, 6) << 7 << 42 << true;
    QTest::newRow("empty first row: the peak is not drawn") << (HourMatrix{{}, {0, 0}}) << 2 << 2 << false;
  }
  void partialMatrices() {
    QFETCH(HourMatrix, matrix);
    QFETCH(int, rows);
    QFETCH(int, cells);
    QFETCH(bool, outlined);
    const MessageHeatmapLayout layout = layoutMessageHeatmap({matrix}, kHeatmapRect);
    const MessageHeatmapLayout full = layoutMessageHeatmap({zeros()}, kHeatmapRect);
    QCOMPARE(layout.weekdays.size(), rows);
    QCOMPARE(layout.cells.size(), cells);
    QCOMPARE(layout.peakOutline.has_value(), outlined);
    QCOMPARE(layout.hourMarks.size(), 5);
    QCOMPARE(layout.swatches.size(), 6);
    for (const HeatmapCell& cell : layout.cells) QCOMPARE(cell.rect.left(), cellAt(full, 0, cell.hour)->rect.left());
  }

  void responseScale_data() {
    QTest::addColumn<QList<YearlyResponseTime>>("years");
    QTest::addColumn<QStringList>("labels");
    QTest::newRow("no years") << QList<YearlyResponseTime>{} << QStringList{"1m", "0m", "0m", "0m", "0m"};
    QTest::newRow("90 minutes") << QList<YearlyResponseTime>{{2022, 5400, 600}}
                                << QStringList{"90m", "67m", "45m", "22m", "0m"};
    QTest::newRow("the slower of three hours") << QList<YearlyResponseTime>{{2021, 60, 10800}, {2022, 120, 30}}
                                               << QStringList{"180m", "135m", "90m", "45m", "0m"};
    QTest::newRow("not a number is passed over")
        << QList<YearlyResponseTime>{{2022, std::numeric_limits<double>::quiet_NaN(), 120}}
        << QStringList{"2m", "1m", "1m", "0m", "0m"};
  }
  void responseScale() {
    QFETCH(QList<YearlyResponseTime>, years);
    QFETCH(QStringList, labels);
    const ResponseLineChartLayout layout = layoutResponseLineChart({years, "Sam"}, QRectF(28, 200, 334, 240));
    QStringList shown;
    for (const LineChartGridRow& row : layout.chart.grid) shown.append(row.labelText->shown());
    QCOMPARE(shown, labels);
    QCOMPARE(layout.chart.pointsA.size(), years.size());
    QCOMPARE(layout.chart.pointsB.size(), years.size());
    QCOMPARE(layout.chart.frame.height(), 206.0);
    QCOMPARE(layout.legend.size(), 2);
    QCOMPARE(layout.legend[1].text.shown(), QStringLiteral("SAM"));
    for (const QPointF& p : layout.chart.pointsA)
      QVERIFY(layout.chart.plot.adjusted(-0.01, -0.01, 0.01, 0.01).contains(p));
  }

  void responseLabelsAndLegend() {
    const ResponseLineChartLayout layout = layoutResponseLineChart(
        {{{2023, 60, 120}, {2024, 30, 60}}, QString(40, QLatin1Char('w'))}, QRectF(28, 200, 334, 240));
    QCOMPARE(layout.chart.xLabels[0].placed.shown(), QStringLiteral("'23"));
    QCOMPARE(layout.chart.xLabels[1].placed.shown(), QStringLiteral("'24"));
    // Chart and legend stand centred in the frame, 10 apart.
    QCOMPARE(layout.legend[0].frame.top() - layout.chart.frame.bottom() >= 10 - 1e-9, true);
    QCOMPARE(layout.chart.frame.top() - 200, 440 - layout.legend[0].frame.bottom());
    // A long name gives way inside the frame, and the two entries do not meet.
    QVERIFY(layout.legend[1].frame.right() <= 362 + 0.01);
    QVERIFY(layout.legend[0].frame.right() + 22 <= layout.legend[1].frame.left() + 0.01);
    QCOMPARE(layout.legend[0].text.shown(), QStringLiteral("YOU"));
  }

  void sentimentAnnotations_data() {
    QTest::addColumn<QList<double>>("scores");
    QTest::addColumn<QList<int>>("indices");
    QTest::addColumn<QList<int>>("placements");
    const int above = int(ChartAnnotation::Placement::above);
    const int below = int(ChartAnnotation::Placement::below);
    QTest::newRow("no months") << QList<double>{} << QList<int>{} << QList<int>{};
    QTest::newRow("one month") << QList<double>{0.4} << QList<int>{0} << QList<int>{below};
    QTest::newRow("all equal: the first, below") << QList<double>{0.1, 0.1, 0.1} << QList<int>{0} << QList<int>{below};
    QTest::newRow("valley first, then peak")
        << QList<double>{0.2, 0.9, -0.5, 0.9, -0.5} << QList<int>{2, 1} << QList<int>{below, above};
    QTest::newRow("not a number is passed over") << QList<double>{std::numeric_limits<double>::quiet_NaN(), 0.3, 0.5}
                                                 << QList<int>{1, 2} << QList<int>{below, above};
  }
  void sentimentAnnotations() {
    QFETCH(QList<double>, scores);
    QFETCH(QList<int>, indices);
    QFETCH(QList<int>, placements);
    const LineChartLayout layout = layoutSentimentAreaChart({months(scores)}, QRectF(28, 200, 334, 240));
    QList<int> shownIndices;
    QList<int> shownPlacements;
    for (const ChartAnnotation& a : layout.chart.annotations) {
      shownIndices.append(a.index);
      shownPlacements.append(int(a.placement));
      QCOMPARE(a.color, MurmelaTheme::rose);
    }
    QCOMPARE(shownIndices, indices);
    QCOMPARE(shownPlacements, placements);
    QCOMPARE(layout.annotations.size(), indices.size());
    for (const LineChartAnnotationLayout& a : layout.annotations) QVERIFY(std::isfinite(a.point.y()));
  }

  void sentimentScaleAndLabels() {
    QList<double> scores;
    for (int i = 0; i < 12; ++i) scores.append(i % 2 ? 1.0 : -1.0);
    const LineChartLayout layout = layoutSentimentAreaChart({months(scores)}, QRectF(28, 200, 334, 240));
    QCOMPARE(layout.pointsA[0].y(), layout.plot.bottom());
    QCOMPARE(layout.pointsA[1].y(), layout.plot.top());
    QVERIFY(layout.pointsB.isEmpty());
    QStringList x;
    for (const LineChartAxisLabel& label : layout.xLabels) x.append(label.placed.shown());
    QCOMPARE(x, (QStringList{"2023", "2023", "2023", "2023"}));
    QCOMPARE(layout.grid[0].labelText->shown(), QStringLiteral("warm"));
    QCOMPARE(layout.grid[2].labelText->shown(), QStringLiteral("neutral"));
    QCOMPARE(layout.grid[4].labelText->shown(), QStringLiteral("low"));
    QCOMPARE(layout.annotations[0].titleText.shown(), QStringLiteral("JANUARY 2023"));
    QCOMPARE(layout.annotations[0].titleCentre.x(), layout.plot.left() + 54);
  }
};

MURMELA_TEST(ChartLayoutTest)
#include "ChartLayoutTest.moc"
