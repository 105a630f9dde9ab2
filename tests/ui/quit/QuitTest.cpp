#include "app/AppCoordinator.h"
#include "privacy/PrivacyRuntimeManager.h"
#include "shell/MurmelaRootApp.h"
#include "shell/QuitSignals.h"
#include "shell/RootView.h"
#include "support/FakeNeighbours.h"
#include "support/FakePrivacyRuntime.h"
#include "support/SampleChat.h"
#include "support/ScriptedHttpServer.h"
#include "support/TestRegistry.h"
#include "testing/QuietDesktop.h"

#include <QDir>
#include <QElapsedTimer>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <cerrno>
#include <csignal>

using namespace murmela;
using namespace murmela::test;

namespace {

// An answer that does not come while a test runs.
ScriptedResponse never() { return ScriptedResponse::json(200, "{}").withDelay(120000); }

QStringList entriesOf(const std::optional<QString>& folder) {
  if (!folder) return {};
  return QDir(*folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

}  // namespace

// Quitting while an analysis waits for the backend: every way of quitting
// leaves the event loop at once, the requests in flight are aborted, the
// stopped run writes nothing and no report is saved.
class QuitTest : public QObject {
  Q_OBJECT

  std::unique_ptr<TestEnvironment> environment_;
  QString database_;

 private Q_SLOTS:
  void initTestCase() {
    environment_ = std::make_unique<TestEnvironment>();
    prepareAppTests();
    database_ = environment_->path(QStringLiteral("chat.db"));
    writeSampleChatDatabase(makeSampleChat({.messageCount = 1500}), database_);
  }

  void quittingDuringAnAnalysis_data() {
    QTest::addColumn<int>("signalNumber");  // 0: Ctrl+Q in the window
    QTest::newRow("Ctrl+Q") << 0;
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGHUP") << SIGHUP;
  }
  void quittingDuringAnAnalysis() {
    QFETCH(int, signalNumber);
    ScriptedHttpServer server;
    server.setFallback([](const RecordedRequest&) { return never(); });
    // Caught even where the test runner was started ignoring the signal.
    void (*before)(int) = signalNumber != 0 ? ::signal(signalNumber, SIG_DFL) : SIG_DFL;
    const auto restore = qScopeGuard([&] {
      if (signalNumber != 0) ::signal(signalNumber, before);
    });
    QuitSignals quitSignals;
    QVERIFY(quitSignals.isActive());
    QSignalSpy received(&quitSignals, &QuitSignals::received);

    MurmelaRootApp app({"murmela", "-messagesDB", database_}, quietDesktop(server.baseUrl()));
    AppCoordinator& coordinator = app.coordinator();
    app.show();
    QVERIFY(QTest::qWaitForWindowActive(&app.window()));
    coordinator.loadContacts();
    QTRY_VERIFY(!coordinator.contacts().isEmpty());
    coordinator.startProcessing(coordinator.contacts().first());
    // The install event (posted at boot) and the run both wait for their
    // registration.
    QTRY_COMPARE_WITH_TIMEOUT(server.requests("/v1/register").size(), 2, 30000);
    QCOMPARE(screenName(coordinator), QStringLiteral("processing"));

    QElapsedTimer clock;
    QTimer::singleShot(0, &app.window(), [&] {
      clock.start();
      if (signalNumber == 0) {
        QTest::keyClick(&app.window(), Qt::Key_Q, Qt::ControlModifier);
      } else {
        ::raise(signalNumber);
      }
    });
    QTimer watchdog;  // a quit that never comes fails the test instead of hanging it
    watchdog.setSingleShot(true);
    connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    watchdog.start(20000);
    const int code = QCoreApplication::exec();
    const qint64 took = clock.elapsed();

    QCOMPARE(code, 0);
    QVERIFY2(took < 5000, qPrintable(QString::number(took)));
    if (signalNumber != 0) {
      QCOMPARE(received.size(), 1);
      QCOMPARE(received.first().first().toInt(), signalNumber);
    }
    // Both exchanges were aborted, not left to their time-outs.
    QVERIFY(server.waitForAbandonedCount(2, 3000));
    QCOMPARE(server.requestCount(), 2);
    // The stopped run did not come back to the contact picker, and saved nothing.
    QCOMPARE(screenName(coordinator), QStringLiteral("processing"));
    QCOMPARE(entriesOf(coordinator.savedReportLibrary().reportsDir()), QStringList());
  }

  // The handlers are the application's only while it catches the signals:
  // a signal the process was started ignoring stays ignored, and what was
  // there before comes back afterwards.
  void signalDispositions_data() {
    QTest::addColumn<bool>("ignoredBefore");
    QTest::newRow("a handler of its own before") << false;
    QTest::newRow("ignored before") << true;
  }
  void signalDispositions() {
    QFETCH(bool, ignoredBefore);
    const auto own = [](int) {};
    void (*before)(int) = ignoredBefore ? SIG_IGN : static_cast<void (*)(int)>(own);
    const auto current = [] {
      struct sigaction action {};
      ::sigaction(SIGHUP, nullptr, &action);
      return action.sa_handler;
    };
    void (*original)(int) = ::signal(SIGHUP, before);
    const auto restore = qScopeGuard([&] { ::signal(SIGHUP, original); });
    {
      QuitSignals quitSignals({SIGHUP});
      QVERIFY(quitSignals.isActive());
      QCOMPARE(current() == before, ignoredBefore);
    }
    QVERIFY(current() == before);
  }

  // In hybrid mode the run's anonymizer is a child process: quitting ends
  // it within the shutdown's bound.
  void quittingEndsTheAnonymizer() {
    const QString pidFile = environment_->path(QStringLiteral("anonymizer.pid"));
    const QString runtime = *PrivacyRuntimeManager().runtimeBaseDirectory() + QStringLiteral("/current");
    FakePrivacyRuntime::Options options;
    options.pythonScript = FakePrivacyRuntime::shellScript(("echo $$ > '" + pidFile + "'; exec sleep 60").toUtf8());
    FakePrivacyRuntime::writeTree(runtime, options);
    const auto removeRuntime = qScopeGuard([&] { QDir(runtime).removeRecursively(); });  // also when a check fails

    ScriptedHttpServer server;
    server.setDefault("/v1/register", ScriptedResponse::json(200, R"({"auth_token":"t"})"));
    server.setFallback([](const RecordedRequest&) { return never(); });
    DesktopIntegration desktop;
    desktop.backendBaseUrl = server.baseUrl();
    CoordinatorServices services = makeProductionServices({"murmela", "-messagesDB", database_}, desktop);
    services.detectHybridCapability = [] { return HybridPrivacyCapability::available(QStringLiteral("3.12.4")); };
    AppCoordinator coordinator(std::move(services));
    QCOMPARE(coordinator.intelligenceChoice(), IntelligenceChoice::hybrid);

    coordinator.loadContacts();
    QTRY_VERIFY(!coordinator.contacts().isEmpty());
    coordinator.startProcessing(coordinator.contacts().first());
    qint64 pid = 0;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
          QFile file(pidFile);
          pid = file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toLongLong() : 0;
          return pid > 0;
        }(),
        30000);
    QCOMPARE(::kill(static_cast<pid_t>(pid), 0), 0);

    QVERIFY(coordinator.shutdown());
    errno = 0;
    QCOMPARE(::kill(static_cast<pid_t>(pid), 0), -1);
    QCOMPARE(errno, ESRCH);
    QCOMPARE(entriesOf(coordinator.savedReportLibrary().reportsDir()), QStringList());
  }
};

MURMELA_TEST(QuitTest)
#include "QuitTest.moc"
