#include "common/MurmelaError.h"
#include "privacy/anonymization/PrivacyScriptRunner.h"
#include "support/TestRegistry.h"

#include <QElapsedTimer>
#include <QTest>
#include <QThread>

#include <stop_token>

using namespace murmela;

namespace {

struct Run {
  PrivacyScriptResult result;
  QList<PrivacyProgressUpdate> updates;
  QList<QThread*> threads;
};

Run runShell(const QString& script, const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
  Run run;
  run.result = runPrivacyScript("/bin/sh", {"-c", script}, environment, [&](const PrivacyProgressUpdate& update) {
    run.updates.append(update);
    run.threads.append(QThread::currentThread());
  });
  return run;
}

QString progressLine(int completed, int total) {
  return QStringLiteral(R"({"type": "murmela_privacy_progress", "completed": %1, "total": %2})")
      .arg(completed)
      .arg(total);
}

}  // namespace

// Running the anonymization script: one pipe for both streams, progress as it
// arrives, nothing lost at read borders, and a stop that ends the child.
class PrivacyScriptRunnerTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void bothStreamsInOnePipe() {
    const Run run = runShell("echo out; echo err >&2; echo out2; exit 3");
    QCOMPARE(run.result.exitCode, 3);
    QCOMPARE(run.result.output, "out\nerr\nout2\n");
  }

  void progressArrivesInOrderOnTheCallingThread() {
    QString script;
    for (int i = 0; i <= 40; ++i) script += "echo '" + progressLine(i * 10, 400) + "'; echo noise >&2; ";
    const Run run = runShell(script);
    QCOMPARE(run.result.exitCode, 0);
    QCOMPARE(run.updates.size(), 41);
    for (int i = 0; i <= 40; ++i) QCOMPARE(run.updates[i], (PrivacyProgressUpdate{i * 10, 400}));
    for (QThread* thread : run.threads) QCOMPARE(thread, QThread::currentThread());
    // Progress lines stay in the output.
    QVERIFY(run.result.output.startsWith(progressLine(0, 400) + "\nnoise\n"));
  }

  void aProgressLineWrittenInTwoPartsCountsOnce() {
    const QString line = progressLine(7, 9);
    const Run run = runShell("printf '%s' '" + line.left(25) + "'; sleep 0.3; printf '%s\\n' '" + line.mid(25) + "'");
    QCOMPARE(run.updates, (QList<PrivacyProgressUpdate>{{7, 9}}));
    QCOMPARE(run.result.output, line + "\n");
  }

  void aCharacterSplitAcrossReadsIsKept() {
    // "é" is C3 A9; the pause makes the two bytes arrive in separate reads.
    const Run run = runShell("printf 'caf\\303'; sleep 0.3; printf '\\251 ok\\n'; printf '\\377\\n'");
    QCOMPARE(run.result.exitCode, 0);
    QCOMPARE(run.result.output, QString::fromUtf8("café ok\n\xEF\xBF\xBD\n"));
  }

  void largeOutputArrivesWhole() {
    const Run run = runShell("seq 1 200000");
    QString expected;
    for (int i = 1; i <= 200000; ++i) expected += QString::number(i) + '\n';
    QCOMPARE(run.result.output.size(), expected.size());
    QCOMPARE(run.result.output, expected);
  }

  void launchFailureAndSignals() {
    const PrivacyScriptResult missing =
        runPrivacyScript("/nonexistent/python3", {}, QProcessEnvironment::systemEnvironment(), nullptr);
    QCOMPARE(missing.exitCode, -1);
    QVERIFY(!missing.output.isEmpty());

    const Run killed = runShell("echo before; kill -9 $$");
    QVERIFY(killed.result.exitCode != 0);
    QCOMPARE(killed.result.output, "before\n");
  }

  void theEnvironmentIsTheWholeOne() {
    QProcessEnvironment environment;
    environment.insert("ONLY_THIS", "1");
    const PrivacyScriptResult result =
        runPrivacyScript("/bin/sh", {"-c", "echo \"$ONLY_THIS/${HOME:-none}\"; cat"}, environment, nullptr);
    QCOMPARE(result.output, "1/none\n");  // and standard input is empty
  }

  void aStopEndsTheChild_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("atMostMs");
    QTest::newRow("terminates") << "exec sleep 30" << 2500;
    QTest::newRow("ignores the request") << "trap '' TERM; while :; do sleep 0.05; done" << 8000;
  }

  void aStopEndsTheChild() {
    QFETCH(QString, script);
    QFETCH(int, atMostMs);
    std::stop_source stop;
    QElapsedTimer clock;
    clock.start();
    bool cancelled = false;
    try {
      runPrivacyScript(
          "/bin/sh", {"-c", "echo '" + progressLine(1, 2) + "'; " + script}, QProcessEnvironment::systemEnvironment(),
          [&](const PrivacyProgressUpdate&) { stop.request_stop(); }, stop.get_token());
    } catch (const CancellationError&) {
      cancelled = true;
    }
    QVERIFY(cancelled);
    QVERIFY2(clock.elapsed() < atMostMs, qPrintable(QString::number(clock.elapsed())));
  }

  void aStopBeforeTheStartLaunchesNothing() {
    std::stop_source stop;
    stop.request_stop();
    QTemporaryDir folder;
    const QString marker = folder.filePath("ran");
    QVERIFY_THROWS_EXCEPTION(CancellationError,
                             runPrivacyScript("/bin/sh", {"-c", "touch '" + marker + "'"},
                                              QProcessEnvironment::systemEnvironment(), nullptr, stop.get_token()));
    QVERIFY(!QFile::exists(marker));
  }
};

MURMELA_TEST(PrivacyScriptRunnerTest)
#include "PrivacyScriptRunnerTest.moc"
