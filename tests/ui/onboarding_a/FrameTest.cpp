// The onboarding frame's step header, the two capsule button looks and the
// painted button base.
#include "kit/controls/MurmelaButtonStyles.h"
#include "kit/text/TextLayout.h"
#include "kit/widgets/ButtonHost.h"
#include "screens/common/OnboardingFrame.h"
#include "support/TestRegistry.h"
#include "testing/PaintRecorder.h"
#include "theme/FontRegistry.h"
#include "theme/MurmelaTheme.h"

#include <QDialog>
#include <QLineEdit>
#include <QPainter>
#include <QTest>
#include <QWidget>

#include <optional>

using namespace murmela;

namespace {

bool near(qreal a, qreal b) { return std::abs(a - b) < 0.002; }

// The one shape in `recorder` filled or stroked (by `stroked`) in `colour`'s hue.
std::optional<PaintRecord> shapeIn(const PaintRecorder& recorder, const QColor& colour, bool stroked) {
  for (const PaintRecord& record : recorder.shapes()) {
    const std::optional<QColor> found = stroked ? record.strokeColor() : record.fillColor();
    if (found && found->rgb() == colour.rgb()) return record;
  }
  return std::nullopt;
}

// A widget with two painted buttons side by side: "a" enabled, "b" as given.
class TwoButtons : public QWidget {
 public:
  explicit TwoButtons(bool secondEnabled) {
    resize(200, 50);
    host = new ButtonHost(this, [this, secondEnabled] {
      return QList<ButtonTarget>{
          {.id = 1, .rect = QRectF(0, 0, 100, 50), .action = [this] { runs.append(1); }},
          {.id = 2, .rect = QRectF(100, 0, 100, 50), .enabled = secondEnabled, .action = [this] { runs.append(2); }}};
    });
  }
  ButtonHost* host = nullptr;
  QList<int> runs;
};

// The two buttons above a text field, the default one second.
class ButtonsOverField : public TwoButtons {
 public:
  ButtonsOverField() : TwoButtons(true), field(new QLineEdit(this)) {
    resize(200, 80);
    field->setGeometry(0, 50, 200, 30);
    host->setDefaultButton(2);
  }
  QLineEdit* field;
};

}  // namespace

class FrameTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { FontRegistry::registerFonts(); }

  void stepHeader_data() {
    QTest::addColumn<int>("step");  // 0: none
    QTest::addColumn<int>("total");
    QTest::addColumn<QString>("text");  // empty: no header
    QTest::addColumn<int>("capsules");
    QTest::addColumn<int>("wide");  // index of the wide capsule, -1: none
    QTest::addColumn<int>("solid");
    QTest::newRow("no step") << 0 << 4 << "" << 0 << -1 << 0;
    QTest::newRow("step 1 of 4") << 1 << 4 << "Step 1 of 4" << 4 << 0 << 1;
    QTest::newRow("step 3 of 4") << 3 << 4 << "Step 3 of 4" << 4 << 2 << 3;
    QTest::newRow("step 4 of 4") << 4 << 4 << "Step 4 of 4" << 4 << 3 << 4;
    QTest::newRow("no steps at all") << 1 << 0 << "Step 1 of 0" << 0 << -1 << 0;
    QTest::newRow("step past the total") << 6 << 4 << "Step 6 of 4" << 4 << -1 << 4;
    QTest::newRow("negative total counts as none") << 2 << -3 << "Step 2 of 0" << 0 << -1 << 0;
  }
  void stepHeader() {
    QFETCH(int, step);
    QFETCH(int, total);
    QFETCH(QString, text);
    QFETCH(int, capsules);
    QFETCH(int, wide);
    QFETCH(int, solid);
    const OnboardingFrame frame{step > 0 ? std::optional<int>(step) : std::nullopt, total};
    const OnboardingFrame::Layout layout = frame.layout();
    QCOMPARE(layout.hasHeader, !text.isEmpty());
    QCOMPARE(layout.stepText, text);
    QCOMPARE(layout.capsules.size(), capsules);

    PaintRecorder recorder;
    QPainter painter(&recorder);
    frame.paint(painter, {});
    painter.end();
    QCOMPARE(recorder.textsContaining(text.toUpper()).isEmpty(), text.isEmpty());

    int solidSeen = 0;
    for (int index = 0; index < layout.capsules.size(); ++index) {
      const OnboardingFrame::Capsule& capsule = layout.capsules[index];
      QCOMPARE(capsule.current, index == wide);
      QCOMPARE(capsule.rect.width(), index == wide ? 18.0 : 6.0);
      QCOMPARE(capsule.rect.height(), 6.0);
      if (index > 0) QCOMPARE(capsule.rect.left() - layout.capsules[index - 1].rect.right(), 6.0);
      const auto painted = recorder.where([&](const PaintRecord& record) {
        return record.fillColor() && record.bounds.toAlignedRect() == capsule.rect.toAlignedRect();
      });
      QCOMPARE(painted.size(), 1);
      const qreal alpha = painted.first().effectiveColor().alphaF();
      QVERIFY(near(alpha, capsule.reached ? 1.0 : 0.25));
      QCOMPARE(painted.first().fillColor()->rgb(), MurmelaTheme::sageDeep.rgb());
      solidSeen += capsule.reached ? 1 : 0;
    }
    QCOMPARE(solidSeen, solid);
    if (capsules > 0) {
      QCOMPARE(layout.capsuleRow.center().x(), 195.0);
      QCOMPARE(layout.capsuleRow.top(), layout.stepLabelRect.bottom() + 8.0);
    }
    if (layout.hasHeader) QCOMPARE(layout.stepLabelRect.top(), 20.0);
  }

  // Fill and outline opacities of each look, folded with the button's own opacity.
  void buttonLooks_data() {
    QTest::addColumn<QString>("style");
    QTest::addColumn<bool>("pressed");
    QTest::addColumn<qreal>("fill");  // -1: no fill
    QTest::addColumn<qreal>("outline");
    QTest::newRow("primary") << "primary" << false << 1.0 << 0.3;
    QTest::newRow("primary pressed lightens its fill") << "primary" << true << 0.85 << 0.3;
    QTest::newRow("primary disabled look") << "disabled" << false << 0.55 << 0.3 * 0.55;
    QTest::newRow("ghost") << "ghost" << false << -1.0 << 0.22;
    QTest::newRow("ghost pressed darkens its outline") << "ghost" << true << -1.0 << 0.4;
    QTest::newRow("compact ghost pressed") << "compact" << true << -1.0 << 0.4;
  }
  void buttonLooks() {
    QFETCH(QString, style);
    QFETCH(bool, pressed);
    QFETCH(qreal, fill);
    QFETCH(qreal, outline);
    const QString label = QStringLiteral("Continue →");
    const bool primary = style == "primary" || style == "disabled";
    const MurmelaPrimaryButtonStyle primaryLook{style == "disabled"};
    const MurmelaGhostButtonStyle ghostLook{style == "compact"};
    const QRectF rect(QPointF(10, 10), primary ? primaryLook.size(label) : ghostLook.size(label));
    PaintRecorder recorder;
    QPainter painter(&recorder);
    if (primary) {
      primaryLook.paint(painter, rect, label, ButtonState{.pressed = pressed});
    } else {
      ghostLook.paint(painter, rect, label, ButtonState{.pressed = pressed});
    }
    painter.end();

    const std::optional<PaintRecord> filled = shapeIn(recorder, MurmelaTheme::sageDeep, false);
    QCOMPARE(filled.has_value(), fill >= 0.0);
    if (filled) QVERIFY(near(filled->effectiveColor().alphaF(), fill));
    const std::optional<PaintRecord> stroked = shapeIn(recorder, MurmelaTheme::ink, true);
    QVERIFY(stroked);
    QVERIFY(near(stroked->strokeColor()->alphaF() * stroked->opacity, outline));
    QCOMPARE(stroked->stroke->widthF(), 1.0);
    QVERIFY(recorder.firstText(QStringLiteral("CONTINUE")));
  }

  void buttonSizes() {
    const QString label = QStringLiteral("Done");
    const auto text = [&](qreal size, QFont::Weight weight) {
      return layoutText(label, TextStyle{.size = size, .weight = weight, .tracking = 1.6, .upperCase = true}).size;
    };
    const QSizeF ghost = text(11.0, QFont::Medium);
    QCOMPARE(MurmelaGhostButtonStyle{}.size(label), QSizeF(ghost.width() + 32.0, ghost.height() + 20.0));
    const QSizeF compact = text(9.5, QFont::Medium);
    QCOMPARE(MurmelaGhostButtonStyle{true}.size(label), QSizeF(compact.width() + 24.0, compact.height() + 12.0));
    const QSizeF primary = text(12.0, QFont::DemiBold);
    QCOMPARE(MurmelaPrimaryButtonStyle{}.size(label), QSizeF(primary.width() + 48.0, primary.height() + 24.0));
    QCOMPARE(MurmelaPrimaryButtonStyle{true}.size(label), MurmelaPrimaryButtonStyle{}.size(label));
  }

  // A click runs a button when press and release both land on it and the host lists it enabled.
  void clicks_data() {
    QTest::addColumn<bool>("secondEnabled");
    QTest::addColumn<QPoint>("press");
    QTest::addColumn<QPoint>("release");
    QTest::addColumn<QList<int>>("runs");
    QTest::newRow("click") << true << QPoint(50, 25) << QPoint(60, 25) << QList<int>{1};
    QTest::newRow("dragged off before release") << true << QPoint(50, 25) << QPoint(150, 25) << QList<int>{};
    QTest::newRow("enabled second") << true << QPoint(150, 25) << QPoint(150, 25) << QList<int>{2};
    QTest::newRow("disabled second") << false << QPoint(150, 25) << QPoint(150, 25) << QList<int>{};
  }
  void clicks() {
    QFETCH(bool, secondEnabled);
    QFETCH(QPoint, press);
    QFETCH(QPoint, release);
    QFETCH(QList<int>, runs);
    TwoButtons widget(secondEnabled);
    QTest::mousePress(&widget, Qt::LeftButton, {}, press);
    const bool pressedLive = widget.host->pressed().has_value();
    QCOMPARE(pressedLive, press.x() < 100 || secondEnabled);
    QTest::mouseMove(&widget, release);
    QTest::mouseRelease(&widget, Qt::LeftButton, {}, release);
    QCOMPARE(widget.runs, runs);
    QVERIFY(!widget.host->pressed());
  }

  // Tab walks the enabled buttons (round again on a widget alone); Return runs
  // the focused one, or the default one before any Tab.
  void keys() {
    TwoButtons widget(true);
    widget.host->setDefaultButton(2);
    widget.show();
    widget.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&widget));
    widget.setFocus();
    QTest::keyClick(&widget, Qt::Key_Return);
    QCOMPARE(widget.runs, QList<int>{2});
    QTest::keyClick(&widget, Qt::Key_Tab);
    QVERIFY(widget.host->showsFocus(1));
    QTest::keyClick(&widget, Qt::Key_Tab);
    QTest::keyClick(&widget, Qt::Key_Tab);
    QCOMPARE(widget.host->focused(), std::optional<int>(1));
    QTest::keyClick(&widget, Qt::Key_Space);
    QTest::keyClick(&widget, Qt::Key_Tab, Qt::ShiftModifier);
    QTest::keyClick(&widget, Qt::Key_Return);
    QCOMPARE(widget.runs, (QList<int>{2, 1, 2}));
  }

  // A dialog opened with the pointer shows no ring until a Tab: the FocusIn
  // "by Tab" that showing a dialog sends by itself moves no focus.
  void aDialogOpensWithoutARing() {
    QDialog dialog;
    dialog.resize(200, 50);
    auto* host = new ButtonHost(&dialog, [] {
      return QList<ButtonTarget>{{.id = 1, .rect = QRectF(0, 0, 100, 50)}, {.id = 2, .rect = QRectF(100, 0, 100, 50)}};
    });
    dialog.open();
    dialog.setFocus(Qt::OtherFocusReason);
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QCOMPARE(host->focused(), std::nullopt);
    QVERIFY(!host->showsFocus(1));
    QTest::keyClick(&dialog, Qt::Key_Tab);
    QVERIFY(host->showsFocus(1));
  }

  // A Return the text field leaves to the widget runs the default button,
  // however the focus left the button the ring was on.
  void returnFromAChildFieldRunsTheDefault_data() {
    QTest::addColumn<QString>("into");  // how the focus reaches the field
    QTest::newRow("clicked into the field") << "click";
    QTest::newRow("focus set by the screen") << "code";
    QTest::newRow("tabbed past the last button") << "tab";
  }
  void returnFromAChildFieldRunsTheDefault() {
    QFETCH(QString, into);
    ButtonsOverField widget;
    widget.show();
    widget.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&widget));
    widget.setFocus();
    QTest::keyClick(&widget, Qt::Key_Tab);
    QVERIFY(widget.host->showsFocus(1));
    if (into == QLatin1String("click")) QTest::mouseClick(widget.field, Qt::LeftButton);
    if (into == QLatin1String("code")) widget.field->setFocus();
    if (into == QLatin1String("tab")) {
      QTest::keyClick(&widget, Qt::Key_Tab);
      QTest::keyClick(&widget, Qt::Key_Tab);
    }
    QVERIFY(widget.field->hasFocus());
    QVERIFY(!widget.host->showsFocus(1));
    QTest::keyClick(widget.field, Qt::Key_Return);
    QCOMPARE(widget.runs, QList<int>{2});
    // Space stays with the field (it types) and back on the widget the ring is gone.
    QTest::keyClick(widget.field, Qt::Key_Space);
    widget.setFocus();
    QTest::keyClick(&widget, Qt::Key_Return);
    QCOMPARE(widget.runs, (QList<int>{2, 2}));
  }
};

MURMELA_TEST(FrameTest)
#include "FrameTest.moc"
