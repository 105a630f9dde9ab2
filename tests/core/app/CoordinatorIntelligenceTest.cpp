// The intelligence choice, its confirmation and event, and the hybrid setup.
#include "support/FakeNeighbours.h"
#include "app/AppCoordinator.h"
#include "privacy/PrivacyFilterError.h"
#include "support/TestRegistry.h"

#include <QTest>

#include <memory>

using namespace murmela;
using namespace murmela::test;

Q_DECLARE_METATYPE(murmela::HybridPrivacyCapability)
Q_DECLARE_METATYPE(murmela::IntelligenceChoice)

namespace {

const HybridPrivacyCapability kAvailable = HybridPrivacyCapability::available(QStringLiteral("0.1.1"));
const HybridPrivacyCapability kAppleSilicon = HybridPrivacyCapability::requiresAppleSilicon();

}  // namespace

class CoordinatorIntelligenceTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { prepareAppTests(); }
  void init() { harness_ = std::make_unique<CoordinatorHarness>(); }
  void cleanup() { harness_.reset(); }

  void selectIntelligence_data() {
    QTest::addColumn<HybridPrivacyCapability>("capability");
    QTest::addColumn<IntelligenceChoice>("selected");
    QTest::addColumn<IntelligenceChoice>("choice");
    QTest::addColumn<bool>("errorCleared");
    QTest::newRow("hybrid where it cannot run")
        << kAppleSilicon << IntelligenceChoice::hybrid << IntelligenceChoice::cloud << false;
    QTest::newRow("hybrid where it can") << kAvailable << IntelligenceChoice::hybrid << IntelligenceChoice::hybrid
                                         << true;
    QTest::newRow("cloud, anywhere") << kAppleSilicon << IntelligenceChoice::cloud << IntelligenceChoice::cloud << true;
  }
  void selectIntelligence() {
    QFETCH(HybridPrivacyCapability, capability);
    QFETCH(IntelligenceChoice, selected);
    QFETCH(IntelligenceChoice, choice);
    QFETCH(bool, errorCleared);
    harness_->fakes.capabilities = {capability};
    AppCoordinator& coordinator = harness_->make();
    coordinator.setHybridSetupError(QStringLiteral("earlier failure"));
    coordinator.selectIntelligence(selected);
    QCOMPARE(coordinator.intelligenceChoice(), choice);
    QCOMPARE(coordinator.hybridSetupError().has_value(), !errorCleared);
  }

  void unavailableReasons_data() {
    QTest::addColumn<HybridPrivacyCapability>("capability");
    QTest::addColumn<QString>("reason");  // empty: none
    QTest::newRow("available") << kAvailable << "";
    QTest::newRow("too old") << HybridPrivacyCapability::pythonTooOld("3.9.6")
                             << "The local privacy runtime is out of date. Found 3.9.6.";
    QTest::newRow("too new") << HybridPrivacyCapability::pythonTooNew("3.14.0")
                             << "The local privacy runtime is newer than this Murmela build supports. Found 3.14.0.";
    QTest::newRow("not Apple Silicon")
        << kAppleSilicon << "Hybrid Intelligence requires Apple Silicon. You can still use cloud analysis.";
    QTest::newRow("missing") << HybridPrivacyCapability::pythonMissing()
                             << "Murmela's privacy runtime is not installed yet. Build or download it to enable "
                                "Hybrid Intelligence.";
  }
  void unavailableReasons() {
    QFETCH(HybridPrivacyCapability, capability);
    QFETCH(QString, reason);
    harness_->fakes.capabilities = {capability};
    const AppCoordinator& coordinator = harness_->make();
    QCOMPARE(coordinator.hybridUnavailableReason().value_or(QString()), reason);
    QCOMPARE(coordinator.hybridUnavailableReason().has_value(), !reason.isEmpty());
  }

  // Where a confirmation leads, and which choice its event carries.
  void confirm_data() {
    QTest::addColumn<IntelligenceChoice>("selected");
    QTest::addColumn<bool>("setupReady");
    QTest::addColumn<bool>("gateSkipped");
    QTest::addColumn<QString>("screen");
    QTest::addColumn<int>("setupStarts");
    QTest::newRow("cloud") << IntelligenceChoice::cloud << false << false << "permissions" << 0;
    QTest::newRow("cloud, gate skipped") << IntelligenceChoice::cloud << false << true << "contactPicker" << 0;
    QTest::newRow("hybrid, ready") << IntelligenceChoice::hybrid << true << false << "permissions" << 0;
    QTest::newRow("hybrid, setup needed") << IntelligenceChoice::hybrid << false << false << "hybridSetup" << 1;
  }
  void confirm() {
    QFETCH(IntelligenceChoice, selected);
    QFETCH(bool, setupReady);
    QFETCH(bool, gateSkipped);
    QFETCH(QString, screen);
    QFETCH(int, setupStarts);
    FakeNeighbours& fakes = harness_->fakes;
    fakes.setup->ready = setupReady;
    fakes.skipsPermissionGate = gateSkipped;
    AppCoordinator& coordinator = harness_->make();
    coordinator.setScreen(AppScreen::intelligence());
    coordinator.selectIntelligence(selected);
    coordinator.confirmIntelligenceChoice();
    QCOMPARE(screenName(coordinator), screen);
    QCOMPARE(fakes.setup->starts, setupStarts);
    QTRY_COMPARE(fakes.analytics->choices(), QList<IntelligenceChoice>{selected});
  }

  void setupSuccessMovesOn() {
    FakeNeighbours& fakes = harness_->fakes;
    AppCoordinator& coordinator = harness_->make();
    coordinator.confirmIntelligenceChoice();
    coordinator.confirmIntelligenceChoice();  // "Try Again" while it runs: joins the same setup
    QCOMPARE(screenName(coordinator), QStringLiteral("hybridSetup"));
    fakes.setup->finish();
    QCOMPARE(screenName(coordinator), QStringLiteral("permissions"));
    QTRY_COMPARE(fakes.probes.load(), 1);  // one move, one probe
    QTRY_COMPARE(fakes.analytics->choices().size(), 2);
  }

  void setupFailureStays() {
    FakeNeighbours& fakes = harness_->fakes;
    AppCoordinator& coordinator = harness_->make();
    coordinator.confirmIntelligenceChoice();
    const PrivacyFilterError failure = PrivacyFilterError::notAppleSilicon();
    fakes.setup->finish(std::make_exception_ptr(failure));
    QCOMPARE(screenName(coordinator), QStringLiteral("hybridSetup"));
    QCOMPARE(coordinator.hybridSetupError(), std::optional<QString>(failure.description()));
    QCOMPARE(coordinator.intelligenceChoice(), IntelligenceChoice::hybrid);
    coordinator.confirmIntelligenceChoice();  // a retry clears the error and runs again
    QVERIFY(!coordinator.hybridSetupError());
    QCOMPARE(fakes.setup->starts, 2);
  }

  void setupSuccessAfterChoosingCloud() {
    FakeNeighbours& fakes = harness_->fakes;
    AppCoordinator& coordinator = harness_->make();
    coordinator.confirmIntelligenceChoice();
    coordinator.selectIntelligence(IntelligenceChoice::cloud);  // "Use Raw Cloud" does not stop the setup
    coordinator.setScreen(AppScreen::hybridSetup());
    fakes.setup->finish();
    QCOMPARE(screenName(coordinator), QStringLiteral("hybridSetup"));
  }

  // The capability changes between the two checks of one confirmation: the
  // choice becomes cloud, the screen stays, and the event says cloud.
  void demotedConfirmation_data() {
    QTest::addColumn<HybridPrivacyCapability>("second");
    QTest::addColumn<bool>("helpShown");
    QTest::newRow("not Apple Silicon") << kAppleSilicon << false;
    QTest::newRow("runtime missing") << HybridPrivacyCapability::pythonMissing() << true;
    QTest::newRow("runtime too old") << HybridPrivacyCapability::pythonTooOld("3.9") << true;
  }
  void demotedConfirmation() {
    QFETCH(HybridPrivacyCapability, second);
    QFETCH(bool, helpShown);
    FakeNeighbours& fakes = harness_->fakes;
    // Construction and the confirmation's first check see it available.
    fakes.capabilities = {kAvailable, kAvailable, second};
    AppCoordinator& coordinator = harness_->make();
    coordinator.setScreen(AppScreen::intelligence());
    coordinator.confirmIntelligenceChoice();
    QCOMPARE(coordinator.intelligenceChoice(), IntelligenceChoice::cloud);
    QCOMPARE(screenName(coordinator), QStringLiteral("intelligence"));
    QCOMPARE(coordinator.pythonInstallHelpVisible(), helpShown);
    QCOMPARE(fakes.setup->starts, 0);
    QTRY_COMPARE(fakes.analytics->choices(), QList<IntelligenceChoice>{IntelligenceChoice::cloud});
  }

 private:
  std::unique_ptr<CoordinatorHarness> harness_;
};

MURMELA_TEST(CoordinatorIntelligenceTest)
#include "CoordinatorIntelligenceTest.moc"
