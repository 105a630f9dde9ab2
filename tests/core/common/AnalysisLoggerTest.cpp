#include "common/AnalysisLogger.h"
#include "common/AppPaths.h"
#include "support/TestEnvironment.h"
#include "support/TestRegistry.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>
#include <cerrno>
#include <cstdio>
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

// Sends the process's standard error into a pipe until finish(), which
// returns what was written meanwhile. Restores standard error when it goes.
class StandardErrorCapture {
 public:
  StandardErrorCapture() {
    if (::pipe(pipe_) != 0) return;
    std::fflush(stderr);
    saved_ = ::dup(STDERR_FILENO);
    if (saved_ < 0 || ::dup2(pipe_[1], STDERR_FILENO) < 0) restore();
  }
  ~StandardErrorCapture() {
    restore();
    closeFd(pipe_[0]);
  }
  bool active() const { return saved_ >= 0; }

  QByteArray finish() {
    restore();
    QByteArray out;
    char buffer[4096];
    for (;;) {
      const ssize_t n = ::read(pipe_[0], buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      out.append(buffer, n);
    }
    return out;
  }

 private:
  static void closeFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
  // Standard error back in place and the pipe's writing end closed, so that
  // reading stops at what was written.
  void restore() {
    if (saved_ >= 0) {
      ::dup2(saved_, STDERR_FILENO);
      closeFd(saved_);
    }
    closeFd(pipe_[1]);
  }

  int pipe_[2] = {-1, -1};
  int saved_ = -1;
};

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

  // Must run before anything in this executable uses the shared sink (only
  // the last test does): a sink made at start-up, before any test, would
  // already have put its banner into the process's own app folder.
  void unusedLogWritesNoBanner() {
    AppPaths::reset();
    const std::optional<QString> folder = AppPaths::appFolder();
    const QString testRoot = qEnvironmentVariable("MURMELA_TEST_BINARY_DIR");
    if (!folder || testRoot.isEmpty() || !folder->startsWith(testRoot))
      QSKIP("the process's app folder is not a test folder (run through CTest)");
    QVERIFY(!QFileInfo::exists(*folder + "/logs/analysis.log"));
  }

  void echoesEachLineToStandardError() {
    QTemporaryDir dir;
    const QString path = dir.filePath("analysis.log");
    const QString multiLine = QStringLiteral("two\nlines, caf\u00e9");
    QStringList lines;
    QByteArray echoed;
    {
      StandardErrorCapture capture;
      QVERIFY(capture.active());
      AnalysisLoggerSink sink(path, true);
      sink.log("plain");
      sink.log(multiLine);
      sink.waitForPendingWrites();
      lines = sink.lines();
      echoed = capture.finish();
    }
    QCOMPARE(lines.size(), 2);
    QVERIFY(lines[1].endsWith("] " + multiLine));
    // One write per line: the line as stored, newline inside kept, then "\n".
    const QByteArray expected = (lines[0] + "\n" + lines[1] + "\n").toUtf8();
    QCOMPARE(echoed, expected);
    // The file holds the same bytes after its banner.
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    QVERIFY(content.startsWith("===== analysis session started "));
    QVERIFY(content.endsWith(expected));
    QCOMPARE(content.count('\n'), 1 + 3);  // the banner's, and the two lines' with the one inside
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
    const QString path = environment.appFolder() + "/logs/analysis.log";
    QVERIFY(!QFileInfo::exists(path));
    // The shared sink is made once per process; in this executable it is made
    // here, so it takes the folder just set and writes its banner first.
    AnalysisLoggerSink& shared = AnalysisLogger::shared();
    QCOMPARE(*shared.logFileURL(), path);
    AnalysisLogger::log("through the shared sink");
    shared.waitForPendingWrites();
    const QStringList lines = fileLines(path);
    QCOMPARE(lines.size(), 2);
    QVERIFY(lines.first().startsWith("===== analysis session started "));
    QVERIFY(lines.last().endsWith("] through the shared sink"));
  }
};

MURMELA_TEST(AnalysisLoggerTest)
#include "AnalysisLoggerTest.moc"
