#include "support/BackendTestSupport.h"
#include "common/MurmelaError.h"
#include "hosted/HostedAnalysisError.h"
#include "privacy/PrivacyRuntimeManager.h"
#include "privacy/anonymization/HybridAnonymization.h"
#include "privacy/anonymization/PrivacyAnonymizationRecords.h"
#include "support/FakePrivacyRuntime.h"
#include "support/TestEnvironment.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <stop_token>

using namespace murmela;
using namespace murmela::test;

namespace {

Message message(qint64 id, bool fromMe, const QString& text, double unixSeconds, bool photo = false) {
  Message m;
  m.id = id;
  m.text = text;
  m.date = Date::fromUnix(unixSeconds);
  m.isFromMe = fromMe;
  m.handle = "+15550100";
  m.hasPhoto = photo;
  return m;
}

ImportedChat threeMessageChat() {
  ImportedChat chat;
  chat.meName = "You";
  chat.otherName = "Sam Carter";
  chat.messages = {message(11, false, "Jordan says Alexandra's party is at 8", 1709648530.0),
                   message(12, true, "Tell Jordan and Sam I'm in. Mail me at you@example.com", 1709648590.0, true),
                   message(13, false, "Will do! Priya is coming too", 1709648650.0)};
  return chat;
}

QString readText(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

}  // namespace

// The anonymization of a conversation before it leaves the machine, with a
// stand-in runtime whose Python is the system's and whose detector is the
// test stub.
class HybridAnonymizationTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() {
    prepareHostedTests();
    environment_ = std::make_unique<TestEnvironment>();
    qputenv("MURMELA_PRIVACY_DETECTOR", (sourceDir() + "/tests/scripts/stub_detector.py").toUtf8());
    qputenv("PYTHONDONTWRITEBYTECODE", "1");
  }
  void cleanupTestCase() {
    qunsetenv("MURMELA_PRIVACY_DETECTOR");
    environment_.reset();
  }
  void init() {
    temporary_ = std::make_unique<QTemporaryDir>();
    capture_ = std::make_unique<QTemporaryDir>();
  }

  void anonymizesWithTheInstalledRuntime() {
    // The stand-in keeps a copy of the input and reports the folder's mode.
    installRuntime("cp \"$2\" '" + capture_->filePath("input.json") +
                   "'\nstat -c 'folder mode=%a' \"$(dirname \"$2\")\"\nexec /usr/bin/python3 \"$@\"");
    LogCapture log;
    QList<HybridAnonymizationProgress> progress;
    PrivacyAnonymizationContext context;
    try {
      context = HybridAnonymization::anonymizeForHybrid(
          threeMessageChat(), 20.0, 30.0, [&](const HybridAnonymizationProgress& p) { progress.append(p); }, {},
          testEnvironment());
    } catch (const MurmelaError& error) {
      QFAIL(qPrintable(error.userFacingText()));
    }

    // What the script was given.
    const PrivacyRuntimeInstall runtime = PrivacyRuntimeManager().installedRuntime();
    const PrivacyAnonymizationInput input = PrivacyAnonymizationInput::fromJson(
        Json::parseObject(readText(capture_->filePath("input.json")).toUtf8(), "input"));
    QCOMPARE(input.participants.me, "You");
    QCOMPARE(input.participants.them, "Sam Carter");
    QCOMPARE(input.model, runtime.modelURL);
    QCOMPARE(input.messages.size(), 3);
    const QList<PrivacyAnonymizationMessage> expectedInput{
        {1, "Sam Carter", "2024-03-05T14:22:10Z", "Jordan says Alexandra's party is at 8", false},
        {2, "You", "2024-03-05T14:23:10Z", "Tell Jordan and Sam I'm in. Mail me at you@example.com", true},
        {3, "Sam Carter", "2024-03-05T14:24:10Z", "Will do! Priya is coming too", false}};
    QCOMPARE(input.messages, expectedInput);

    // What came back.
    const QString me = context.participants.me;
    const QString them = context.participants.them;
    QCOMPARE(context.reverseNameMap.value(me), "You");
    QCOMPARE(context.reverseNameMap.value(them), "Sam Carter");
    const QString jordan = context.reverseNameMap.key("Jordan");
    const QString alexandra = context.reverseNameMap.key("Alexandra");
    const QString email = context.reverseNameMap.key("you@example.com");
    QVERIFY(!jordan.isEmpty() && !alexandra.isEmpty() && !email.isEmpty());
    const HostedMessageList expected{
        {1, them, "2024-03-05T14:22:10Z", jordan + " says " + alexandra + "'s party is at 8", false},
        {2, me, "2024-03-05T14:23:10Z", "Tell " + jordan + " and " + them + " I'm in. Mail me at " + email, true},
        {3, them, "2024-03-05T14:24:10Z", "Will do! " + context.reverseNameMap.key("Priya") + " is coming too", false}};
    QCOMPARE(context.messages, expected);

    // Progress from the script's lines, in order, from 0.46 to 0.67.
    QVERIFY(progress.size() >= 2);
    QCOMPARE(progress.first(), (HybridAnonymizationProgress{0.46, 58.0}));
    QCOMPARE(progress.last(), (HybridAnonymizationProgress{0.67, 38.0}));
    for (qsizetype i = 1; i < progress.size(); ++i) QVERIFY(progress[i].fraction >= progress[i - 1].fraction);

    // The log, and nothing left behind.
    const QStringList lines = log.lines();
    QCOMPARE(lines.size(), 3);
    QVERIFY2(lines[0].startsWith("Privacy: invoking script python=" + runtime.pythonExecutable +
                                 " model=" + runtime.modelURL + " script=" + sourceDir() +
                                 "/resources/Murmela_MurmelaCore.bundle/privacy_anonymize.py input=" +
                                 temporary_->path() + "/murmela-privacy-"),
             qPrintable(lines[0]));
    QVERIFY(QRegularExpression("/murmela-privacy-[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}/"
                               "input\\.json output=\\S+/output\\.json inputBytes=\\d+ messages=3$")
                .match(lines[0])
                .hasMatch());
    QVERIFY2(QRegularExpression(R"(^Privacy: script exited code=0 elapsed=\d+\.\d\ds outputBytes=\d+ )"
                                R"(outputFileExists=true tail=folder mode=700\n\{"type")")
                 .match(lines[1])
                 .hasMatch(),
             qPrintable(lines[1]));
    QVERIFY2(QRegularExpression(R"(^Privacy anonymization: messages=3 names=5 elapsed=\d+\.\d+s$)")
                 .match(lines[2])
                 .hasMatch(),
             qPrintable(lines[2]));
    QCOMPARE(entries(), QStringList{});
  }

  void failures_data() {
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("error");       // the thrown text; "<traceback>" is the first 1200 characters
    QTest::addColumn<QString>("exitLine");    // the start of the exit line ("" when there is none)
    QTest::addColumn<QString>("decodeLine");  // the start of the decode line ("" when there is none)
    QTest::newRow("traceback and exit 1") << "cat '<traceback file>'; exit 1"
                                          << "<traceback>"
                                          << "Privacy: script exited code=1 elapsed="
                                          << "";
    QTest::newRow("progress before the failure")
        << R"(echo '{"type": "murmela_privacy_progress", "completed": 1, "total": 3}'; echo boom >&2; exit 2)"
        << "Privacy anonymization failed: boom\n"
        << "Privacy: script exited code=2 elapsed="
        << "";
    QTest::newRow("exit 0 without output")
        << "echo done"
        << "Privacy anonymization failed: Could not read <output>: No such file or directory"
        << "Privacy: script exited code=0 elapsed="
        << "Privacy: output decode failed at <output> \u2014 type=";
    QTest::newRow("output not of its form")
        << R"(printf '{"participants": {"me": "P1"}}' > "$3")"
        << "Privacy anonymization failed: missing required member at output.participants.them"
        << "Privacy: script exited code=0 elapsed="
        << "Privacy: output decode failed at <output> \u2014 type=";
    QTest::newRow("killed") << "kill -9 $$"
                            << "Privacy anonymization failed: "
                            << "Privacy: script exited code=9 elapsed="
                            << "";
  }

  void failures() {
    QFETCH(QString, body);
    QFETCH(QString, error);
    QFETCH(QString, exitLine);
    QFETCH(QString, decodeLine);

    QString traceback = "Traceback (most recent call last):\n";
    for (int i = 0; traceback.size() < 3000; ++i)
      traceback += QStringLiteral("  File \"/runtime/lib/module%1.py\", line %1, in step\n").arg(i);
    traceback += "ValueError: the model could not be loaded\n";
    QFile file(capture_->filePath("traceback.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(traceback.toUtf8());
    file.close();
    installRuntime(QString(body).replace("<traceback file>", file.fileName()));

    LogCapture log;
    QString thrown;
    try {
      HybridAnonymization::anonymizeForHybrid(threeMessageChat(), 8, 8, nullptr, {}, testEnvironment());
    } catch (const HostedAnalysisError& failure) {
      QCOMPARE(failure.kind(), HostedAnalysisError::Kind::privacyAnonymizationFailed);
      thrown = failure.description();
    }
    const QStringList lines = log.lines();
    QVERIFY2(lines.size() >= 2, qPrintable(lines.join('\n')));
    const QString folder = QRegularExpression(" input=(\\S+)/input\\.json").match(lines[0]).captured(1);
    QVERIFY(!folder.isEmpty());
    const QString output = folder + "/output.json";
    if (error == "<traceback>") {
      QCOMPARE(thrown, "Privacy anonymization failed: " + traceback.left(1200));
      QVERIFY(lines[1].endsWith(" tail=" + traceback.right(800)));
    } else {
      QVERIFY2(thrown.startsWith(QString(error).replace("<output>", output)), qPrintable(thrown));
    }
    QVERIFY2(lines[1].startsWith(exitLine), qPrintable(lines[1]));
    QVERIFY(lines[1].contains(QRegularExpression(" outputFileExists=(true|false) ")));
    if (decodeLine.isEmpty()) {
      QCOMPARE(lines.size(), 2);
    } else {
      QCOMPARE(lines.size(), 3);
      QVERIFY2(lines[2].startsWith(QString(decodeLine).replace("<output>", output)), qPrintable(lines[2]));
      QVERIFY(lines[1].contains(body == "echo done" ? "outputFileExists=false" : "outputFileExists=true"));
    }
    QVERIFY(!QFileInfo::exists(folder));
    QCOMPARE(entries(), QStringList{});
  }

  void unavailable_data() {
    QTest::addColumn<bool>("withScript");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("logLine");
    QTest::newRow("script missing") << false << "Privacy filter is not ready: Missing bundled privacy_anonymize.py"
                                    << "Privacy: missing bundled privacy_anonymize.py";
    QTest::newRow("runtime missing") << true
                                     << "Privacy filter is not ready: Run hybrid privacy setup before analysis. "
                                     << "Privacy: managed runtime unavailable \u2014 type=PrivacyRuntimeError ";
  }

  void unavailable() {
    QFETCH(bool, withScript);
    QFETCH(QString, error);
    QFETCH(QString, logLine);
    PrivacyRuntimeManager().resetInstalledRuntime();
    HybridAnonymization::Environment seams = testEnvironment();
    if (!withScript) seams.scriptPath = [] { return std::nullopt; };
    LogCapture log;
    try {
      HybridAnonymization::anonymizeForHybrid(threeMessageChat(), 8, 8, nullptr, {}, seams);
      QFAIL("no error");
    } catch (const HostedAnalysisError& failure) {
      QCOMPARE(failure.kind(), HostedAnalysisError::Kind::privacyFilterUnavailable);
      QVERIFY2(failure.description().startsWith(error), qPrintable(failure.description()));
    }
    QCOMPARE(log.lines().size(), 1);
    QVERIFY2(log.lines()[0].startsWith(logLine), qPrintable(log.lines()[0]));
    QCOMPARE(entries(), QStringList{});
  }

  void aLaunchFailureIsAnAnonymizationFailure() {
    HybridAnonymization::Environment seams = testEnvironment();
    seams.installedRuntime = [] {
      PrivacyRuntimeInstall runtime;
      runtime.pythonExecutable = "/nonexistent/python/bin/python3";
      runtime.modelURL = "/nonexistent/model";
      return runtime;
    };
    LogCapture log;
    QVERIFY_THROWS_EXCEPTION(HostedAnalysisError,
                             HybridAnonymization::anonymizeForHybrid(threeMessageChat(), 8, 8, nullptr, {}, seams));
    QVERIFY(log.lines().value(1).startsWith("Privacy: script exited code=-1 elapsed="));
    QCOMPARE(entries(), QStringList{});
  }

  void aStopEndsTheScriptAndRemovesTheFolder() {
    installRuntime(R"(echo '{"type": "murmela_privacy_progress", "completed": 1, "total": 3}'; exec sleep 30)");
    std::stop_source stop;
    QElapsedTimer clock;
    clock.start();
    QList<HybridAnonymizationProgress> progress;
    QVERIFY_THROWS_EXCEPTION(CancellationError, HybridAnonymization::anonymizeForHybrid(
                                                    threeMessageChat(), 8, 8,
                                                    [&](const HybridAnonymizationProgress& p) {
                                                      progress.append(p);
                                                      stop.request_stop();
                                                    },
                                                    stop.get_token(), testEnvironment()));
    QVERIFY(clock.elapsed() < 5000);
    QCOMPARE(progress.size(), 1);
    QCOMPARE(entries(), QStringList{});
  }

 private:
  void installRuntime(const QString& body) {
    const QString root = *PrivacyRuntimeManager().runtimeBaseDirectory() + "/current";
    QDir(root).removeRecursively();
    FakePrivacyRuntime::Options options;
    options.pythonScript = FakePrivacyRuntime::shellScript(body.toUtf8());
    FakePrivacyRuntime::writeTree(root, options);
  }

  HybridAnonymization::Environment testEnvironment() const {
    HybridAnonymization::Environment seams;
    seams.temporaryFolder = temporary_->path();
    return seams;
  }

  QStringList entries() const {
    return QDir(temporary_->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
  }

  std::unique_ptr<TestEnvironment> environment_;
  std::unique_ptr<QTemporaryDir> temporary_;
  std::unique_ptr<QTemporaryDir> capture_;
};

MURMELA_TEST(HybridAnonymizationTest)
#include "HybridAnonymizationTest.moc"
