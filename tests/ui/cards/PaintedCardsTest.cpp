#include "deck/cards/SplitBar.h"
#include "deck/cards/StatCard.h"
#include "deck/cards/StreakCard.h"
#include "deck/charts/DonutChart.h"
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

}  // namespace

class PaintedCardsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { FontRegistry::registerFonts(); }

  void splitBarColours_data() {
    QTest::addColumn<qint64>("left");
    QTest::addColumn<qint64>("right");
    QTest::addColumn<QString>("leftText");
    QTest::addColumn<QColor>("leftColour");
    QTest::addColumn<int>("sageParts");
    QTest::newRow("even: the labels sit on their own parts")
        << qint64(5) << qint64(5) << "YOU 50%" << MurmelaTheme::cream << 1;
    QTest::newRow("nothing sent: the left label lies on gold, in ink")
        << qint64(0) << qint64(0) << "YOU 0%" << MurmelaTheme::ink << 0;
  }
  void splitBarColours() {
    QFETCH(qint64, left);
    QFETCH(qint64, right);
    QFETCH(QString, leftText);
    QFETCH(QColor, leftColour);
    QFETCH(int, sageParts);
    PaintRecorder recorder;
    paintInto(recorder, [&](QPainter& painter) {
      paintSplitBar(painter, layoutSplitBar({"YOU", "SAM", left, right}, QRectF(28, 500, 334, 0)));
    });
    QCOMPARE(recorder.filledWith(MurmelaTheme::sageDeep).size(), sageParts);
    QCOMPARE(recorder.filledWith(MurmelaTheme::gold).size(), 1);
    const QList<PaintRecord> label = recorder.textsContaining(leftText);
    QVERIFY(!label.isEmpty());
    QCOMPARE(label.first().color, leftColour);
    QCOMPARE(recorder.firstText("WHO SENT MORE")->color, MurmelaTheme::inkSoft);
  }

  void streakCardVariants_data() {
    QTest::addColumn<bool>("dashed");
    QTest::addColumn<QColor>("fill");
    QTest::addColumn<QColor>("note");
    QTest::addColumn<QList<qreal>>("dash");
    QTest::newRow("solid") << false << MurmelaTheme::creamDeep << MurmelaTheme::sageDeep << QList<qreal>{};
    QTest::newRow("dashed") << true << MurmelaTheme::cream << MurmelaTheme::ink << QList<qreal>{4, 3};
  }
  void streakCardVariants() {
    QFETCH(bool, dashed);
    QFETCH(QColor, fill);
    QFETCH(QColor, note);
    QFETCH(QList<qreal>, dash);
    PaintRecorder recorder;
    paintInto(recorder, [&](QPainter& painter) {
      paintStreakCard(painter,
                      layoutStreakCard({"Longest", "12", "", "caption", "the note", MurmelaTheme::rose, dashed},
                                       QRectF(32, 100, 326, 0)));
    });
    QCOMPARE(recorder.filledWith(fill).size(), 1);
    QCOMPARE(recorder.firstText("the note")->color, note);
    QCOMPARE(recorder.firstText("LONGEST")->color, MurmelaTheme::rose);
    const QList<PaintRecord> border = recorder.strokedWith(withOpacity(MurmelaTheme::rose, 0.4));
    QCOMPARE(border.size(), 1);
    QCOMPARE(dashPatternInPoints(*border[0].stroke), dash);
    QCOMPARE(recorder.firstText("12")->fontSize, 56.0);
  }

  void donutArcs_data() {
    QTest::addColumn<qint64>("me");
    QTest::addColumn<qint64>("them");
    QTest::addColumn<int>("sageArcs");
    QTest::addColumn<int>("goldArcs");
    QTest::newRow("none: a gold ring") << qint64(0) << qint64(0) << 0 << 1;
    QTest::newRow("all mine: a sage ring") << qint64(3) << qint64(0) << 1 << 0;
    QTest::newRow("shared") << qint64(2) << qint64(1) << 1 << 1;
  }
  void donutArcs() {
    QFETCH(qint64, me);
    QFETCH(qint64, them);
    QFETCH(int, sageArcs);
    QFETCH(int, goldArcs);
    PaintRecorder recorder;
    paintInto(recorder, [&](QPainter& painter) {
      paintDonutChart(painter, layoutDonutChart({me, them}, QRectF(85, 100, 220, 220)));
    });
    const QList<PaintRecord> sage = recorder.strokedWith(MurmelaTheme::sageDeep);
    QCOMPARE(sage.size(), sageArcs);
    QCOMPARE(recorder.strokedWith(MurmelaTheme::gold).size(), goldArcs);
    for (const PaintRecord& arc : sage + recorder.strokedWith(MurmelaTheme::gold)) {
      QCOMPARE(arc.stroke->widthF(), 45.0);
      QCOMPARE(arc.stroke->capStyle(), Qt::FlatCap);
    }
    if (sageArcs && goldArcs) {
      // The user's arc starts at 12 o'clock and runs clockwise: its first point is straight above the centre.
      const QPointF start = sage[0].path.elementAt(0);
      QCOMPARE(start.x(), 195.0);
      QCOMPARE(start.y(), 100.0);
    }
    QCOMPARE(recorder.filledWith(MurmelaTheme::cream).size(), 1);
  }

  void highlightedStatCard() {
    PaintRecorder recorder;
    paintInto(recorder, [&](QPainter& painter) {
      paintStatCard(painter, layoutStatCard({"Messages", "46,593", true}, QRectF(28, 100, 162, 0)));
    });
    QCOMPARE(recorder.filledWith(MurmelaTheme::creamDeep).size(), 1);
    QCOMPARE(recorder.strokedWith(MurmelaTheme::rose).size(), 1);
    QCOMPARE(recorder.firstText("46,593")->color, MurmelaTheme::rose);
    QCOMPARE(recorder.firstText("MESSAGES")->color, MurmelaTheme::inkSoft);
  }
};

MURMELA_TEST(PaintedCardsTest)
#include "PaintedCardsTest.moc"
