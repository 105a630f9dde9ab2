#include "privacy/ProcessRunner.h"
#include "support/TestRegistry.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

using namespace murmela;

// The one blocking child-process runner (unpacking, interpreter probes).
class ProcessRunnerTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void outcomes_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output");  // "*" = any non-empty text
    QTest::newRow("exit status") << "/bin/sh" << QStringList{"-c", "echo done; exit 3"} << 3 << "done\n";
    QTest::newRow("both outputs in one")
        << "/bin/sh" << QStringList{"-c", "echo out; echo err >&2; echo out2"} << 0 << "out\nerr\nout2\n";
    QTest::newRow("not UTF-8") << "/usr/bin/printf" << QStringList{"ok\\377\\376"} << 0 << "";
    QTest::newRow("cannot be launched") << "/nonexistent/tool" << QStringList{} << -1 << "*";
    QTest::newRow("killed by a signal") << "/bin/sh" << QStringList{"-c", "kill -9 $$"} << 9 << "";
  }

  void outcomes() {
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, output);
    const ProcessOutput result = ProcessRunner::runCapturing(program, arguments, std::nullopt, QString(), 10000);
    QCOMPARE(result.exitCode, exitCode);
    QVERIFY(!result.timedOut);
    if (output == "*") {
      QVERIFY(!result.output.isEmpty());
    } else {
      QCOMPARE(result.output, output);
    }
  }

  void largeOutputArrivesWhole() {
    // Far more than a pipe holds: the runner must read while the child writes.
    const ProcessOutput result =
        ProcessRunner::runCapturing("/usr/bin/seq", {"1", "100000"}, std::nullopt, QString(), 20000);
    QCOMPARE(result.exitCode, 0);
    QString expected;
    for (int i = 1; i <= 100000; ++i) expected += QString::number(i) + '\n';
    QVERIFY(expected.size() > 500000);
    QCOMPARE(result.output, expected);
  }

  void environmentAndFolderAreTheGivenOnes() {
    QTemporaryDir folder;
    QProcessEnvironment environment;
    environment.insert("ONLY_THIS", "1");
    const ProcessOutput result = ProcessRunner::runCapturing(
        "/bin/sh", {"-c", "pwd; echo \"$ONLY_THIS/${HOME:-none}\""}, environment, folder.path(), 10000);
    QCOMPARE(result.output, QFileInfo(folder.path()).canonicalFilePath() + "\n1/none\n");
  }

  void aHangingChildIsStopped() {
    QElapsedTimer clock;
    clock.start();
    const ProcessOutput result =
        ProcessRunner::runCapturing("/bin/sh", {"-c", "echo started; exec sleep 30"}, std::nullopt, QString(), 300);
    QVERIFY(clock.elapsed() < 5000);
    QVERIFY(result.timedOut);
    QCOMPARE(result.exitCode, -1);
    QVERIFY2(result.output.startsWith("started\n"), qPrintable(result.output));
    QVERIFY(result.output.contains("did not finish within 0.3 seconds"));
  }
};

MURMELA_TEST(ProcessRunnerTest)
#include "ProcessRunnerTest.moc"
