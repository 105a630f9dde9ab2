#include "deck/charts/ArgumentTimeline.h"
#include "deck/charts/YearBars.h"
#include "support/TestRegistry.h"
#include "theme/FontRegistry.h"

#include <QTest>

#include <limits>

using namespace murmela;

Q_DECLARE_METATYPE(murmela::Date)

namespace {

Date local(int year, int month, int day, int hour = 12) {
  return Date::fromQDateTime(QDateTime(QDate(year, month, day), QTime(hour, 0), QTimeZone::systemTimeZone()));
}

ArgumentEvent argument(Date date, qint64 messages, bool endedByMe = false) {
  ArgumentEvent e;
  e.date = date;
  e.messageCount = messages;
  e.endedByMe = endedByMe;
  return e;
}

using YearCounts = QMap<qint64, qint64>;

const QRectF kTimeline(0, 0, 334, 220);  // midY 110

}  // namespace

class TimelineAndBarsGeometryTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { FontRegistry::registerFonts(); }

  void tickYears_data() {
    QTest::addColumn<Date>("first");
    QTest::addColumn<Date>("last");
    QTest::addColumn<QList<int>>("years");
    QTest::newRow("2019 to 2024") << local(2019, 5, 1) << local(2024, 2, 1) << QList<int>{2019, 2021, 2023};
    QTest::newRow("2015 to 2024") << local(2015, 5, 1) << local(2024, 2, 1) << QList<int>{2015, 2018, 2021, 2024};
    QTest::newRow("one year") << local(2022, 3, 1) << local(2022, 11, 1) << QList<int>{2022};
    QTest::newRow("two years") << local(2022, 3, 1) << local(2023, 11, 1) << QList<int>{2022, 2023};
    QTest::newRow("last before first") << local(2022, 3, 1) << local(2020, 11, 1) << QList<int>{};
    QTest::newRow("not a date") << Date(std::numeric_limits<double>::quiet_NaN()) << local(2020, 1, 1) << QList<int>{};
  }
  void tickYears() {
    QFETCH(QList<int>, years);
    QFETCH(Date, first);
    QFETCH(Date, last);
    const ArgumentChartSpan span = argumentChartSpan(first, last);
    QCOMPARE(argumentTickYears(span.first, last), years);
  }

  void spanCoversWholeYears() {
    const ArgumentChartSpan span = argumentChartSpan(local(2022, 3, 1), local(2022, 11, 1));
    QCOMPARE(span.first, local(2022, 1, 1, 0));
    QCOMPARE(span.last, local(2023, 1, 1, 0));
    const ArgumentTimelineLayout layout =
        layoutArgumentTimeline({{argument(span.first, 1)}, local(2022, 3, 1), local(2022, 11, 1)}, kTimeline);
    QCOMPARE(layout.ticks.size(), 1);
    QCOMPARE(layout.ticks[0].line.x1(), 0.0);
    QCOMPARE(layout.ticks[0].label, QStringLiteral("2022"));
    QCOMPARE(layout.ticks[0].labelCentre, QPointF(0, 144));
    QCOMPARE(layout.dots[0].centre, QPointF(0, 74));
    QVERIFY(layout.callout);
    QCOMPARE(layout.callout->labelCentre, QPointF(70, 26));
    QCOMPARE(layout.callout->leader, QLineF(70, 48, 0, 74 - 4 - 9));
  }

  void dotSizes_data() {
    QTest::addColumn<qint64>("messages");
    QTest::addColumn<double>("diameter");
    QTest::newRow("1") << qint64(1) << 8.0;
    QTest::newRow("100") << qint64(100) << 17.0;
    QTest::newRow("1000") << qint64(1000) << 36.0;
    QTest::newRow("0") << qint64(0) << 8.0;
    QTest::newRow("negative") << qint64(-40) << 8.0;
  }
  void dotSizes() {
    QFETCH(qint64, messages);
    QFETCH(double, diameter);
    QCOMPARE(2 * argumentDotRadius(messages), diameter);
  }

  void lanesHighlightAndRing() {
    const Date first = local(2020, 2, 1);
    const QList<ArgumentEvent> events = {argument(local(2020, 3, 1), 4), argument(local(2020, 4, 1), 9, true),
                                         argument(local(2020, 5, 1), 1), argument(local(2020, 6, 1), 9)};
    const ArgumentTimelineLayout layout = layoutArgumentTimeline({events, first, local(2020, 12, 1)}, kTimeline);
    QList<double> lanes;
    for (const ArgumentDot& dot : layout.dots) lanes.append(dot.centre.y());
    QCOMPARE(lanes, (QList<double>{74, 92, 110, 74}));
    QVERIFY(layout.dots[1].endedByMe && !layout.dots[3].endedByMe);
    QVERIFY(layout.callout);
    QCOMPARE(layout.callout->index, 1);  // the first of the two biggest
    QCOMPARE(layout.callout->countLine, QStringLiteral("9 messages "));
    QCOMPARE(layout.callout->dateLine, QStringLiteral("APR 2020"));
    QCOMPARE(layout.callout->ringRadius, layout.dots[1].radius + 7);
    QVERIFY(!layout.emptyText);
  }

  void noEventsDrawTheAxisTicksAndALine() {
    const ArgumentTimelineLayout layout = layoutArgumentTimeline({{}, local(2019, 5, 1), local(2024, 2, 1)}, kTimeline);
    QCOMPARE(layout.axis, QLineF(0, 110, 334, 110));
    QCOMPARE(layout.ticks.size(), 3);
    QVERIFY(layout.dots.isEmpty());
    QVERIFY(!layout.callout);
    QVERIFY(layout.emptyText);
    QCOMPARE(layout.emptyText->shown(), QStringLiteral("no clear argument clusters"));
    QCOMPARE(layout.emptyText->frame.center(), QPointF(167, 74));
    QVERIFY(layout.emptyText->frame.bottom() < layout.axis.y1());
  }

  void yearBars_data() {
    QTest::addColumn<YearCounts>("values");
    QTest::addColumn<double>("width");
    QTest::addColumn<QList<double>>("heights");
    QTest::addColumn<QList<bool>>("gold");
    QTest::addColumn<double>("peakX");  // -1: no peak label
    // a 320-high frame: plot from 72 to 296, 224 high
    QTest::newRow("empty") << YearCounts{} << 334.0 << QList<double>{} << QList<bool>{} << -1.0;
    QTest::newRow("one year") << YearCounts{{2024, 40}} << 334.0 << QList<double>{224} << QList<bool>{true} << 167.0;
    QTest::newRow("narrow: the upper bound wins")
        << YearCounts{{2024, 40}} << 120.0 << QList<double>{224} << QList<bool>{true} << 46.0;
    QTest::newRow("all zero: the first is gold")
        << YearCounts{{2021, 0}, {2022, 0}} << 334.0 << QList<double>{0, 0} << QList<bool>{true, false} << 83.5;
    QTest::newRow("tie keeps the earliest") << YearCounts{{2020, 10}, {2021, 20}, {2022, 20}} << 300.0
                                            << QList<double>{112, 224, 224} << QList<bool>{false, true, false} << 150.0;
    QTest::newRow("peak at the left edge")
        << YearCounts{{2019, 30}, {2020, 1}, {2021, 1}, {2022, 1}, {2023, 1}, {2024, 1}} << 334.0
        << QList<double>{224, 224.0 / 30, 224.0 / 30, 224.0 / 30, 224.0 / 30, 224.0 / 30}
        << QList<bool>{true, false, false, false, false, false} << 74.0;
  }
  void yearBars() {
    QFETCH(YearCounts, values);
    QFETCH(QList<double>, heights);
    QFETCH(QList<bool>, gold);
    QFETCH(double, peakX);
    QFETCH(double, width);
    const YearBarsLayout layout = layoutYearBars({values}, QRectF(0, 0, width, 320));
    QList<double> actualHeights;
    QList<bool> actualGold;
    for (const YearBar& bar : layout.bars) {
      actualHeights.append(bar.rect.height());
      actualGold.append(bar.peak);
      QCOMPARE(bar.rect.bottom(), 296.0);
      QCOMPARE(bar.labelCentre.y(), 308.0);
    }
    QCOMPARE(actualHeights, heights);
    QCOMPARE(actualGold, gold);
    QCOMPARE(layout.peak.has_value(), peakX >= 0);
    if (layout.peak) QCOMPARE(layout.peak->centre, QPointF(peakX, 34));
  }

  void yearBarWidthsAndLabels() {
    const YearBarsLayout one = layoutYearBars({{{2024, 1}}}, QRectF(0, 0, 334, 320));
    QCOMPARE(one.bars[0].rect.width(), 34.0);
    QCOMPARE(one.bars[0].rect.center().x(), 167.0);
    QCOMPARE(one.bars[0].label, QStringLiteral("'24"));
    QCOMPARE(one.peak->count, QStringLiteral("1 "));
    YearCounts many;
    for (qint64 year = 1990; year < 2020; ++year) many.insert(year, 12345);
    const YearBarsLayout crowded = layoutYearBars({many}, QRectF(0, 0, 334, 320));
    QCOMPARE(crowded.bars[0].rect.width(), 14.0);
    QCOMPARE(crowded.peak->count, QStringLiteral("12,345 "));
    QCOMPARE(yearBarLabel(5), QStringLiteral("'5"));
  }
};

MURMELA_TEST(TimelineAndBarsGeometryTest)
#include "TimelineAndBarsGeometryTest.moc"
