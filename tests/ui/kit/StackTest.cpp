#include "kit/layout/Stack.h"
#include "support/TestRegistry.h"

#include <QTest>

using namespace murmela;

Q_DECLARE_METATYPE(QList<QRectF>)

class StackTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { FontRegistry::registerFonts(); }

  void verticalStacksPlaceItemsAndSpacers_data() {
    QTest::addColumn<int>("alignment");
    QTest::addColumn<QList<QRectF>>("frames");
    // Box 0,0 390x780, spacing 8: a 40-high item 100 wide padded 80 on top,
    // a spacer, a 60-high full-width item padded 26 at the sides, a spacer,
    // a 20-high item 50 wide padded 70 at the bottom. What is left is
    // 780 - (80+40) - 60 - (20+70) - 4 * 8 = 478, two spacers of 239.
    QTest::newRow("center") << int(StackAlign::center)
                            << QList<QRectF>{{145, 80, 100, 40},
                                             {0, 128, 390, 239},
                                             {26, 375, 338, 60},
                                             {0, 443, 390, 239},
                                             {170, 690, 50, 20}};
    QTest::newRow("leading") << int(StackAlign::leading)
                             << QList<QRectF>{{0, 80, 100, 40},
                                              {0, 128, 390, 239},
                                              {26, 375, 338, 60},
                                              {0, 443, 390, 239},
                                              {0, 690, 50, 20}};
    QTest::newRow("trailing") << int(StackAlign::trailing)
                              << QList<QRectF>{{290, 80, 100, 40},
                                               {0, 128, 390, 239},
                                               {26, 375, 338, 60},
                                               {0, 443, 390, 239},
                                               {340, 690, 50, 20}};
  }
  void verticalStacksPlaceItemsAndSpacers() {
    QFETCH(int, alignment);
    QFETCH(QList<QRectF>, frames);
    Stack stack = Stack::vertical(8, StackAlign(alignment));
    stack.add(QSizeF(100, 40), Insets{.top = 80});
    stack.addSpacer();
    stack.add(60, -1, Insets::horizontal(26));
    stack.addSpacer();
    stack.add(QSizeF(50, 20), Insets{.bottom = 70});
    QCOMPARE(stack.layout(QRectF(0, 0, 390, 780)), frames);
  }

  void overfullStacksKeepSpacersAtTheirMinimum() {
    Stack stack = Stack::vertical(10);
    stack.add(500.0);
    stack.addSpacer(12);
    stack.add(400.0);
    const QList<QRectF> frames = stack.layout(QRectF(0, 0, 390, 780));
    QCOMPARE(frames[1].height(), 12.0);
    QCOMPARE(frames[2].top(), 532.0);
    QCOMPARE(stack.idealLength(), 932.0);
  }

  void flexibleItemsShareARow() {
    Stack row = Stack::horizontal(8);
    row.addFlexible();
    row.add(1, -1, Insets{.top = 100, .bottom = 55});
    row.addFlexible();
    const QList<QRectF> frames = row.layout(QRectF(24, 0, 342, 300));
    QCOMPARE(frames[0], QRectF(24, 0, 162.5, 300));
    QCOMPARE(frames[1], QRectF(194.5, 100, 1, 145));
    QCOMPARE(frames[2], QRectF(203.5, 0, 162.5, 300));
  }

  void baselineRowsShareTheFirstBaseline() {
    // A 54-point count (baseline 50 of 70) and a small label (baseline 9 of 12).
    const BaselineRowLayout row = layoutBaselineRow({{80, 70, 50}, {40, 12, 9}}, 8);
    QCOMPARE(row.baseline, 50.0);
    QCOMPARE(row.frames[0], QRectF(0, 0, 80, 70));
    QCOMPARE(row.frames[1], QRectF(88, 41, 40, 12));
    QCOMPARE(row.size, QSizeF(128, 70));
    // With a width, a flexible item takes what is left.
    const BaselineRowLayout spread = layoutBaselineRow({{80, 70, 50}, BaselineItem::spacer(), {40, 12, 9}}, 8, 300);
    QCOMPARE(spread.frames[2].right(), 300.0);
  }
};

MURMELA_TEST(StackTest)
#include "StackTest.moc"
