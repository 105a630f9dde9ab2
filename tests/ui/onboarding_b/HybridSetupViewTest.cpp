// The hybrid setup screen and its error sheet on a real coordinator: what the
// screen shows of the setup, where it puts it, which button goes on, and
// what every button and every way of closing the sheet asks of the coordinator.
#include "ScreenHarness.h"

#include "privacy/PrivacyFilterSetup.h"
#include "screens/hybridsetup/HybridPrivacySetupView.h"
#include "sheets/HybridSetupErrorSheet.h"
#include "sheets/ScrollingPlainText.h"
#include "support/TestRegistry.h"
#include "testing/PaintRecorder.h"
#include "theme/FontRegistry.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>
#include <QTest>

#include <limits>

using namespace murmela;
using namespace murmela::test;

namespace {

using State = PrivacyFilterSubStep::State;
using Kind = PrivacyFilterPhase::Kind;

const PrivacySetupSnapshot kRunning = PrivacySetupSnapshot::at(
    {Kind::installingRuntime, {}}, 0.46, {State::done, State::active}, QStringLiteral("412 MB of 1.4 GB"), 84.0);
const PrivacySetupSnapshot kReady =
    PrivacySetupSnapshot::at({Kind::ready, {}}, 1.0, {State::done, State::done, State::done});

void paintInto(PaintRecorder& recorder, const HybridPrivacySetupView& view) {
  QPainter painter(&recorder);
  view.paintScreen(painter);
}

// The opacity the text of a row label was painted at.
qreal opacityOf(const PaintRecorder& recorder, const QString& text) {
  const std::optional<PaintRecord> record = recorder.firstText(text);
  return record ? record->opacity : -1.0;
}

}  // namespace

class HybridSetupViewTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() {
    prepareAppTests();
    FontRegistry::registerFonts();
  }

  // Every state keeps every block at its place from the top.
  void blocksKeepTheirPlaces_data() {
    QTest::addColumn<PrivacySetupSnapshot>("setup");
    QTest::addColumn<bool>("error");
    QTest::newRow("idle") << PrivacySetupSnapshot{} << false;
    QTest::newRow("running with a detail and an estimate") << kRunning << false;
    QTest::newRow("ready") << kReady << false;
    QTest::newRow("failed with a long message")
        << PrivacySetupSnapshot::at(PrivacyFilterPhase::failed(QString(900, QLatin1Char('x'))), 0.9,
                                    {State::done, State::done, State::active}, QString(900, QLatin1Char('x')))
        << true;
  }
  void blocksKeepTheirPlaces() {
    QFETCH(PrivacySetupSnapshot, setup);
    QFETCH(bool, error);
    ScreenHarness harness;
    PrivacySetupStatus status(setup);
    HybridPrivacySetupView view(status, harness.coordinator());
    if (error) harness.coordinator().setHybridSetupError(QStringLiteral("failed"));
    const HybridPrivacySetupView::Layout layout = view.layout();
    QCOMPARE(layout.eyebrow.top(), 100.0);
    QCOMPARE(layout.title.top(), 134.0);
    QCOMPARE(layout.progressBlock.top(), 320.0);
    QCOMPARE(layout.progressBlock.left(), 32.0);
    QCOMPARE(layout.progressBlock.width(), 326.0);
    QCOMPARE(layout.rows.size(), 3);
    QCOMPARE(layout.rows.first().frame.top(), 426.0);
    QCOMPARE(layout.footnoteRect.top(), 644.0);
    QCOMPARE(layout.back.center().y(), layout.forward.center().y());
    QCOMPARE(std::min(layout.back.top(), layout.forward.top()), 706.0);
    QCOMPARE(layout.back.left(), 28.0);
    QCOMPARE(layout.forward.right(), 362.0);
    // A long detail is cut to two lines and leaves the checklist above the footnote.
    for (const HybridPrivacySetupView::Row& row : layout.rows) QVERIFY(row.detail.lines.size() <= 2);
    QVERIFY(layout.rows.last().frame.bottom() < layout.footnoteRect.top());
  }

  void progressHeaderAndBar_data() {
    QTest::addColumn<double>("progress");
    QTest::addColumn<QString>("percent");
    QTest::addColumn<double>("filled");  // share of the bar
    QTest::newRow("none") << 0.0 << "0" << 0.0;
    QTest::newRow("almost") << 0.999 << "99" << 0.999;
    QTest::newRow("full") << 1.0 << "100" << 1.0;
    QTest::newRow("past full: the bar stays in its track") << 1.7 << "170" << 1.0;
    QTest::newRow("below none") << -0.2 << "-20" << 0.0;
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << "0" << 0.0;
  }
  void progressHeaderAndBar() {
    QFETCH(double, progress);
    QFETCH(double, filled);
    ScreenHarness harness;
    PrivacySetupStatus status(
        PrivacySetupSnapshot::at({Kind::installingRuntime, {}}, progress, {State::done, State::active}));
    HybridPrivacySetupView view(status, harness.coordinator());
    const HybridPrivacySetupView::Layout layout = view.layout();
    QTEST(layout.percent.shownText(), "percent");
    QCOMPARE(layout.barFill.width(), layout.bar.width() * filled);
    QVERIFY(layout.percentRect.right() <= layout.percentSignRect.left());
    QCOMPARE(layout.percentSignRect.right(), layout.progressBlock.right());
  }

  // The three looks of a checklist row: done and running at full strength,
  // pending faded; the mark of each.
  void checklistRowLooks() {
    ScreenHarness harness;
    PrivacySetupStatus status(kRunning);
    HybridPrivacySetupView view(status, harness.coordinator());
    PaintRecorder recorder;
    paintInto(recorder, view);
    QCOMPARE(opacityOf(recorder, QStringLiteral("Checking Apple Silicon")), 1.0);
    QCOMPARE(opacityOf(recorder, QStringLiteral("Installing Murmela privacy filter")), 1.0);
    QCOMPARE(opacityOf(recorder, QStringLiteral("Testing privacy filter")), 0.55);
    QCOMPARE(opacityOf(recorder, QStringLiteral("412 MB OF 1.4 GB")), 1.0);
    const HybridPrivacySetupView::Layout layout = view.layout();
    const auto inside = [](const QList<PaintRecord>& records, const QRectF& frame) {
      return std::count_if(records.begin(), records.end(),
                           [&](const PaintRecord& record) { return frame.contains(record.bounds.center()); });
    };
    // The done row's disc and the running row's dot.
    QCOMPARE(inside(recorder.filledWith(MurmelaTheme::sageDeep), layout.rows[0].indicator), 1);
    QCOMPARE(inside(recorder.filledWith(MurmelaTheme::rose), layout.rows[1].indicator), 1);
    QCOMPARE(inside(recorder.filledWith(MurmelaTheme::rose), layout.rows[2].indicator), 0);
  }

  void forwardButtonAndFootnote_data() {
    QTest::addColumn<PrivacySetupSnapshot>("setup");
    QTest::addColumn<bool>("error");
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QString>("footnote");
    const QString calm = QStringLiteral("no rush \u2014 feel free to grab some tea ;) ");
    const QString trouble = QStringLiteral("setup needs a second look");
    QTest::newRow("running") << kRunning << false << int(HybridForwardButton::continueDisabled) << false << calm;
    QTest::newRow("ready") << kReady << false << int(HybridForwardButton::continueEnabled) << true << calm;
    QTest::newRow("failed, not reported")
        << PrivacySetupSnapshot::at(PrivacyFilterPhase::failed(QStringLiteral("x")), 0.04, {State::active}) << false
        << int(HybridForwardButton::continueDisabled) << false << calm;
    QTest::newRow("reported error") << kRunning << true << int(HybridForwardButton::useRawCloud) << true << trouble;
  }
  void forwardButtonAndFootnote() {
    QFETCH(PrivacySetupSnapshot, setup);
    QFETCH(bool, error);
    QFETCH(bool, enabled);
    ScreenHarness harness;
    PrivacySetupStatus status(setup);
    HybridPrivacySetupView view(status, harness.coordinator());
    if (error) harness.coordinator().setHybridSetupError(QStringLiteral("boom"));
    const HybridPrivacySetupView::Layout layout = view.layout();
    QTEST(int(layout.forwardKind), "kind");
    QTEST(layout.footnote.shownText(), "footnote");
    PaintRecorder recorder;
    paintInto(recorder, view);
    const std::optional<PaintRecord> label =
        recorder.firstText(error ? QStringLiteral("USE RAW CLOUD") : QStringLiteral("CONTINUE"));
    QVERIFY(label);
    QCOMPARE(label->opacity, enabled ? 1.0 : 0.55);
    // The button refuses exactly when it looks disabled.
    QCOMPARE(view.buttonHost().activate(HybridPrivacySetupView::forwardButton), enabled);
  }

  // The screen's buttons and the sheet's, through a real setup failure.
  void actions_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QString>("choice");
    QTest::addColumn<int>("setupStarts");
    QTest::newRow("back") << "back"
                          << "intelligence"
                          << "hybrid" << 1;
    QTest::newRow("use raw cloud on the screen") << "raw cloud"
                                                 << "intelligence"
                                                 << "cloud" << 1;
    QTest::newRow("use raw cloud in the sheet") << "sheet raw cloud"
                                                << "intelligence"
                                                << "cloud" << 1;
    QTest::newRow("try again") << "sheet try again"
                               << "hybridSetup"
                               << "hybrid" << 2;
    QTest::newRow("the sheet's close button") << "sheet close"
                                              << "hybridSetup"
                                              << "hybrid" << 1;
    QTest::newRow("escape in the sheet") << "sheet escape"
                                         << "hybridSetup"
                                         << "hybrid" << 1;
  }
  void actions() {
    QFETCH(QString, action);
    ScreenHarness harness;
    AppCoordinator& coordinator = harness.coordinator();
    PrivacySetupStatus status(kRunning);
    coordinator.confirmIntelligenceChoice();
    QCOMPARE(screenName(coordinator), QStringLiteral("hybridSetup"));
    HybridPrivacySetupView view(status, coordinator);
    QVERIFY(!view.errorSheet());
    harness.fakes().setup->finish(std::make_exception_ptr(ScriptedRunError(QStringLiteral("smoke test failed"))));
    QVERIFY(coordinator.hybridSetupError());
    HybridSetupErrorSheet* sheet = view.errorSheet();
    QVERIFY(sheet);
    QCOMPARE(sheet->error(), *coordinator.hybridSetupError());

    if (action == QLatin1String("back")) {
      QVERIFY(view.buttonHost().activate(HybridPrivacySetupView::backButton));
    } else if (action == QLatin1String("raw cloud")) {
      QVERIFY(view.buttonHost().activate(HybridPrivacySetupView::forwardButton));
    } else if (action == QLatin1String("sheet raw cloud")) {
      QVERIFY(sheet->buttonHost().activate(HybridSetupErrorSheet::useRawCloudButton));
    } else if (action == QLatin1String("sheet try again")) {
      QVERIFY(sheet->buttonHost().activate(HybridSetupErrorSheet::tryAgainButton));
    } else if (action == QLatin1String("sheet close")) {
      QVERIFY(sheet->buttonHost().activate(HybridSetupErrorSheet::closeButton));
    } else {
      QTest::keyClick(sheet, Qt::Key_Escape);
    }
    QTRY_VERIFY(!view.errorSheet());
    QVERIFY(!coordinator.hybridSetupError());
    QTEST(screenName(coordinator), "screen");
    QTEST(rawValue(coordinator.intelligenceChoice()), "choice");
    QTEST(harness.fakes().setup->starts, "setupStarts");
    // With the error gone the footnote is calm again and Continue waits for the setup.
    QCOMPARE(view.layout().forwardKind, HybridForwardButton::continueDisabled);
  }

  // Built on the setup driver itself, the screen follows what it publishes:
  // here a host that is not Apple Silicon stops the setup at its first step.
  void followsTheSetupDriver() {
    ScreenHarness harness;
    PrivacyFilterSetup::Options options;
    options.hostProbe = [] { return std::optional<QString>(QStringLiteral("x86_64")); };
    PrivacyFilterSetup setup(std::move(options));
    HybridPrivacySetupView view(setup, harness.coordinator());
    QCOMPARE(view.layout().statusLeft.shownText(), QStringLiteral("PREPARING"));
    setup.start();
    const HybridPrivacySetupView::Layout layout = view.layout();
    QCOMPARE(layout.statusLeft.shownText(), QStringLiteral("SETUP FAILED"));
    QCOMPARE(layout.statusRight.shownText(), QStringLiteral("CHECKING"));
    QVERIFY(layout.rows[0].step.active);
    QCOMPARE(layout.rows[0].step.detail, setup.detail());
  }

  void continueWhenReady() {
    ScreenHarness harness;
    PrivacySetupStatus status(kReady);
    HybridPrivacySetupView view(status, harness.coordinator());
    harness.fakes().setup->ready = true;
    QTest::keyClick(&view, Qt::Key_Return);  // Return takes the main action
    QCOMPARE(screenName(harness.coordinator()), QStringLiteral("permissions"));
  }

  // The screen follows the status it is given, and the sheet the error text.
  void followsTheSetupAndTheError() {
    ScreenHarness harness;
    PrivacySetupStatus status(kRunning);
    HybridPrivacySetupView view(status, harness.coordinator());
    QCOMPARE(view.layout().statusLeft.shownText(), QStringLiteral("EST. 1 MIN REMAINING"));
    status.setSnapshot(kReady);
    QCOMPARE(view.layout().statusLeft.shownText(), QStringLiteral("READY"));
    QCOMPARE(view.layout().forwardKind, HybridForwardButton::continueEnabled);

    const QString rich = QStringLiteral("<b>not bold</b>\n") + QString(4000, QLatin1Char('e'));
    harness.coordinator().setHybridSetupError(rich);
    HybridSetupErrorSheet* sheet = view.errorSheet();
    QVERIFY(sheet);
    QCOMPARE(sheet->detailView()->toPlainText(), rich);
    QCOMPARE(sheet->windowModality(), Qt::WindowModal);
    // However long the error, the box keeps its height and the buttons their place.
    const qreal height = sheet->layout().height;
    QCOMPARE(sheet->layout().detailBox.height(), 180.0);
    QCOMPARE(sheet->width(), 460);
    harness.coordinator().setHybridSetupError(QStringLiteral("short"));
    QCOMPARE(view.errorSheet(), sheet);
    QCOMPARE(sheet->detailView()->toPlainText(), QStringLiteral("short"));
    QCOMPARE(sheet->layout().height, height);
  }
};

MURMELA_TEST(HybridSetupViewTest)
#include "HybridSetupViewTest.moc"
