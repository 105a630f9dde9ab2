#include "support/TestRegistry.h"
#include "theme/MurmelaTheme.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace murmela;

class ThemeTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void coloursAreOpaqueSrgbFromTheirComponents_data() {
    QTest::addColumn<QColor>("color");
    QTest::addColumn<double>("red");
    QTest::addColumn<double>("green");
    QTest::addColumn<double>("blue");
    QTest::newRow("cream") << MurmelaTheme::cream << 0.957 << 0.933 << 0.902;
    QTest::newRow("creamDeep") << MurmelaTheme::creamDeep << 0.929 << 0.894 << 0.827;
    QTest::newRow("sage") << MurmelaTheme::sage << 0.612 << 0.576 << 0.769;
    QTest::newRow("sageDeep") << MurmelaTheme::sageDeep << 0.435 << 0.392 << 0.596;
    QTest::newRow("ink") << MurmelaTheme::ink << 0.165 << 0.141 << 0.220;
    QTest::newRow("inkSoft") << MurmelaTheme::inkSoft << 0.353 << 0.322 << 0.431;
    QTest::newRow("gold") << MurmelaTheme::gold << 0.839 << 0.690 << 0.416;
    QTest::newRow("rose") << MurmelaTheme::rose << 0.812 << 0.541 << 0.639;
    QTest::newRow("heat 1") << MurmelaTheme::heat[1] << 0.925 << 0.875 << 0.816;
    QTest::newRow("heat 2") << MurmelaTheme::heat[2] << 0.902 << 0.780 << 0.722;
    QTest::newRow("heat 3") << MurmelaTheme::heat[3] << 0.863 << 0.647 << 0.596;
    QTest::newRow("heat 5") << MurmelaTheme::heat[5] << 0.541 << 0.349 << 0.451;
  }
  void coloursAreOpaqueSrgbFromTheirComponents() {
    QFETCH(QColor, color);
    QFETCH(double, red);
    QFETCH(double, green);
    QFETCH(double, blue);
    QCOMPARE(color.spec(), QColor::Rgb);
    QCOMPARE(color.alphaF(), 1.0f);
    // Kept at 16-bit precision, not snapped to 8-bit hex.
    constexpr double kStep = 1.0 / 65535.0;
    QVERIFY(std::abs(color.redF() - red) <= kStep);
    QVERIFY(std::abs(color.greenF() - green) <= kStep);
    QVERIFY(std::abs(color.blueF() - blue) <= kStep);
    QVERIFY(color != QColor(color.rgb()));
  }

  void heatRampHasSixStepsFromCreamThroughRose() {
    QCOMPARE(MurmelaTheme::heat.size(), size_t(6));
    QCOMPARE(MurmelaTheme::heat[0], MurmelaTheme::cream);
    QCOMPARE(MurmelaTheme::heat[4], MurmelaTheme::rose);
  }

  void heatIndexSteps_data() {
    QTest::addColumn<double>("t");
    QTest::addColumn<int>("index");
    QTest::newRow("zero") << 0.0 << 0;
    QTest::newRow("below a sixth") << std::nextafter(1.0 / 6.0, 0.0) << 0;
    QTest::newRow("a third") << 2.0 / 6.0 << 2;
    QTest::newRow("a half") << 0.5 << 3;
    QTest::newRow("five sixths") << 5.0 / 6.0 << 5;
    QTest::newRow("almost one") << 0.99 << 5;
    QTest::newRow("one") << 1.0 << 5;
    QTest::newRow("above one") << 1.7 << 5;
    QTest::newRow("negative") << -0.3 << 0;
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << 0;
  }
  void heatIndexSteps() {
    QFETCH(double, t);
    QFETCH(int, index);
    QCOMPARE(MurmelaTheme::heatIndex(t), index);
    QCOMPARE(MurmelaTheme::heatColor(t), MurmelaTheme::heat[size_t(index)]);
  }

  void opacityIsAppliedWhereUsed() {
    const QColor faint = withOpacity(MurmelaTheme::sageDeep, 0.22);
    QVERIFY(std::abs(faint.alphaF() - 0.22) < 1e-4);
    QCOMPARE(faint.rgb(), MurmelaTheme::sageDeep.rgb());
    QCOMPARE(MurmelaTheme::sageDeep.alphaF(), 1.0f);
    QVERIFY(std::abs(withOpacity(faint, 0.5).alphaF() - 0.11) < 1e-4);
  }
};

MURMELA_TEST(ThemeTest)
#include "ThemeTest.moc"
