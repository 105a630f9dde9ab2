// Boot, the screen changes of the navigation operations, and the work that
// finishes after the user has moved on.
#include "app/AppCoordinator.h"
#include "common/AnalysisLogger.h"
#include "common/AppSettings.h"
#include "data/ReportJson.h"
#include "hosted/HostedAnalysisError.h"
#include "support/FakeNeighbours.h"
#include "support/ReportSamples.h"
#include "support/TestRegistry.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>
#include <stdexcept>

using namespace murmela;
using namespace murmela::test;

namespace {

PermissionSnapshot snapshotOf(bool fullDiskAccess, ContactAccessStatus contacts) { return {fullDiskAccess, contacts}; }

void saveReport(const QString& them) {
  WrappedReport report = minimalReport();
  report.participantNames.them = them;
  SavedReportLibrary().save(report, Date::now());
}

}  // namespace

class CoordinatorNavigationTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { prepareAppTests(); }
  void init() { harness_ = std::make_unique<CoordinatorHarness>(); }
  void cleanup() { harness_.reset(); }

  void construction() {
    AppSettings::shared().setValue(AppCoordinator::kHasAcceptedTermsKey, true);
    harness_->fakes.capabilities = {HybridPrivacyCapability::requiresAppleSilicon()};
    const AppCoordinator& coordinator = harness_->make();
    QCOMPARE(screenName(coordinator), QStringLiteral("welcome"));
    QVERIFY(coordinator.hasAcceptedTerms());
    QCOMPARE(coordinator.intelligenceChoice(), IntelligenceChoice::cloud);  // hybrid cannot run here
    QCOMPARE(coordinator.processingDisplayName(), QStringLiteral("your person"));
    QCOMPARE(coordinator.processingProgress(), ProcessingProgress{});
    QVERIFY(!coordinator.permissions());
    QCOMPARE(harness_->fakes.probes.load(), 0);
  }

  void boot_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("gateSkipped");
    QTest::addColumn<bool>("onboarded");
    QTest::addColumn<bool>("fullDiskAccess");
    QTest::addColumn<int>("contacts");  // ContactAccessStatus::Kind
    QTest::addColumn<QString>("screen");
    QTest::addColumn<int>("probes");
    const int authorized = int(ContactAccessStatus::Kind::authorized);
    const int denied = int(ContactAccessStatus::Kind::denied);
    const QStringList plain{"murmela"};
    QTest::newRow("demo fixture") << QStringList{"murmela", "-fakeData", "minimal"} << false << false << false << denied
                                  << "results" << 0;
    QTest::newRow("gate skipped, onboarded") << plain << true << true << false << denied << "home" << 0;
    QTest::newRow("gate skipped, not onboarded") << plain << true << false << false << denied << "welcome" << 0;
    QTest::newRow("onboarded, both granted") << plain << false << true << true << authorized << "home" << 1;
    QTest::newRow("onboarded, contacts denied") << plain << false << true << true << denied << "permissions" << 1;
    QTest::newRow("onboarded, no disk access") << plain << false << true << false << authorized << "permissions" << 1;
    QTest::newRow("not onboarded") << plain << false << false << true << authorized << "welcome" << 1;
  }
  void boot() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, gateSkipped);
    QFETCH(bool, onboarded);
    QFETCH(bool, fullDiskAccess);
    QFETCH(int, contacts);
    QFETCH(QString, screen);
    QFETCH(int, probes);
    FakeNeighbours& fakes = harness_->fakes;
    fakes.launchArguments = arguments;
    fakes.skipsPermissionGate = gateSkipped;
    fakes.snapshot = snapshotOf(fullDiskAccess, contacts == int(ContactAccessStatus::Kind::authorized)
                                                    ? ContactAccessStatus::authorized()
                                                    : ContactAccessStatus::denied());
    ShareCacheEntry entry;
    entry.shareID = QStringLiteral("s1");
    fakes.shares = {entry};
    AppSettings::shared().setValue(AppCoordinator::kHasCompletedOnboardingKey, onboarded);
    saveReport(QStringLiteral("Sam"));

    AppCoordinator& coordinator = harness_->make();
    coordinator.bootIfNeeded();
    QCOMPARE(coordinator.pastWraps().size(), 1);  // read at once
    QTRY_COMPARE(screenName(coordinator), screen);
    QTRY_COMPARE(coordinator.activeShares().size(), 1);
    QTRY_COMPARE(fakes.analytics->installs.load(), 1);
    // A new coordinator already shows welcome, so the screen alone does not
    // say the probe has answered: wait for the snapshot it stores.
    if (probes == 1) QTRY_COMPARE(coordinator.permissions(), fakes.snapshot);
    QCOMPARE(fakes.probes.load(), probes);
    if (gateSkipped) QCOMPARE(coordinator.permissions(), snapshotOf(true, ContactAccessStatus::authorized()));
    if (screen == "results") QVERIFY(!coordinator.currentShareContactHandle());
  }

  void secondBootDoesNothing() {
    AppCoordinator& coordinator = harness_->make();
    coordinator.bootIfNeeded();
    QTRY_COMPARE(harness_->fakes.probes.load(), 1);
    QTRY_COMPARE(harness_->fakes.analytics->installs.load(), 1);
    // The first boot's screen, from the probe's own thread, has arrived.
    QVERIFY(coordinator.waitForBackgroundWork(std::chrono::seconds(30)));
    QCoreApplication::processEvents();
    saveReport(QStringLiteral("Kim"));
    QSignalSpy wraps(&coordinator, &AppCoordinator::pastWrapsChanged);
    QSignalSpy screens(&coordinator, &AppCoordinator::screenChanged);
    coordinator.bootIfNeeded();
    QVERIFY(coordinator.waitForBackgroundWork(std::chrono::seconds(30)));
    QCoreApplication::processEvents();
    QCOMPARE(wraps.size(), 0);
    QVERIFY(coordinator.pastWraps().isEmpty());
    QCOMPARE(harness_->fakes.probes.load(), 1);
    QCOMPARE(harness_->fakes.analytics->installs.load(), 1);
    QCOMPARE(screens.size(), 0);
  }

  // A continuation that ends after the user set another screen leaves that
  // screen, but keeps what it fetched.
  void lateContinuationsLeaveTheScreen_data() {
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("screenBefore");
    QTest::newRow("boot") << "boot"
                          << "welcome";
    QTest::newRow("new report, probed") << "new"
                                        << "home";
    QTest::newRow("new report, gate skipped") << "new, gate skipped"
                                              << "home";
    QTest::newRow("hybrid setup") << "setup"
                                  << "hybridSetup";
  }
  void lateContinuationsLeaveTheScreen() {
    QFETCH(QString, operation);
    QFETCH(QString, screenBefore);
    FakeNeighbours& fakes = harness_->fakes;
    AppSettings::shared().setValue(AppCoordinator::kHasCompletedOnboardingKey, true);
    fakes.skipsPermissionGate = operation.endsWith(QLatin1String("gate skipped"));
    Gate probe;
    fakes.beforeProbe = [&probe] { probe.wait(); };
    AppCoordinator& coordinator = harness_->make();
    if (operation != "boot") coordinator.setScreen(AppScreen::home());

    if (operation == "boot") coordinator.bootIfNeeded();
    if (operation.startsWith(QLatin1String("new"))) coordinator.beginNewMurmelaFromHome();
    if (operation == "setup") coordinator.confirmIntelligenceChoice();
    QCOMPARE(screenName(coordinator), screenBefore);

    const PastWrap wrap{QStringLiteral("/x.json"), minimalReport(), Date()};
    coordinator.openPastWrap(wrap);  // the user moves on
    probe.open();
    if (operation == "setup") fakes.setup->finish();
    if (operation == "boot" || operation == "new") QTRY_COMPARE(coordinator.permissions(), fakes.snapshot);
    QCoreApplication::processEvents();
    QCOMPARE(screenName(coordinator), QStringLiteral("results"));
  }

  void navigation_data() {
    QTest::addColumn<QString>("operation");
    QTest::addColumn<bool>("gateSkipped");
    QTest::addColumn<bool>("granted");
    QTest::addColumn<QString>("screen");
    QTest::newRow("get started, terms accepted") << "getStarted" << false << true << "intelligence";
    QTest::newRow("get started, terms not accepted") << "getStarted refused" << false << true << "welcome";
    QTest::newRow("to permissions") << "continueToPermissions" << false << true << "permissions";
    QTest::newRow("to permissions, gate skipped") << "continueToPermissions" << true << true << "contactPicker";
    QTest::newRow("new report, granted") << "beginNew" << false << true << "intelligence";
    QTest::newRow("new report, not granted") << "beginNew" << false << false << "permissions";
    QTest::newRow("new report, gate skipped") << "beginNew" << true << false << "intelligence";
    QTest::newRow("home") << "goHome" << false << true << "home";
  }
  void navigation() {
    QFETCH(QString, operation);
    QFETCH(bool, gateSkipped);
    QFETCH(bool, granted);
    QFETCH(QString, screen);
    FakeNeighbours& fakes = harness_->fakes;
    fakes.skipsPermissionGate = gateSkipped;
    fakes.snapshot = snapshotOf(granted, ContactAccessStatus::authorized());
    AppCoordinator& coordinator = harness_->make();
    coordinator.setHasAcceptedTerms(operation != "getStarted refused");
    if (operation.startsWith(QLatin1String("getStarted"))) coordinator.getStarted();
    if (operation == "continueToPermissions") coordinator.continueToPermissions();
    if (operation == "beginNew") coordinator.beginNewMurmelaFromHome();
    if (operation == "goHome") coordinator.goHome();
    QTRY_COMPARE(screenName(coordinator), screen);
    if (screen == "permissions") QTRY_COMPARE(coordinator.permissions(), fakes.snapshot);
  }

  void beginNewForgetsTheLastRun() {
    AppCoordinator& coordinator = harness_->make();
    coordinator.setProcessingError(QStringLiteral("[X] y"));
    coordinator.openPastWrap({QStringLiteral("/x.json"), minimalReport(), Date()});
    coordinator.beginNewMurmelaFromHome();
    QVERIFY(!coordinator.processingError());
    QVERIFY(!coordinator.currentShareContactHandle());
    QVERIFY(coordinator.analysisLog().isEmpty());
    QCOMPARE(coordinator.processingProgress(), ProcessingProgress{});
    QCOMPARE(screenName(coordinator), QStringLiteral("results"));  // until the probe is back
    QTRY_COMPARE(screenName(coordinator), QStringLiteral("intelligence"));
  }

  void termsAreStoredOnEveryChange() {
    AppCoordinator& coordinator = harness_->make();
    QVERIFY(!AppSettings::shared().contains(AppCoordinator::kHasAcceptedTermsKey));  // reading does not write
    coordinator.setHasAcceptedTerms(true);
    QCOMPARE(AppSettings::shared().value(AppCoordinator::kHasAcceptedTermsKey).toBool(), true);
    coordinator.setHasAcceptedTerms(false);
    QCOMPARE(AppSettings::shared().value(AppCoordinator::kHasAcceptedTermsKey).toBool(), false);
  }

  void openPastWrapShowsItWithoutAContact() {
    AppCoordinator& coordinator = harness_->make();
    coordinator.setProcessingError(QStringLiteral("[X] y"));
    WrappedReport report = minimalReport();
    report.participantNames.them = QStringLiteral("Kim");
    coordinator.openPastWrap({QStringLiteral("/kim.json"), report, Date()});
    QCOMPARE(screenName(coordinator), QStringLiteral("results"));
    QCOMPARE(coordinator.screen().report()->participantNames.them, QStringLiteral("Kim"));
    QVERIFY(!coordinator.currentShareContactHandle());
    QVERIFY(!coordinator.processingError());
  }

  void copyAnalysisLog_data() {
    QTest::addColumn<QString>("runLog");
    QTest::addColumn<QString>("logged");
    QTest::addColumn<QStringList>("copied");
    QTest::newRow("the run's log") << "run line"
                                   << "other line" << QStringList{"run line"};
    QTest::newRow("the lines in memory") << ""
                                         << "memory line" << QStringList{"memory line"};
    QTest::newRow("nothing anywhere") << ""
                                      << "" << QStringList{};
  }
  void copyAnalysisLog() {
    QFETCH(QString, runLog);
    QFETCH(QString, logged);
    QFETCH(QStringList, copied);
    AppCoordinator& coordinator = harness_->make();
    AnalysisLogger::shared().clearLines();
    if (!logged.isEmpty()) AnalysisLogger::log(logged);
    if (!runLog.isEmpty()) {
      // A failed run leaves its log in analysisLog.
      harness_->fakes.reader->beforeFetch = [runLog](const QString&) {
        AnalysisLogger::log(runLog);
        throw std::runtime_error("x");
      };
      ContactSummary contact;
      contact.handle = QStringLiteral("h");
      coordinator.startProcessing(contact);
      QTRY_COMPARE(screenName(coordinator), QStringLiteral("contactPicker"));
      if (!logged.isEmpty()) AnalysisLogger::log(logged);
    }
    coordinator.copyAnalysisLog();
    QCOMPARE(harness_->fakes.copied.size(), copied.size());
    for (qsizetype i = 0; i < copied.size(); ++i) QVERIFY(harness_->fakes.copied[i].contains(copied[i]));
    if (!runLog.isEmpty()) QVERIFY(!harness_->fakes.copied.first().contains(logged));
  }

  // Two probes that answer in the other order: the one started last is kept,
  // whichever finishes last.
  void laterProbeWins_data() {
    QTest::addColumn<bool>("olderAnswersLast");
    QTest::newRow("older probe answers last") << true;
    QTest::newRow("older probe answers first") << false;
  }
  void laterProbeWins() {
    QFETCH(bool, olderAnswersLast);
    const PermissionSnapshot older{false, ContactAccessStatus::denied()};
    const PermissionSnapshot newer{true, ContactAccessStatus::authorized()};
    Gate olderGate;
    Gate newerGate;
    std::atomic<int> started{0};
    CoordinatorServices services = harness_->fakes.services();
    services.probePermissions = [&] {
      const bool first = started++ == 0;
      (first ? olderGate : newerGate).wait();
      return first ? older : newer;
    };
    AppCoordinator coordinator(services);
    coordinator.refreshPermissions();
    QTRY_COMPARE(started.load(), 1);
    coordinator.refreshPermissions();
    QTRY_COMPARE(started.load(), 2);
    QSignalSpy stored(&coordinator, &AppCoordinator::permissionsChanged);
    (olderAnswersLast ? newerGate : olderGate).open();
    if (olderAnswersLast) QTRY_COMPARE(coordinator.permissions(), newer);
    (olderAnswersLast ? olderGate : newerGate).open();
    QVERIFY(coordinator.waitForBackgroundWork(std::chrono::seconds(30)));
    QTRY_COMPARE(coordinator.permissions(), newer);
    QCoreApplication::processEvents();
    QCOMPARE(coordinator.permissions(), newer);
    QCOMPARE(stored.size(), 1);
  }

  void describeError_data() {
    QTest::addColumn<QString>("which");
    QTest::addColumn<QString>("text");
    QTest::newRow("ours") << "hosted"
                          << "type=HostedAnalysisError domain=MurmelaCore.HostedAnalysisError code=1 msg=" +
                                 HostedAnalysisError::httpFailed(502, "bad gateway").description();
    QTest::newRow("the standard library's") << "std"
                                            << "type=runtime_error domain=std code=0 msg=boom";
  }
  void describeError() {
    QFETCH(QString, which);
    QFETCH(QString, text);
    const QString described = which == "std"
                                  ? AppCoordinator::describeError(std::runtime_error("boom"))
                                  : AppCoordinator::describeError(HostedAnalysisError::httpFailed(502, "bad gateway"));
    QCOMPARE(described, text);
  }

 private:
  std::unique_ptr<CoordinatorHarness> harness_;
};

MURMELA_TEST(CoordinatorNavigationTest)
#include "CoordinatorNavigationTest.moc"
