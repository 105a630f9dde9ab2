#include "PrivacyTestSupport.h"

#include "common/AnalysisLogger.h"
#include "common/FixedDecimal.h"
#include "privacy/PrivacyFilterError.h"
#include "privacy/PrivacyFilterSetup.h"
#include "support/FakePrivacyRuntime.h"
#include "support/ScriptedHttpServer.h"
#include "support/TestEnvironment.h"
#include "support/TestRegistry.h"

#include <QFile>
#include <QNetworkProxy>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace murmela;
using namespace murmela::test;

namespace {

using Kind = PrivacyFilterPhase::Kind;

const QByteArray kPath = QByteArray("/runtime/") + PrivacyRuntimeManager::kArchiveFileName;

QString phaseName(const PrivacyFilterPhase& phase) {
  switch (phase.kind) {
    case Kind::idle:
      return "idle";
    case Kind::verifying:
      return "verifying";
    case Kind::installingRuntime:
      return "installing";
    case Kind::creatingVenv:
      return "creatingVenv";
    case Kind::installingPackages:
      return "installingPackages";
    case Kind::downloadingFilter:
      return "downloadingFilter";
    case Kind::testingRedaction:
      return "testing";
    case Kind::ready:
      return "ready";
    case Kind::failed:
      return "failed";
  }
  return "?";
}

QString stepStates(const QList<PrivacyFilterSubStep>& steps) {
  QStringList states;
  for (const PrivacyFilterSubStep& step : steps) {
    states.append(step.state == PrivacyFilterSubStep::State::pending  ? "pending"
                  : step.state == PrivacyFilterSubStep::State::active ? "active"
                                                                      : "done");
  }
  return states.join(',');
}

// Records the setup's published state: one line each time the remaining
// time is assigned (the last of the four values every step sets), and the
// checklist states each time it changes.
struct Recorder {
  QStringList states;
  QStringList steps;

  explicit Recorder(PrivacyFilterSetup& setup) {
    QObject::connect(&setup, &PrivacyFilterSetup::estimatedRemainingSecondsChanged, [this, &setup] {
      const auto remaining = setup.estimatedRemainingSeconds();
      states.append(phaseName(setup.phase()) + '|' + fixedDecimal(setup.progress(), 3) + '|' +
                    setup.detail().value_or("-") + '|' + (remaining ? fixedDecimal(*remaining, 1) : QString("-")));
    });
    QObject::connect(&setup, &PrivacyFilterSetup::subStepsChanged,
                     [this, &setup] { steps.append(stepStates(setup.subSteps())); });
  }
};

struct SetupAnswer {
  int calls = 0;
  std::exception_ptr error;
  QString errorText() const { return PrivacyRuntimeError::describe(error); }
};

QStringList setupLogLines() {
  QStringList lines;
  for (const QString& line : AnalysisLogger::shared().lines()) {
    const qsizetype at = line.indexOf("PrivacyFilterSetup: ");
    if (at >= 0) lines.append(line.mid(at));
  }
  return lines;
}

}  // namespace

// The setup driver, end to end against a fake runtime archive: its phases,
// progress, checklist, details and remaining times, failures and reset.
class PrivacyFilterSetupTest : public QObject {
  Q_OBJECT

  std::unique_ptr<TestEnvironment> environment_;
  std::unique_ptr<QTemporaryDir> scratch_;
  std::unique_ptr<ScriptedHttpServer> server_;

  QString base() const { return environment_->appFolder() + "/privacy-runtime"; }

  PrivacyFilterSetup::Options options(const char* machine = "arm64") {
    PrivacyFilterSetup::Options options;
    const QString name = QString::fromLatin1(machine);
    options.hostProbe = [name]() -> std::optional<QString> { return name; };
    PrivacyRuntimeManager::Options manager;
    manager.downloadBase = server_->baseUrl() + "/runtime";
    options.manager = PrivacyRuntimeManager(manager);
    return options;
  }

  QString localArchive(const FakePrivacyRuntime::Options& runtime = {}) {
    const QString archive = scratch_->filePath(PrivacyRuntimeManager::kArchiveFileName);
    FakePrivacyRuntime::writeArchive(archive, runtime);
    qputenv(PrivacyRuntimeManager::kArchiveEnvironmentVariable, archive.toUtf8());
    return archive;
  }

  QByteArray archiveBytes(const FakePrivacyRuntime::Options& runtime = {}) {
    const QString archive = scratch_->filePath("served.tar.gz");
    FakePrivacyRuntime::writeArchive(archive, runtime);
    QFile file(archive);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  static std::shared_ptr<SetupAnswer> start(PrivacyFilterSetup& setup) {
    auto answer = std::make_shared<SetupAnswer>();
    setup.start([answer](std::exception_ptr error) {
      ++answer->calls;
      answer->error = error;
    });
    return answer;
  }

  static void finish(const std::shared_ptr<SetupAnswer>& answer) {
    QVERIFY(waitUntil([&] { return answer->calls > 0; }, 20000));
    waitUntil([] { return false; }, 50);
    QCOMPARE(answer->calls, 1);
  }

 private Q_SLOTS:
  void initTestCase() { QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy); }

  void init() {
    environment_ = std::make_unique<TestEnvironment>();
    scratch_ = std::make_unique<QTemporaryDir>();
    server_ = std::make_unique<ScriptedHttpServer>();
    qunsetenv(PrivacyRuntimeManager::kArchiveEnvironmentVariable);
    AnalysisLogger::shared().clearLines();
  }

  void cleanup() {
    qunsetenv(PrivacyRuntimeManager::kArchiveEnvironmentVariable);
    server_.reset();
    scratch_.reset();
    environment_.reset();
  }

  void firstState() {
    PrivacyFilterSetup setup(options());
    QCOMPARE(setup.phase(), PrivacyFilterPhase{});
    QCOMPARE(setup.progress(), 0.0);
    QCOMPARE(setup.subSteps(), PrivacyFilterSubStep::initialList());
    QCOMPARE(setup.subSteps().value(0).label, QStringLiteral("Checking Apple Silicon"));
    QCOMPARE(setup.subSteps().value(1).label, QStringLiteral("Installing Murmela privacy filter"));
    QCOMPARE(setup.subSteps().value(2).label, QStringLiteral("Testing privacy filter"));
    QVERIFY(!setup.detail());
    QVERIFY(!setup.estimatedRemainingSeconds());
    // The same values through the property system, which the screen observes.
    QCOMPARE(setup.property("progress").toDouble(), 0.0);
    QCOMPARE(setup.property("phase").value<PrivacyFilterPhase>(), PrivacyFilterPhase{});
    QCOMPARE(setup.property("detail").value<std::optional<QString>>(), std::nullopt);
    QCOMPARE(setup.property("subSteps").value<QList<PrivacyFilterSubStep>>().size(), 3);
  }

  void smokeTestScriptIsExact() {
    const QString script = PrivacyFilterSetup::smokeTestScript();
    QCOMPARE(script.toUtf8().size(), 193);
    QCOMPARE(script.split('\n').size(), 6);
    QVERIFY(script.endsWith("print(\"ok\")"));
    QCOMPARE(script.split('\n').value(2), QStringLiteral("model_path = os.environ[\"MURMELA_PRIVACY_MODEL_PATH\"]"));
  }

  void intelHostFails() {
    PrivacyFilterSetup setup(options("x86_64"));
    Recorder recorder(setup);
    const auto answer = start(setup);
    finish(answer);
    const QString message = "The privacy filter requires an Apple Silicon Mac.";
    QCOMPARE(recorder.states, (QStringList{"idle|0.000|-|-", "verifying|0.040|-|-", "failed|0.040|" + message + "|-"}));
    QCOMPARE(setup.phase(), PrivacyFilterPhase::failed(message));
    QCOMPARE(stepStates(setup.subSteps()), QStringLiteral("active,pending,pending"));
    QCOMPARE(answer->errorText(), message);
    try {
      std::rethrow_exception(answer->error);
    } catch (const PrivacyFilterError& error) {
      QCOMPARE(error.kind(), PrivacyFilterError::Kind::notAppleSilicon);
    }
    QVERIFY(setupLogLines().isEmpty());  // nothing is logged for a failure
  }

  void localArchiveRoad() {
    const QString archive = localArchive();
    PrivacyFilterSetup setup(options());
    Recorder recorder(setup);
    const auto answer = start(setup);
    finish(answer);
    QVERIFY2(!answer->error, qPrintable(answer->errorText()));
    QCOMPARE(recorder.states, (QStringList{
                                  "idle|0.000|-|-",
                                  "verifying|0.040|-|-",
                                  "installing|0.180|Locating Murmela privacy runtime|-",
                                  "installing|0.320|Installing MurmelaPrivacyRuntime-0.1.1-macos-arm64.tar.gz|30.0",
                                  "installing|0.720|Installed 0.1.1 \u00B7 Python 3.12.4|30.0",
                                  "testing|0.900|Loading filter into memory|20.0",
                                  "testing|1.000|Filter ready|-",
                                  "ready|1.000|-|-",
                              }));
    QCOMPARE(recorder.steps,
             (QStringList{"pending,pending,pending", "active,pending,pending", "done,pending,pending",
                          "done,active,pending", "done,done,pending", "done,done,active", "done,done,done"}));
    QCOMPARE(setupLogLines(), (QStringList{
                                  "PrivacyFilterSetup: host OK arm64",
                                  "PrivacyFilterSetup: installing runtime from local archive=" + archive,
                                  "PrivacyFilterSetup: installed runtime root=" + base() + "/current",
                                  "PrivacyFilterSetup: ready",
                              }));
    QCOMPARE(server_->requestCount(), 0);
    QVERIFY(QFileInfo(base() + "/current/manifest.json").isFile());
  }

  void downloadRoad_data() {
    QTest::addColumn<bool>("withLength");
    QTest::newRow("with Content-Length") << true;
    QTest::newRow("without length") << false;
  }

  void downloadRoad() {
    QFETCH(bool, withLength);
    const QByteArray body = archiveBytes();
    ScriptedResponse response = ScriptedResponse::text(200, body);
    response.chunkSize = 128;
    response.chunkIntervalMs = 20;
    response.chunkedWithoutLength = !withLength;
    server_->enqueue(kPath, response);

    PrivacyFilterSetup setup(options());
    Recorder recorder(setup);
    const auto answer = start(setup);
    finish(answer);
    QVERIFY2(!answer->error, qPrintable(answer->errorText()));
    QCOMPARE(server_->requests(kPath).size(), 1);

    const QStringList& states = recorder.states;
    QVERIFY(states.size() > 8);
    QCOMPARE(states.mid(0, 4), (QStringList{"idle|0.000|-|-", "verifying|0.040|-|-",
                                            "installing|0.180|Locating Murmela privacy runtime|-",
                                            "installing|0.320|Starting download|-"}));
    QCOMPARE(states.mid(states.size() - 4), (QStringList{"installing|0.720|Installed 0.1.1 \u00B7 Python 3.12.4|30.0",
                                                         "testing|0.900|Loading filter into memory|20.0",
                                                         "testing|1.000|Filter ready|-", "ready|1.000|-|-"}));
    const QStringList downloading = states.mid(4, states.size() - 8);
    QVERIFY(downloading.size() >= 2);
    const QString total = withLength ? PrivacyFilterSetup::formatBytes(body.size()) : "runtime";
    const QRegularExpression line("^installing\\|(0\\.\\d+)\\|(\\d+(\\.\\d)? K?B) of " +
                                  QRegularExpression::escape(total) +
                                  " \u00B7 \\d+(\\.\\d)? [KMG]?B/s\\|(\\d+\\.\\d)$");
    double previous = 0.32;
    for (const QString& state : downloading) {
      const QRegularExpressionMatch match = line.match(state);
      QVERIFY2(match.hasMatch(), qPrintable(state));
      QVERIFY(match.captured(1).toDouble() >= previous);
      previous = match.captured(1).toDouble();
    }
    if (withLength) {
      // The whole archive: 0.66 and the bare 30 seconds of installing.
      const QString size = PrivacyFilterSetup::formatBytes(body.size());
      QVERIFY2(downloading.last().startsWith("installing|0.660|" + size + " of " + size + " \u00B7 "),
               qPrintable(downloading.last()));
      QVERIFY(downloading.last().endsWith("/s|30.0"));
    } else {
      QCOMPARE(previous, 0.320);  // a few hundred bytes of an assumed 1.4 GB
    }
    QVERIFY(setupLogLines().contains("PrivacyFilterSetup: downloading runtime from " + server_->baseUrl() +
                                     "/runtime/" + PrivacyRuntimeManager::kArchiveFileName));
  }

  void alreadyInstalled() {
    FakePrivacyRuntime::writeTree(base() + "/current");
    localArchive();  // present, but not looked at
    PrivacyFilterSetup setup(options());
    Recorder recorder(setup);
    finish(start(setup));
    QCOMPARE(recorder.states.mid(2), (QStringList{
                                         "installing|0.180|Locating Murmela privacy runtime|-",
                                         "installing|0.720|Already installed: 0.1.1 \u00B7 Python 3.12.4|30.0",
                                         "testing|0.900|Loading filter into memory|20.0",
                                         "testing|1.000|Filter ready|-",
                                         "ready|1.000|-|-",
                                     }));
    QVERIFY(setupLogLines().contains("PrivacyFilterSetup: runtime already installed at " + base() + "/current"));
    QVERIFY(!QFileInfo::exists(base() + "/downloads"));
  }

  void failures_data() {
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("lastState");  // progress|remaining
    QTest::addColumn<QString>("steps");
    const QString notReady = "Murmela's local privacy runtime is not ready: ";
    QTest::newRow("archive is not gzip") << "bad archive" << notReady + "Could not install Murmela privacy runtime: "
                                         << "0.320|-"
                                         << "done,active,pending";
    QTest::newRow("archive runtime of another version")
        << "other version" << notReady + "Privacy runtime manifest is invalid: Expected runtime 0.1.1, found 0.2.0."
        << "0.320|-"
        << "done,active,pending";
    QTest::newRow("download answered 404") << "404"
                                           << notReady + "Could not download Murmela privacy runtime: %1/runtime/" +
                                                  PrivacyRuntimeManager::kArchiveFileName + " returned HTTP 404"
                                           << "0.320|-"
                                           << "done,active,pending";
    QTest::newRow("smoke test exits 1") << "smoke"
                                        << "Privacy filter smoke test failed: %2"
                                        << "0.900|-"
                                        << "done,done,active";
  }

  void failures() {
    QFETCH(QString, failure);
    QFETCH(QString, message);
    QFETCH(QString, lastState);
    QFETCH(QString, steps);
    // 5,000 user-perceived characters on standard error, a flag among them.
    QStringList characters;
    for (int i = 0; i < 5000; ++i)
      characters.append(i % 97 == 0 ? QStringLiteral("\U0001F1E9\U0001F1EA") : QString(QChar('a' + i % 26)));
    const QString standardError = characters.join(QString());

    FakePrivacyRuntime::Options runtime;
    if (failure == "smoke") runtime.pythonScript = FakePrivacyRuntime::failingPythonScript(standardError.toUtf8(), 1);
    if (failure == "other version") runtime.runtimeVersion = "0.2.0";
    const QString archive = localArchive(runtime);
    if (failure == "bad archive") {
      QFile file(archive);
      QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
      file.write("not an archive");
    }
    if (failure == "404") {
      qunsetenv(PrivacyRuntimeManager::kArchiveEnvironmentVariable);
      server_->setDefault(kPath, ScriptedResponse::text(404, "gone"));
    }

    PrivacyFilterSetup setup(options());
    Recorder recorder(setup);
    const auto answer = start(setup);
    finish(answer);
    const QString expected =
        QString(message).replace("%1", server_->baseUrl()).replace("%2", characters.mid(0, 800).join(QString()));
    if (failure == "bad archive") {
      QVERIFY2(answer->errorText().startsWith(expected) && answer->errorText().size() > expected.size(),
               qPrintable(answer->errorText()));
    } else {
      QCOMPARE(answer->errorText(), expected);
    }
    const QString text = answer->errorText();
    QCOMPARE(setup.phase(), PrivacyFilterPhase::failed(text));
    QCOMPARE(setup.detail(), std::optional<QString>(text));
    QCOMPARE(recorder.states.last(), "failed|" + lastState.section('|', 0, 0) + '|' + text + "|-");
    QCOMPARE(stepStates(setup.subSteps()), steps);
    try {
      std::rethrow_exception(answer->error);
    } catch (const PrivacyFilterError& error) {
      QCOMPARE(error.kind(), failure == "smoke" ? PrivacyFilterError::Kind::smokeTestFailed
                                                : PrivacyFilterError::Kind::runtimeUnavailable);
    }
    if (failure == "smoke") QVERIFY(QFileInfo(base() + "/current").isDir());  // the install itself stays
  }

  // The archive's name in the detail line is its last non-empty component.
  void archivePathEndingInASlash_data() {
    QTest::addColumn<QString>("suffix");
    QTest::newRow("one slash") << "/";
    QTest::newRow("two slashes") << "//";
  }
  void archivePathEndingInASlash() {
    QFETCH(QString, suffix);
    const QString folder = scratch_->filePath(QStringLiteral("runtime-folder"));
    QVERIFY(QDir().mkpath(folder));
    const ScopedEnvironmentVariable variable(PrivacyRuntimeManager::kArchiveEnvironmentVariable,
                                             (folder + suffix).toUtf8());
    PrivacyFilterSetup setup(options());
    Recorder recorder(setup);
    const auto answer = start(setup);
    finish(answer);
    QVERIFY(recorder.states.contains(QStringLiteral("installing|0.320|Installing runtime-folder|30.0")));
    QVERIFY(answer->error);  // a folder is no archive: tar refuses it
  }

  void startAgainAfterFailureAndAfterReady() {
    PrivacyFilterSetup setup(options());
    Recorder recorder(setup);
    finish(start(setup));  // no archive, and the server has none: failed
    QCOMPARE(setup.phase().kind, Kind::failed);

    localArchive();
    recorder.states.clear();
    recorder.steps.clear();
    auto second = start(setup);
    finish(second);
    QVERIFY2(!second->error, qPrintable(second->errorText()));
    // A fresh checklist first; the old phase stays visible until the host step.
    QVERIFY(recorder.states.first().startsWith("failed|0.000|-|-"));
    QCOMPARE(recorder.steps.first(), QStringLiteral("pending,pending,pending"));
    QCOMPARE(setup.phase().kind, Kind::ready);

    recorder.states.clear();
    finish(start(setup));
    QCOMPARE(recorder.states.first(), QStringLiteral("ready|0.000|-|-"));
    QVERIFY(recorder.states.contains("installing|0.720|Already installed: 0.1.1 \u00B7 Python 3.12.4|30.0"));
    QCOMPARE(setupLogLines().count("PrivacyFilterSetup: host OK arm64"), 3);
  }

  void aSecondStartJoinsTheRunningOne() {
    localArchive();
    PrivacyFilterSetup setup(options());
    const auto first = start(setup);
    QVERIFY(setup.isRunning());
    const auto second = start(setup);
    finish(first);
    finish(second);
    QVERIFY(!first->error && !second->error);
    QCOMPARE(setupLogLines().filter("installing runtime from local archive").size(), 1);
    QCOMPARE(setupLogLines().filter("host OK").size(), 1);
    QVERIFY(!setup.isRunning());
  }

  void resetDuringASetupWaitsForIt() {
    localArchive();
    PrivacyFilterSetup setup(options());
    const auto answer = start(setup);
    setup.resetState();
    QVERIFY(setup.isResetPending());
    QCOMPARE(setup.phase().kind, Kind::installingRuntime);  // untouched for now
    finish(answer);
    QVERIFY2(!answer->error, qPrintable(answer->errorText()));
    // The install finished whole, then the reset took everything away.
    QVERIFY(!setup.isResetPending());
    QVERIFY(!QFileInfo::exists(base()));
    QCOMPARE(setup.phase(), PrivacyFilterPhase{});
    QCOMPARE(setup.progress(), 0.0);
    QCOMPARE(setup.subSteps(), PrivacyFilterSubStep::initialList());
  }

  void resetStateUnderATemporaryHome_data() {
    QTest::addColumn<bool>("withFolders");
    QTest::newRow("everything there") << true;
    QTest::newRow("nothing there") << false;
  }

  void resetStateUnderATemporaryHome() {
    QFETCH(bool, withFolders);
    QTemporaryDir home;
    const ScopedEnvironmentVariable homeVariable("HOME", home.path().toUtf8());
    const QString hub = home.filePath(".cache/huggingface/hub");
    const QString app = environment_->appFolder();
    const QStringList removed = {base() + "/current", app + "/venv/bin", app + "/hf-cache/x", app + "/logs",
                                 hub + "/models--mlx-community--openai-privacy-filter-6bit/snapshots"};
    const QStringList kept = {app + "/reports", hub + "/models--mlx-community--other-model"};
    if (withFolders) {
      for (const QString& folder : removed + kept) QVERIFY(QDir().mkpath(folder));
      QFile log(app + "/logs/analysis.log");
      QVERIFY(log.open(QIODevice::WriteOnly));
    } else {
      QVERIFY(QDir().mkpath(app + "/reports"));
    }

    PrivacyFilterSetup setup(options("x86_64"));
    finish(start(setup));  // leaves a failed state behind
    QCOMPARE(setup.phase().kind, Kind::failed);
    QSignalSpy phaseChanges(&setup, &PrivacyFilterSetup::phaseChanged);
    setup.resetState();
    QCOMPARE(phaseChanges.size(), 1);
    for (const QString& folder : removed) QVERIFY2(!QFileInfo::exists(folder), qPrintable(folder));
    QVERIFY(!QFileInfo::exists(base()));
    QVERIFY(!QFileInfo::exists(app + "/venv") && !QFileInfo::exists(app + "/hf-cache"));
    QVERIFY(QFileInfo::exists(app + "/reports"));
    if (withFolders) {
      for (const QString& folder : kept) QVERIFY2(QFileInfo::exists(folder), qPrintable(folder));
    }
    QCOMPARE(setup.phase(), PrivacyFilterPhase{});
    QCOMPARE(setup.progress(), 0.0);
    QVERIFY(!setup.detail() && !setup.estimatedRemainingSeconds());
    QCOMPARE(setup.subSteps(), PrivacyFilterSubStep::initialList());
  }

  void staleDownloadReportsAreIgnored() {
    PrivacyRuntimeDownloadProgress report;
    report.downloadedBytes = 123456;
    report.bytesPerSecond = 1000;
    const QString reportDetail = "123 KB of runtime \u00B7 1.0 KB/s";

    // Run 1: the download fails; a report of it arriving afterwards changes nothing.
    server_->enqueue(kPath, ScriptedResponse::text(404, "gone").withDelay(100));
    PrivacyFilterSetup setup(options());
    Recorder recorder(setup);
    const auto first = start(setup);
    const PrivacyFilterSetup::ProgressHandler firstRun = setup.downloadProgressReceiver();
    finish(first);
    QCOMPARE(setup.phase().kind, Kind::failed);
    const QStringList afterFailure = recorder.states;
    firstRun(report);
    waitUntil([] { return false; }, 50);
    QCOMPARE(recorder.states, afterFailure);
    QCOMPARE(setup.phase().kind, Kind::failed);

    // Run 2: while it installs, run 1's reports are still ignored; its own apply.
    server_->enqueue(kPath, ScriptedResponse::text(200, archiveBytes()).withDelay(1000));
    const auto second = start(setup);
    QVERIFY(waitUntil([&] { return server_->requestCount() >= 2; }));
    QCOMPARE(setup.phase().kind, Kind::installingRuntime);
    firstRun(report);
    waitUntil([] { return false; }, 50);
    QVERIFY(!recorder.states.last().contains(reportDetail));
    setup.downloadProgressReceiver()(report);
    waitUntil([] { return false; }, 50);
    QCOMPARE(recorder.states.last(), "installing|0.320|" + reportDetail + "|30.0");
    finish(second);
    QVERIFY2(!second->error, qPrintable(second->errorText()));
    // After the run: nothing applies any more.
    const QStringList afterReady = recorder.states;
    setup.downloadProgressReceiver()(report);
    waitUntil([] { return false; }, 50);
    QCOMPARE(recorder.states, afterReady);
  }

  void downloadReading_data() {
    QTest::addColumn<qint64>("downloaded");
    QTest::addColumn<qint64>("total");  // -1: absent
    QTest::addColumn<double>("speed");
    QTest::addColumn<double>("progress");
    QTest::addColumn<double>("remaining");
    QTest::addColumn<QString>("detail");
    QTest::newRow("unknown total, 700 MB")
        << qint64(700000000) << qint64(-1) << 5000000.0 << 0.49 << 30.0 << "700 MB of runtime \u00B7 5.0 MB/s";
    QTest::newRow("unknown total stops at 0.95")
        << qint64(2000000000) << qint64(-1) << 0.0 << 0.643 << 30.0 << "2.0 GB of runtime \u00B7 0 B/s";
    QTest::newRow("half of 500 MB at 10 MB/s")
        << qint64(250000000) << qint64(500000000) << 10000000.0 << 0.49 << 55.0 << "250 MB of 500 MB \u00B7 10 MB/s";
    QTest::newRow("no speed yet") << qint64(250000000) << qint64(500000000) << 0.0 << 0.49 << 30.0
                                  << "250 MB of 500 MB \u00B7 0 B/s";
    QTest::newRow("all of it") << qint64(500000000) << qint64(500000000) << 10000000.0 << 0.66 << 30.0
                               << "500 MB of 500 MB \u00B7 10 MB/s";
    QTest::newRow("more than announced") << qint64(600) << qint64(500) << 999.9 << 0.66 << 30.0
                                         << "600 B of 500 B \u00B7 999 B/s";
    QTest::newRow("total of 0 counts as unknown fraction")
        << qint64(700000000) << qint64(0) << 1.0 << 0.49 << 30.0 << "700 MB of 0 B \u00B7 1 B/s";
    QTest::newRow("negative count") << qint64(-5) << qint64(100) << 1.0 << 0.32 << 135.0 << "0 B of 100 B \u00B7 1 B/s";
  }

  void downloadReading() {
    QFETCH(qint64, downloaded);
    QFETCH(qint64, total);
    QFETCH(double, speed);
    QFETCH(double, progress);
    QFETCH(double, remaining);
    QFETCH(QString, detail);
    PrivacyRuntimeDownloadProgress report;
    report.downloadedBytes = downloaded;
    if (total >= 0) report.totalBytes = total;
    report.bytesPerSecond = speed;
    const PrivacyFilterSetup::DownloadReading reading = PrivacyFilterSetup::downloadReading(report);
    QVERIFY2(qAbs(reading.progress - progress) < 1e-9, qPrintable(QString::number(reading.progress, 'g', 17)));
    QCOMPARE(reading.remainingSeconds, remaining);
    QCOMPARE(reading.detail, detail);
  }

  void formatBytes_data() {
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << qint64(0) << "0 B";
    QTest::newRow("negative") << qint64(-1) << "0 B";
    QTest::newRow("999") << qint64(999) << "999 B";
    QTest::newRow("1000") << qint64(1000) << "1.0 KB";
    QTest::newRow("9,950 (binary 9.95 rounds down)") << qint64(9950) << "9.9 KB";
    QTest::newRow("10,000") << qint64(10000) << "10 KB";
    QTest::newRow("12,500 rounds half up") << qint64(12500) << "13 KB";
    QTest::newRow("999,999") << qint64(999999) << "1000 KB";
    QTest::newRow("1,000,000") << qint64(1000000) << "1.0 MB";
    QTest::newRow("1,500,000") << qint64(1500000) << "1.5 MB";
    QTest::newRow("1.4 GB") << qint64(1400000000) << "1.4 GB";
    QTest::newRow("5,000,000,000,000") << qint64(5000000000000) << "5000 GB";
  }

  void formatBytes() {
    QFETCH(qint64, bytes);
    QFETCH(QString, text);
    QCOMPARE(PrivacyFilterSetup::formatBytes(bytes), text);
  }
};

MURMELA_TEST(PrivacyFilterSetupTest)
#include "PrivacyFilterSetupTest.moc"
