#include "deck/charts/ArgumentTimeline.h"
#include "deck/charts/MessageHeatmap.h"
#include "deck/charts/ResponseLineChart.h"
#include "deck/charts/SentimentAreaChart.h"
#include "kit/paint/Pens.h"
#include "support/TestRegistry.h"
#include "testing/PaintRecorder.h"
#include "theme/FontRegistry.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>
#include <QTest>

using namespace murmela;

namespace {

template <typename Paint>
void paintInto(PaintRecorder& recorder, Paint&& paint) {
  QPainter painter(&recorder);
  paint(painter);
}

QStringList textsOf(const PaintRecorder& recorder) {
  QStringList texts;
  for (const PaintRecord& record : recorder.texts()) texts.append(record.text);
  return texts;
}

Date local(int year, int month) {
  return Date::fromQDateTime(QDateTime(QDate(year, month, 1), QTime(12, 0), QTimeZone::systemTimeZone()));
}

}  // namespace

class PaintedChartsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { FontRegistry::registerFonts(); }

  void heatmapCellsRampAndOutline() {
    HourMatrix matrix(7, QList<qint64>(24, 0));
    matrix[4][21] = 12;
    PaintRecorder recorder;
    paintInto(recorder, [&](QPainter& painter) {
      paintMessageHeatmap(painter, layoutMessageHeatmap({matrix}, QRectF(28, 100, 334, 0)));
    });
    // 167 cold cells and one hot one, each step once more in the legend.
    QCOMPARE(recorder.filledWith(MurmelaTheme::heat[0]).size(), 167 + 1);
    QCOMPARE(recorder.filledWith(MurmelaTheme::heat[5]).size(), 1 + 1);
    QCOMPARE(recorder.filledWith(MurmelaTheme::heat[3]).size(), 1);
    const QList<PaintRecord> outline = recorder.strokedWith(MurmelaTheme::ink);
    QCOMPARE(outline.size(), 1);
    QCOMPARE(outline[0].stroke->widthF(), 2 * 1.22);
    QCOMPARE(recorder.strokedWith(withOpacity(MurmelaTheme::cream, 0.9)).size(), 1);
    const QStringList texts = textsOf(recorder);
    QCOMPARE(texts.mid(0, 5), (QStringList{"12p", "6p", "12a", "6a", "12p"}));
    QCOMPARE(texts.mid(5, 7), (QStringList{"SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT"}));
    QCOMPARE(texts.mid(12), (QStringList{"QUIET", "LOUD"}));
    for (const PaintRecord& text : recorder.texts()) QCOMPARE(text.color, MurmelaTheme::inkSoft);
  }

  void argumentTimelineDotsRingAndCallout() {
    ArgumentEvent mine;
    mine.date = local(2022, 3);
    mine.messageCount = 40;
    mine.endedByMe = true;
    mine.lastSenderWasMe = false;
    ArgumentEvent theirs = mine;
    theirs.date = local(2022, 9);
    theirs.messageCount = 90;
    theirs.endedByMe = false;
    theirs.lastSenderWasMe = true;
    PaintRecorder recorder;
    paintInto(recorder, [&](QPainter& painter) {
      paintArgumentTimeline(
          painter, layoutArgumentTimeline({{mine, theirs}, local(2021, 5), local(2023, 2)}, QRectF(28, 0, 334, 220)));
    });
    QCOMPARE(recorder.filledWith(withOpacity(MurmelaTheme::sageDeep, 0.78)).size(), 1);
    QCOMPARE(recorder.filledWith(withOpacity(MurmelaTheme::rose, 0.78)).size(), 1);
    const QList<PaintRecord> ring = recorder.strokedWith(MurmelaTheme::ink);
    QCOMPARE(ring.size(), 1);
    QCOMPARE(dashPatternInPoints(*ring[0].stroke), (QList<qreal>{3, 3}));
    QCOMPARE(ring[0].bounds.width(), 2 * (argumentDotRadius(90) + 7));
    const QList<PaintRecord> leader = recorder.strokedWith(MurmelaTheme::inkSoft);
    QCOMPARE(leader.size(), 1);
    QCOMPARE(leader[0].stroke->capStyle(), Qt::RoundCap);
    QCOMPARE(dashPatternInPoints(*leader[0].stroke), (QList<qreal>{4, 3}));
    QCOMPARE(recorder.firstText("messages")->color, MurmelaTheme::gold);
    QVERIFY(recorder.allText().contains("90 messages"));
    QVERIFY(recorder.allText().contains("SEP 2022"));
    QCOMPARE(textsOf(recorder).mid(0, 3), (QStringList{"2021", "2022", "2023"}));
  }

  void lineModeLayers() {
    PaintRecorder recorder;
    paintInto(recorder, [&](QPainter& painter) {
      paintResponseLineChart(
          painter, layoutResponseLineChart({{{2023, 600, 1200}, {2024, 300, 900}}, "Sam"}, QRectF(28, 0, 334, 240)));
    });
    const QList<PaintRecord> shapes = recorder.shapes();
    const auto firstIndex = [&](const std::function<bool(const PaintRecord&)>& accept) {
      for (qsizetype i = 0; i < shapes.size(); ++i)
        if (accept(shapes[i])) return i;
      return qsizetype(-1);
    };
    const qsizetype goldLine = firstIndex([](const PaintRecord& r) { return r.strokeColor() == MurmelaTheme::gold; });
    const qsizetype sageLine =
        firstIndex([](const PaintRecord& r) { return r.strokeColor() == MurmelaTheme::sageDeep; });
    QVERIFY(goldLine >= 0 && sageLine > goldLine);  // the other person's line lies under the user's
    QCOMPARE(shapes[sageLine].stroke->widthF(), 2.8);
    QCOMPARE(shapes[sageLine].stroke->joinStyle(), Qt::RoundJoin);
    // Two dots per series and one legend square each.
    QCOMPARE(recorder.filledWith(MurmelaTheme::sageDeep).size(), 2 + 1);
    QCOMPARE(recorder.filledWith(MurmelaTheme::gold).size(), 2 + 1);
    QCOMPARE(recorder.strokedWith(withOpacity(MurmelaTheme::ink, 0.1)).size(), 5);
  }

  void emptyChartsDrawTheirGridOnly_data() {
    QTest::addColumn<bool>("sentiment");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("sentiment") << true << QStringList{"warm", "neutral", "low"};
    QTest::newRow("response") << false << QStringList{"1m", "0m", "0m", "0m", "0m", "YOU", "SAM"};
  }
  void emptyChartsDrawTheirGridOnly() {
    QFETCH(bool, sentiment);
    QFETCH(QStringList, texts);
    const QRectF frame(28, 0, 334, 240);
    PaintRecorder recorder;
    paintInto(recorder, [&](QPainter& painter) {
      if (sentiment) {
        paintSentimentAreaChart(painter, layoutSentimentAreaChart({}, frame));
      } else {
        paintResponseLineChart(painter, layoutResponseLineChart({{}, "Sam"}, frame));
      }
    });
    QCOMPARE(textsOf(recorder), texts);
    QCOMPARE(recorder.strokedWith(withOpacity(MurmelaTheme::ink, 0.1)).size(), 5);
    for (const PaintRecord& shape : recorder.shapes()) {
      QVERIFY(!shape.path.boundingRect().isNull() || shape.stroke);
      QVERIFY(std::isfinite(shape.bounds.x()) && std::isfinite(shape.bounds.y()));
    }
    const int legendSquares = sentiment ? 0 : 2;
    QCOMPARE(recorder.where([](const PaintRecord& r) { return r.fill.has_value(); }).size(), legendSquares);
  }

  void areaModeLayers() {
    PaintRecorder recorder;
    paintInto(recorder, [&](QPainter& painter) {
      paintSentimentAreaChart(painter, layoutSentimentAreaChart({{{local(2024, 1), 0.2}, {local(2024, 2), -0.4}}},
                                                                QRectF(28, 0, 334, 240)));
    });
    const QList<PaintRecord> gradient =
        recorder.where([](const PaintRecord& r) { return r.fill && r.fill->style() == Qt::LinearGradientPattern; });
    QCOMPARE(gradient.size(), 1);
    const QGradientStops stops = gradient[0].fill->gradient()->stops();
    QCOMPARE(stops.first().second, withOpacity(MurmelaTheme::rose, 0.32));
    QCOMPARE(stops.last().second, withOpacity(MurmelaTheme::rose, 0.05));
    const QList<PaintRecord> glow = recorder.strokedWith(withOpacity(MurmelaTheme::sageDeep, 0.18));
    QCOMPARE(glow.size(), 1);
    QCOMPARE(glow[0].stroke->widthF(), 8.0);
    QCOMPARE(recorder.strokedWith(MurmelaTheme::sageDeep).first().stroke->widthF(), 2.6);
    // Valley then peak: the markers are rose with a cream ring, and the titles name the months.
    QCOMPARE(recorder.filledWith(MurmelaTheme::rose).size(), 2);
    QCOMPARE(recorder.strokedWith(MurmelaTheme::cream).size(), 2);
    QVERIFY(recorder.allText().contains("FEBRUARY 2024|JANUARY 2024"));
  }
};

MURMELA_TEST(PaintedChartsTest)
#include "PaintedChartsTest.moc"
