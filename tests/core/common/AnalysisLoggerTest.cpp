#include "common/AnalysisLogger.h"
#include "common/AppPaths.h"
#include "support/TestEnvironment.h"
#include "support/TestRegistry.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <thread>
#include <vector>

using namespace murmela;

namespace {

QStringList fileLines(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  QString text = QString::fromUtf8(file.readAll());
  if (text.endsWith(QLatin1Char('\n'))) text.chop(1);
  return text.split(QLatin1Char('\n'));
}

const QRegularExpression stamped(QStringLiteral(R"(^\[\d{4}-\d{2}-\d{2}T\d{2}:\d{2}:\d{2}\.\d{3}Z\] )"));

}  // namespace

class AnalysisLoggerTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void bannerThenLinesInFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath("nested/logs/analysis.log");
    {
      AnalysisLoggerSink sink(path, false);
      sink.log("first");
      sink.log("second");
      sink.waitForPendingWrites();
      const QStringList lines = fileLines(path);
      QCOMPARE(lines.size(), 3);
      QVERIFY(lines[0].startsWith("===== analysis session started "));
      QVERIFY(lines[0].endsWith("Z ====="));
      QVERIFY(stamped.match(lines[1]).hasMatch());
      QVERIFY(lines[1].endsWith("] first"));
      QVERIFY(lines[2].endsWith("] second"));
      // The banner is for the file only.
      QCOMPARE(sink.lines().size(), 2);
    }
    // A second process appends its own banner after what is there.
    AnalysisLoggerSink again(path, false);
    again.log("third");
    again.waitForPendingWrites();
    const QStringList lines = fileLines(path);
    QCOMPARE(lines.size(), 5);
    QVERIFY(lines[3].startsWith("===== analysis session started "));
    QVERIFY(lines[4].endsWith("] third"));
  }

  void clearAndJoin() {
    AnalysisLoggerSink sink(std::nullopt, false);
    sink.log("before");
    sink.clearLines();
    QCOMPARE(sink.joinedLines(), QString());
    sink.log("one");
    sink.log("two\nlines");
    const QString joined = sink.joinedLines();
    const QStringList parts = sink.lines();
    QCOMPARE(parts.size(), 2);
    QVERIFY(parts[1].endsWith("] two\nlines"));
    QCOMPARE(joined, parts[0] + "\n" + parts[1]);
    QVERIFY(!joined.endsWith('\n'));
  }

  void noFileWithoutDataLocation() {
    AppPaths::overrideAppFolder(std::nullopt);
    QVERIFY(!AppPaths::appFolder().has_value());
    AnalysisLoggerSink sink(AppPaths::inAppFolder("logs/analysis.log"), false);
    QVERIFY(!sink.logFileURL().has_value());
    sink.log("kept in memory");
    sink.waitForPendingWrites();
    QCOMPARE(sink.lines().size(), 1);
    AppPaths::reset();
  }

  void unusedLogWritesNoBannerUntilMade() {
    QTemporaryDir dir;
    const QString path = dir.filePath("logs/analysis.log");
    QVERIFY(!QFile::exists(path));
    { AnalysisLoggerSink sink(path, false); }
    // Destroying the sink drains the queue: the banner is there.
    QCOMPARE(fileLines(path).size(), 1);
  }

  void neverReplacesAnExistingLog() {
    QTemporaryDir dir;
    const QString path = dir.filePath("analysis.log");
    {
      QFile existing(path);
      QVERIFY(existing.open(QIODevice::WriteOnly));
      existing.write("old content\n");
    }
    AnalysisLoggerSink sink(path, false);
    sink.log("new");
    sink.waitForPendingWrites();
    const QStringList lines = fileLines(path);
    QCOMPARE(lines.first(), QStringLiteral("old content"));
    QVERIFY(lines.last().endsWith("] new"));
  }

  void manyThreadsLoseNothing() {
    QTemporaryDir dir;
    const QString path = dir.filePath("analysis.log");
    AnalysisLoggerSink sink(path, false);
    constexpr int kThreads = 8;
    constexpr int kLines = 1000;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
      threads.emplace_back([&sink, t] {
        for (int i = 0; i < kLines; ++i) sink.log(QStringLiteral("t%1-%2").arg(t).arg(i));
      });
    for (std::thread& thread : threads) thread.join();
    sink.waitForPendingWrites();

    const auto messages = [](const QStringList& lines) {
      QStringList out;
      for (const QString& line : lines) {
        const qsizetype at = line.indexOf("] ");
        if (line.startsWith('[') && at > 0) out.append(line.mid(at + 2));
      }
      return out;
    };
    for (const QStringList& lines : {sink.lines(), fileLines(path)}) {
      const QStringList found = messages(lines);
      QCOMPARE(found.size(), kThreads * kLines);
      QCOMPARE(QSet<QString>(found.begin(), found.end()).size(), kThreads * kLines);
    }
    QVERIFY(fileLines(path).first().startsWith("====="));
  }

  void sharedSinkUsesTheAppFolder() {
    test::TestEnvironment environment;
    // The shared sink is made once per process; in this executable it is made here.
    AnalysisLoggerSink& shared = AnalysisLogger::shared();
    QCOMPARE(*shared.logFileURL(), environment.appFolder() + "/logs/analysis.log");
    AnalysisLogger::log("through the shared sink");
    shared.waitForPendingWrites();
    QVERIFY(fileLines(*shared.logFileURL()).last().endsWith("] through the shared sink"));
  }
};

MURMELA_TEST(AnalysisLoggerTest)
#include "AnalysisLoggerTest.moc"
