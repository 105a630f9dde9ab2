#include "kit/controls/PaintedButton.h"
#include "support/TestRegistry.h"
#include "testing/PaintRecorder.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>
#include <QTest>

using namespace murmela;

namespace {

// The closer's Done button: house and DONE in sage-deep on cream, outlined.
ButtonStyle doneStyle() {
  ButtonStyle style;
  style.label = SymbolLabel{
      .symbol = Symbol::house,
      .symbolSize = 12,
      .symbolWeight = SymbolWeight::semibold,
      .spacing = 8,
      .text = QStringLiteral("Done"),
      .style = TextStyle{
          .typeface = Typeface::inter, .size = 12, .weight = QFont::DemiBold, .tracking = 2, .upperCase = true}};
  style.content = MurmelaTheme::sageDeep;
  style.fill = MurmelaTheme::cream;
  style.outline = MurmelaTheme::sageDeep;
  style.outlineWidth = 1.3;
  style.fixedSize = QSizeF(132, 44);
  return style;
}

}  // namespace

class ControlsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { FontRegistry::registerFonts(); }

  void buttonStates_data() {
    QTest::addColumn<bool>("pressed");
    QTest::addColumn<bool>("disabled");
    QTest::addColumn<qreal>("opacity");
    QTest::newRow("rest") << false << false << 1.0;
    QTest::newRow("pressed dims") << true << false << 0.7;
    QTest::newRow("disabled fades") << false << true << 0.4;
    QTest::newRow("disabled ignores pressing") << true << true << 0.4;
  }
  void buttonStates() {
    QFETCH(bool, pressed);
    QFETCH(bool, disabled);
    QFETCH(qreal, opacity);
    const ButtonStyle style = doneStyle();
    const ButtonLayout layout = layoutButton(style, QPointF(195, 600));
    QCOMPARE(layout.frame, QRectF(129, 578, 132, 44));
    PaintRecorder recorder;
    QPainter painter(&recorder);
    paintButton(painter, style, layout, ButtonState{false, pressed, disabled});
    painter.end();
    const QList<PaintRecord> fills = recorder.filledWith(MurmelaTheme::cream);
    QCOMPARE(fills.size(), 1);
    QCOMPARE(fills.first().bounds, layout.frame);
    QCOMPARE(fills.first().opacity, opacity);
    const QList<PaintRecord> outline = recorder.strokedWith(MurmelaTheme::sageDeep);
    QCOMPARE(outline.size(), 1);
    QCOMPARE(outline.first().stroke->widthF(), 1.3);
    const auto word = recorder.firstText(QStringLiteral("DONE"));
    QVERIFY(word);
    QCOMPARE(word->color, MurmelaTheme::sageDeep);
    QCOMPARE(word->opacity, opacity);
    // The symbol and the word sit centred in the frame, 8 points apart.
    const QRectF symbol = layout.label.symbolRect.translated(layout.labelOrigin);
    const QRectF text = layout.label.textRect.translated(layout.labelOrigin);
    QVERIFY(std::abs(text.left() - symbol.right() - 8) < 0.01);
    QVERIFY(std::abs((symbol.left() + text.right()) / 2 - 195) < 0.01);
    QVERIFY(std::abs(symbol.center().y() - 600) < 0.01 && std::abs(text.center().y() - 600) < 0.01);
    QCOMPARE(recorder.filledWith(MurmelaTheme::sageDeep).size(), 1);  // the house
  }

  void pressedFillReplacesDimming() {
    ButtonStyle style = doneStyle();
    style.pressedFill = MurmelaTheme::creamDeep;
    PaintRecorder recorder;
    QPainter painter(&recorder);
    paintButton(painter, style, layoutButton(style, QPointF(100, 100)), ButtonState{false, true, false});
    painter.end();
    QCOMPARE(recorder.filledWith(MurmelaTheme::creamDeep).size(), 1);
    QVERIFY(recorder.filledWith(MurmelaTheme::cream).isEmpty());
    QCOMPARE(recorder.filledWith(MurmelaTheme::creamDeep).first().opacity, 1.0);
  }

  void paddedButtonsTakeTheirLabelsSize() {
    ButtonStyle style = doneStyle();
    style.fixedSize = QSizeF();
    style.padding = Insets::symmetric(14, 10);
    const ButtonLayout layout = layoutButton(style, QPointF(0, 0));
    QCOMPARE(layout.frame.size(), style.padding.grown(layout.label.size));
  }
};

MURMELA_TEST(ControlsTest)
#include "ControlsTest.moc"
