// The processing run: progress and estimates, its three endings, runs that
// were stopped or replaced, the photo count and a failing save.
#include "support/FakeNeighbours.h"
#include "support/FullFileSystem.h"
#include "app/AppCoordinator.h"
#include "common/AnalysisLogger.h"
#include "common/AppSettings.h"
#include "common/MurmelaError.h"
#include "data/WrappedDataError.h"
#include "hosted/HostedAnalysisError.h"
#include "support/ReportSamples.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

#include <cmath>
#include <condition_variable>
#include <memory>
#include <mutex>

using namespace murmela;
using namespace murmela::test;

Q_DECLARE_METATYPE(murmela::IntelligenceChoice)

namespace {

constexpr auto kReading = AnalysisStage::readingMessages;
constexpr auto kAggregating = AnalysisStage::aggregating;

ContactSummary contact(const QString& handle, std::optional<QString> name = QStringLiteral("Sam"), qint64 count = 42) {
  ContactSummary summary;
  summary.handle = handle;
  summary.displayName = std::move(name);
  summary.messageCount = count;
  summary.firstMessage = Date::fromUnix(1600000000.0);
  summary.lastMessage = Date::fromUnix(1600086400.0);
  return summary;
}

// Waits for the run's stop, as a request in flight that the stop aborts does.
void waitForStop(const std::stop_token& stop) {
  std::mutex lock;
  std::condition_variable_any never;
  std::unique_lock guard(lock);
  never.wait(guard, stop, [] { return false; });
}

QString describe(const ProcessingProgress& p) {
  return QStringLiteral("%1 %2 %3")
      .arg(rawValue(p.stage))
      .arg(p.fraction)
      .arg(p.estimatedRemainingSeconds ? QString::number(*p.estimatedRemainingSeconds, 'f', 4) : QStringLiteral("-"));
}

}  // namespace

class ProcessingRunTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { prepareAppTests(); }
  void init() { harness_ = std::make_unique<CoordinatorHarness>(); }
  void cleanup() { harness_.reset(); }

  // Every progress report the processing screen sees, in order.
  void progressAndEstimates_data() {
    QTest::addColumn<int>("messages");
    QTest::addColumn<int>("length");
    QTest::addColumn<IntelligenceChoice>("choice");
    QTest::addColumn<double>("base");
    QTest::newRow("100,000 characters, cloud") << 100 << 1000 << IntelligenceChoice::cloud << 21.95;
    QTest::newRow("100,000 characters, hybrid") << 100 << 1000 << IntelligenceChoice::hybrid << 35.8;
    QTest::newRow("empty, cloud") << 0 << 0 << IntelligenceChoice::cloud << 16.0;
    QTest::newRow("empty, hybrid") << 0 << 0 << IntelligenceChoice::hybrid << 24.0;
    // 57,500 characters: the anonymization is still at its floor, the analysis is not.
    QTest::newRow("between the floors, hybrid") << 50 << 1150 << IntelligenceChoice::hybrid << 8.0 + 8.02125 + 8.0;
  }
  void progressAndEstimates() {
    QFETCH(int, messages);
    QFETCH(int, length);
    QFETCH(IntelligenceChoice, choice);
    QFETCH(double, base);
    FakeNeighbours& fakes = harness_->fakes;
    for (int i = 0; i < messages; ++i) fakes.reader->messages.append(textMessage(i + 1, length, i % 2 == 0));
    const QList<ProcessingProgress> hosted{{AnalysisStage::anonymizing, 0.5, 30.0},
                                           {AnalysisStage::analyzingTone, 0.75, 12.5},
                                           {AnalysisStage::generatingSummary, 0.92, 8.0}};
    fakes.hostedProgress = hosted;
    AppCoordinator& coordinator = harness_->make();
    coordinator.selectIntelligence(choice);
    QList<ProcessingProgress> seen;
    connect(&coordinator, &AppCoordinator::processingProgressChanged, this,
            [&] { seen.append(coordinator.processingProgress()); });

    coordinator.startProcessing(contact(QStringLiteral("+15550001")));
    QTRY_COMPARE(screenName(coordinator), QStringLiteral("results"));

    const QList<ProcessingProgress> expected{{kReading, 0.0, std::nullopt},
                                             {kReading, 0.05, std::nullopt},
                                             {kAggregating, 0.25, base + 10.0 * 0.2 / 0.45},
                                             {kAggregating, 0.45, base},
                                             {kAggregating, 0.45, base},
                                             {kAggregating, 0.45, base},
                                             hosted[0],
                                             hosted[1],
                                             hosted[2]};
    QStringList seenText, expectedText;
    for (const ProcessingProgress& p : seen) seenText.append(describe(p));
    for (const ProcessingProgress& p : expected) expectedText.append(describe(p));
    QCOMPARE(seenText, expectedText);
    if (base == 21.95) QCOMPARE(QString::number(*seen[2].estimatedRemainingSeconds, 'f', 2), QStringLiteral("26.39"));
    QCOMPARE(fakes.hostedWorkflow, choice == IntelligenceChoice::hybrid ? HostedAnalysisWorkflow::hybridPrivacy
                                                                        : HostedAnalysisWorkflow::fullClaude);
  }

  // The picker's list and the run read through one reading of the database,
  // which ends once the run has read its conversation.
  void thePickerAndTheRunShareOneReading() {
    FakeNeighbours& fakes = harness_->fakes;
    fakes.reader->summaries = {contact(QStringLiteral("+15550001"))};
    fakes.reader->messages = {textMessage(1, 5)};
    Gate hosted;
    fakes.beforeHosted = [&hosted](std::stop_token) { hosted.wait(); };
    AppCoordinator& coordinator = harness_->make();
    coordinator.setScreen(AppScreen::contactPicker());
    coordinator.loadContacts();
    QTRY_COMPARE(coordinator.contacts().size(), 1);
    coordinator.startProcessing(coordinator.contacts().first());
    QTRY_COMPARE(fakes.reader->readingsLeft.load(), 0);  // read: the analysis goes on without it
    hosted.open();
    QTRY_COMPARE(screenName(coordinator), QStringLiteral("results"));
    QCOMPARE(fakes.reader->readingsBegun.load(), 1);
  }

  // Hybrid chosen, but the machine can no longer run it: the run goes on in cloud.
  void hybridThatCannotRunGoesOnInCloud() {
    FakeNeighbours& fakes = harness_->fakes;
    fakes.capabilities = {HybridPrivacyCapability::available("0.1.1"), HybridPrivacyCapability::pythonMissing()};
    AppCoordinator& coordinator = harness_->make();
    QCOMPARE(coordinator.intelligenceChoice(), IntelligenceChoice::hybrid);
    coordinator.startProcessing(contact(QStringLiteral("+15550001")));
    QCOMPARE(coordinator.intelligenceChoice(), IntelligenceChoice::cloud);
    QCOMPARE(screenName(coordinator), QStringLiteral("processing"));
    QTRY_COMPARE(screenName(coordinator), QStringLiteral("results"));
    QCOMPARE(fakes.hostedWorkflow, HostedAnalysisWorkflow::fullClaude);
  }

  void namesOfThePartner_data() {
    QTest::addColumn<QString>("name");  // "<none>" for an absent name
    QTest::addColumn<QString>("shown");
    QTest::newRow("confirmed name") << "Sam Lee"
                                    << "Sam Lee";
    QTest::newRow("empty name") << ""
                                << "+15550001";
    QTest::newRow("no name") << "<none>"
                             << "+15550001";
  }
  void namesOfThePartner() {
    QFETCH(QString, name);
    QFETCH(QString, shown);
    harness_->fakes.reader->messages = {textMessage(1, 5), textMessage(2, 5, true)};
    AppCoordinator& coordinator = harness_->make();
    const std::optional<QString> given = name == "<none>" ? std::nullopt : std::optional<QString>(name);
    coordinator.startProcessing(contact(QStringLiteral("+15550001"), given, 42));
    QCOMPARE(coordinator.processingDisplayName(), shown);
    QCOMPARE(coordinator.lastProcessedMessageCount(), 42);  // the list's count, not the fetched one
    QTRY_COMPARE(screenName(coordinator), QStringLiteral("results"));
    QCOMPARE(coordinator.screen().report()->participantNames.them, shown);
    QCOMPARE(coordinator.lastProcessedMessageCount(), 42);
  }

  void successIsSavedShownAndCounted() {
    FakeNeighbours& fakes = harness_->fakes;
    fakes.reader->messages = {textMessage(1, 5), textMessage(2, 7, true), textMessage(3, 9)};
    AppCoordinator& coordinator = harness_->make();
    coordinator.setProcessingError(QStringLiteral("[Old] failure"));
    coordinator.startProcessing(contact(QStringLiteral("+15550001")));
    QVERIFY(!coordinator.processingError());
    QTRY_COMPARE(screenName(coordinator), QStringLiteral("results"));
    QCOMPARE(coordinator.currentShareContactHandle(), std::optional<QString>(QStringLiteral("+15550001")));
    QVERIFY(AppSettings::shared().value(AppCoordinator::kHasCompletedOnboardingKey).toBool());
    QCOMPARE(coordinator.pastWraps().size(), 1);
    QCOMPARE(coordinator.pastWraps().first().report.totalMessages, 3);
    QCOMPARE(coordinator.screen().report()->totalMessages, 3);
    QVERIFY(!coordinator.processingError());
    QCOMPARE(coordinator.analysisLog(), AnalysisLogger::shared().joinedLines());
    QVERIFY(coordinator.analysisLog().contains(QStringLiteral("Intelligence provider configured: none")));
    QTRY_COMPARE(fakes.analytics->created().size(), 1);
    QCOMPARE(fakes.analytics->created().first().workflow, HostedAnalysisWorkflow::hybridPrivacy);
    QCOMPARE(fakes.analytics->created().first().totalMessages, 3);
  }

  void failure_data() {
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("error");
    QTest::newRow("reading") << "reading"
                             << "[WrappedDataError] " + WrappedDataError::databaseOpenFailed("locked").description();
    QTest::newRow("hosted") << "hosted"
                            << "[HostedAnalysisError] " +
                                   HostedAnalysisError::httpFailed(502, "bad gateway").description();
  }
  void failure() {
    QFETCH(QString, where);
    QFETCH(QString, error);
    FakeNeighbours& fakes = harness_->fakes;
    fakes.reader->messages = {textMessage(1, 5)};
    if (where == "reading")
      fakes.reader->beforeFetch = [](const QString&) { throw WrappedDataError::databaseOpenFailed("locked"); };
    if (where == "hosted")
      fakes.beforeHosted = [](std::stop_token) { throw HostedAnalysisError::httpFailed(502, "bad gateway"); };
    AppCoordinator& coordinator = harness_->make();
    coordinator.startProcessing(contact(QStringLiteral("+15550001")));
    QTRY_COMPARE(screenName(coordinator), QStringLiteral("contactPicker"));
    QCOMPARE(coordinator.processingError(), std::optional<QString>(error));
    const QString last = coordinator.analysisLog().split(QLatin1Char('\n')).last();
    static const QRegularExpression line(QStringLiteral(
        R"(^\[\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z\] Pipeline FAILED \(real chat path\) — type=\S+ domain=\S+ code=\d+ msg=.+$)"));
    QVERIFY2(line.match(last).hasMatch(), qPrintable(last));
    QVERIFY(last.endsWith(error.mid(error.indexOf(QStringLiteral("] ")) + 2)));
    QVERIFY(coordinator.pastWraps().isEmpty());
    QVERIFY(!AppSettings::shared().contains(AppCoordinator::kHasCompletedOnboardingKey));
    QVERIFY(!coordinator.currentShareContactHandle());
  }

  // A cancellation that comes from the work itself, with no stop requested.
  void cancellationFromWithin() {
    FakeNeighbours& fakes = harness_->fakes;
    fakes.reader->messages = {textMessage(1, 5)};
    fakes.beforePipeline = [](std::stop_token) { throw CancellationError(); };
    AppCoordinator& coordinator = harness_->make();
    coordinator.startProcessing(contact(QStringLiteral("+15550001")));
    QTRY_COMPARE(screenName(coordinator), QStringLiteral("contactPicker"));
    QVERIFY(!coordinator.processingError());
    QVERIFY(!coordinator.analysisLog().contains(QStringLiteral("Pipeline FAILED")));
    QCOMPARE(fakes.hostedRuns.load(), 0);
  }

  // A run that the user left (home, a new report, a reset, another run)
  // writes nothing, wherever it was and however it ends.
  void stoppedRunWritesNothing_data() {
    QTest::addColumn<QString>("stoppedBy");
    QTest::addColumn<QString>("heldIn");
    QTest::addColumn<QString>("thenIt");  // "honours the stop", "fails", "finishes"
    QTest::newRow("home, while analysing") << "home"
                                           << "pipeline"
                                           << "honours the stop";
    QTest::newRow("home, in the hosted step") << "home"
                                              << "hosted"
                                              << "honours the stop";
    QTest::newRow("new report, while reading") << "new report"
                                               << "reading"
                                               << "finishes";
    QTest::newRow("reset, in the hosted step") << "reset"
                                               << "hosted"
                                               << "fails";
    QTest::newRow("another run, while reading") << "another run"
                                                << "reading"
                                                << "finishes";
    QTest::newRow("another run, failing late") << "another run"
                                               << "hosted"
                                               << "fails";
    QTest::newRow("another run, finishing late") << "another run"
                                                 << "hosted"
                                                 << "finishes";
  }
  void stoppedRunWritesNothing() {
    QFETCH(QString, stoppedBy);
    QFETCH(QString, heldIn);
    QFETCH(QString, thenIt);
    FakeNeighbours& fakes = harness_->fakes;
    fakes.reader->messages = {textMessage(1, 5), textMessage(2, 6, true)};
    Gate release;
    std::atomic<bool> held{false};
    const auto hold = [&](std::stop_token stop) {
      held = true;
      if (thenIt == "honours the stop") {
        waitForStop(stop);
        throw CancellationError();
      }
      release.wait();
      if (thenIt == "fails") throw HostedAnalysisError::httpFailed(500, "late");
    };
    const QString first = QStringLiteral("+1555000A");
    if (heldIn == "reading")
      fakes.reader->beforeFetch = [&](const QString& handle) {
        if (handle == first) hold({});
      };
    std::atomic<int> hostedCalls{0};
    if (heldIn == "hosted")
      fakes.beforeHosted = [&](std::stop_token stop) {
        if (hostedCalls++ == 0) hold(stop);
      };
    std::atomic<int> pipelineCalls{0};
    if (heldIn == "pipeline")
      fakes.beforePipeline = [&](std::stop_token stop) {
        if (pipelineCalls++ == 0) hold(stop);
      };
    AppCoordinator& coordinator = harness_->make();
    coordinator.startProcessing(contact(first, QStringLiteral("First")));
    QTRY_VERIFY(held);

    if (stoppedBy == "home") coordinator.goHome();
    if (stoppedBy == "new report") coordinator.beginNewMurmelaFromHome();
    if (stoppedBy == "reset") coordinator.resetAppToFirstRun();
    if (stoppedBy == "another run") {
      coordinator.startProcessing(contact(QStringLiteral("+1555000B"), QStringLiteral("Second")));
      QTRY_COMPARE(screenName(coordinator), QStringLiteral("results"));
      // The second run's creation is recorded by a worker after its results show.
      QTRY_COMPARE(fakes.analytics->created().size(), 1);
    }
    QTRY_VERIFY(screenName(coordinator) != QStringLiteral("processing"));
    const QString screen = screenName(coordinator);
    const QString log = coordinator.analysisLog();
    const ProcessingProgress progress = coordinator.processingProgress();
    const qsizetype wraps = coordinator.pastWraps().size();
    const int created = fakes.analytics->created().size();

    AnalysisLogger::shared().clearLines();
    release.open();
    QVERIFY(coordinator.waitForBackgroundWork(std::chrono::seconds(30)));
    QCoreApplication::processEvents();
    QCOMPARE(screenName(coordinator), screen);
    QCOMPARE(coordinator.analysisLog(), log);
    QCOMPARE(coordinator.processingProgress(), progress);
    QVERIFY(!coordinator.processingError());
    QCOMPARE(coordinator.pastWraps().size(), wraps);
    QCOMPARE(SavedReportLibrary().load().size(), stoppedBy == "another run" ? 1 : 0);
    QCOMPARE(fakes.analytics->created().size(), created);
    QVERIFY(!AnalysisLogger::shared().joinedLines().contains(QStringLiteral("Pipeline FAILED")));
    if (stoppedBy == "another run")
      QCOMPARE(coordinator.screen().report()->participantNames.them, QStringLiteral("Second"));
  }

  // The photos of the report are the database's attachment count; a count
  // that fails is none, whatever the messages say.
  void photoCount_data() {
    QTest::addColumn<bool>("countFails");
    QTest::addColumn<qint64>("photos");
    QTest::newRow("the database count wins") << false << qint64(7);
    QTest::newRow("a failing count is none") << true << qint64(0);
  }
  void photoCount() {
    QFETCH(bool, countFails);
    QFETCH(qint64, photos);
    FakeNeighbours& fakes = harness_->fakes;
    for (int i = 1; i <= 4; ++i) {
      Message message = textMessage(i, 5, i % 2 == 0);
      message.hasPhoto = i != 4;  // three messages say they carry a photo
      fakes.reader->messages.append(message);
    }
    fakes.reader->attachments = 7;
    fakes.reader->countFails = countFails;
    AppCoordinator& coordinator = harness_->make();
    coordinator.startProcessing(contact(QStringLiteral("+15550001")));
    QTRY_COMPARE(screenName(coordinator), QStringLiteral("results"));
    QCOMPARE(fakes.hostedPhotos, photos);
    QCOMPARE(coordinator.screen().report()->photosShared, photos);
    QCOMPARE(coordinator.pastWraps().first().report.photosShared, photos);
    QVERIFY(!coordinator.processingError());
  }

  void failingSaveStillShowsTheReport_data() {
    QTest::addColumn<bool>("fullDisk");
    QTest::newRow("reports folder is a file") << false;
    QTest::newRow("full file system") << true;
  }
  void failingSaveStillShowsTheReport() {
    QFETCH(bool, fullDisk);
    FakeNeighbours& fakes = harness_->fakes;
    fakes.reader->messages = {textMessage(1, 5)};
    const QString blocked = harness_->environment.path(fullDisk ? "full-reports" : "reports-is-a-file");
    QFile file(blocked);
    QVERIFY(fullDisk ? QDir().mkpath(blocked) : file.open(QIODevice::WriteOnly));
    file.close();
    std::optional<FullFileSystem> disk;
    if (fullDisk) disk.emplace(blocked).fill();
    fakes.reportsDir = blocked;
    AppCoordinator& coordinator = harness_->make();
    coordinator.startProcessing(contact(QStringLiteral("+15550001")));
    QTRY_COMPARE(screenName(coordinator), QStringLiteral("results"));
    QVERIFY(coordinator.processingError());
    QVERIFY2(coordinator.processingError()->startsWith(
                 QStringLiteral("Saved report could not be added to your library: The file \"") + blocked),
             qPrintable(*coordinator.processingError()));
    QVERIFY(coordinator.pastWraps().isEmpty());
    if (fullDisk) QCOMPARE(QDir(blocked).entryList(QDir::Files), QStringList());  // no cut report
    QVERIFY(AppSettings::shared().value(AppCoordinator::kHasCompletedOnboardingKey).toBool());
    QCOMPARE(coordinator.currentShareContactHandle(), std::optional<QString>(QStringLiteral("+15550001")));
  }

  // Quitting stops the run: a step that honours the stop lets the workers
  // end; one that does not is left behind instead of holding the quit.
  void shutdownDuringARun() {
    FakeNeighbours& fakes = harness_->fakes;
    fakes.reader->messages = {textMessage(1, 5)};
    std::atomic<bool> inHosted{false};
    std::atomic<bool> sawStop{false};
    fakes.beforeHosted = [&](std::stop_token stop) {
      inHosted = true;
      waitForStop(stop);
      sawStop = true;
      throw CancellationError();
    };
    AppCoordinator& coordinator = harness_->make();
    coordinator.startProcessing(contact(QStringLiteral("+15550001")));
    QTRY_VERIFY(inHosted);
    QVERIFY(coordinator.shutdown(std::chrono::seconds(30)));
    QVERIFY(sawStop);
    QCOMPARE(screenName(coordinator), QStringLiteral("processing"));
  }

  void shutdownLeavesAHungStepBehind() {
    // Outlives the test: the abandoned worker still uses it once released.
    static auto* const fakes = new FakeNeighbours();
    static Gate stuck;
    std::atomic<bool>* const inHosted = new std::atomic<bool>(false);
    fakes->reader->messages = {textMessage(1, 5)};
    fakes->beforeHosted = [inHosted](std::stop_token) {
      *inHosted = true;
      stuck.wait();  // ignores the stop
    };
    {
      AppCoordinator coordinator(fakes->services());
      coordinator.startProcessing(contact(QStringLiteral("+15550001")));
      QTRY_VERIFY(*inHosted);
      QVERIFY(!coordinator.shutdown(std::chrono::milliseconds(0)));
    }  // destroying the coordinator does not wait either
    stuck.open();
  }

 private:
  std::unique_ptr<CoordinatorHarness> harness_;
};

MURMELA_TEST(ProcessingRunTest)
#include "ProcessingRunTest.moc"
