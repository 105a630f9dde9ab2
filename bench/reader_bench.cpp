// Reading speed of the Messages database reader on one conversation of
// 1,000,000 messages (10% of them with their text only in the attributed
// body), against the sqlite3 command-line tool running the same SELECT.
//
//   reader_bench [--rebuild] [--runs N]
//
// The database is built once in a private folder under the temporary
// directory and reused by later runs.
#include "data/MessagesDatabaseReader.h"
#include "support/FixtureDatabaseBuilder.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>

using namespace murmela;
using Builder = murmela::test::FixtureDatabaseBuilder;

namespace {

constexpr int kMessages = 1'000'000;
constexpr int kOtherPartners = 200;
constexpr int kOtherMessagesEach = 50;
const QString kHandle = QStringLiteral("+15551234567");
const char* const kSqlite3 = "/usr/bin/sqlite3";

const char* const kWords[] = {
    "ok",     "yes",   "no",      "haha",  "love",       "you",          "see",   "tomorrow", "dinner", "tonight",
    "what",   "time",  "are",     "we",    "going",      "to",           "the",   "movies",   "I",      "think",
    "so",     "miss",  "call",    "me",    "later",      "can't",        "wait",  "work",     "was",    "long",
    "today",  "sorry", "good",    "night", "morning",    "coffee",       "train", "late",     "home",   "soon",
    "really", "funny", "weekend", "plans", "\U0001F602", "\u2764\uFE0F", "café",  "über",     "naïve",  "\U0001F44D"};

QString randomText(QRandomGenerator& random) {
  const int words = 1 + int(random.bounded(24));
  QString text;
  for (int i = 0; i < words; ++i) {
    if (i) text += QLatin1Char(' ');
    text += QString::fromUtf8(kWords[random.bounded(int(std::size(kWords)))]);
  }
  return text;
}

void build(const QString& path) {
  const QString partial = path + QStringLiteral(".partial");
  std::printf("building %s (one-time)...\n", qPrintable(path));
  std::fflush(stdout);
  QElapsedTimer timer;
  timer.start();
  QRandomGenerator random(20240601);
  {
    Builder db(partial);
    db.beginTransaction();
    const qint64 sam = db.addHandle(kHandle);
    const qint64 chat = db.addOneToOneChat(sam);
    qint64 date = 441'763'200LL * 1'000'000'000LL;  // 2015-01-01
    for (int i = 0; i < kMessages; ++i) {
      date += qint64(1 + random.bounded(600)) * 1'000'000'000LL + random.bounded(1'000'000'000);
      const bool fromMe = random.bounded(2) == 0;
      const QString text = randomText(random);
      if (i % 10 == 0)
        db.addAttributedBodyMessage(chat, text, date, fromMe, fromMe ? 0 : sam);
      else
        db.addMessage(chat, {.text = text, .date = date, .isFromMe = fromMe ? 1 : 0, .handleId = fromMe ? 0 : sam});
    }
    for (int p = 0; p < kOtherPartners; ++p) {
      const qint64 handle = db.addHandle(QStringLiteral("+1555%1").arg(1'000'000 + p));
      const qint64 other = db.addOneToOneChat(handle);
      for (int i = 0; i < kOtherMessagesEach; ++i) {
        db.addMessage(other, {.text = randomText(random),
                              .date = date - qint64(i) * 1'000'000'000'000LL,
                              .isFromMe = i % 2,
                              .handleId = handle});
      }
    }
    db.commit();
    db.execute(QStringLiteral("ANALYZE"));
    db.close();
  }
  QFile::remove(path);
  if (!QFile::rename(partial, path)) {
    std::fprintf(stderr, "cannot move %s into place\n", qPrintable(partial));
    std::exit(1);
  }
  std::printf("built in %.1f s\n", timer.elapsed() / 1000.0);
}

long peakResidentKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// The sqlite3 tool running the messages statement (with the handle written
// in) to /dev/null; seconds, or a negative value when it failed.
double timeSqliteTool(const QString& path) {
  QString sql = QString::fromUtf8(MessagesDatabaseReader::kMessagesSQL);
  sql.replace(QStringLiteral("h.id = ?"), QStringLiteral("h.id = '%1'").arg(kHandle));
  QProcess process;
  process.setProgram(QString::fromUtf8(kSqlite3));
  process.setArguments({QStringLiteral("-readonly"), path, sql});
  process.setStandardOutputFile(QProcess::nullDevice());
  QElapsedTimer timer;
  timer.start();
  process.start();
  if (!process.waitForFinished(600'000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
    std::fprintf(stderr, "sqlite3 failed: %s\n", process.readAllStandardError().constData());
    return -1;
  }
  return timer.nsecsElapsed() / 1e9;
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  const QStringList arguments = app.arguments();
  int runs = 3;
  const qsizetype runsFlag = arguments.indexOf(QStringLiteral("--runs"));
  if (runsFlag >= 0 && runsFlag + 1 < arguments.size()) runs = std::max(1, arguments.at(runsFlag + 1).toInt());

  const QString folder = QDir::temp().filePath(QStringLiteral("murmela-reader-bench"));
  QDir().mkpath(folder);
  QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  const QString path = folder + QStringLiteral("/chat-1m-v1.db");
  if (arguments.contains(QStringLiteral("--rebuild")) || !QFile::exists(path)) build(path);
  std::printf("database: %s (%.0f MB)\n", qPrintable(path), QFileInfo(path).size() / 1e6);

  const MessagesDatabaseReader reader(path);
  const long baselineKiB = peakResidentKiB();

  // Warm the page cache once so that every timing reads from memory.
  timeSqliteTool(path);

  std::vector<double> readerSeconds;
  std::vector<double> toolSeconds;
  qsizetype fetched = 0;
  for (int run = 0; run < runs; ++run) {
    QElapsedTimer timer;
    timer.start();
    const MessageList messages = reader.fetchMessages(kHandle);
    readerSeconds.push_back(timer.nsecsElapsed() / 1e9);
    fetched = messages.size();
    toolSeconds.push_back(timeSqliteTool(path));
  }
  const long peakKiB = peakResidentKiB();

  std::vector<double> summarySeconds;
  qsizetype partners = 0;
  for (int run = 0; run < runs; ++run) {
    QElapsedTimer timer;
    timer.start();
    partners = reader.fetchContactSummaries().size();
    summarySeconds.push_back(timer.nsecsElapsed() / 1e9);
  }

  const double readerTime = median(readerSeconds);
  const double tool = median(toolSeconds);
  std::printf("runs: %d (medians below)\n", runs);
  std::printf("fetchMessages:          %8.3f s  (%lld messages)\n", readerTime, static_cast<long long>(fetched));
  std::printf("sqlite3 same SELECT:    %8.3f s  (output to /dev/null)\n", tool);
  std::printf("ratio reader / sqlite3: %8.2f   (target: at most 2.00)  %s\n", readerTime / tool,
              readerTime <= 2 * tool ? "met" : "MISSED");
  std::printf("fetchContactSummaries:  %8.3f s  (%lld partners)\n", median(summarySeconds),
              static_cast<long long>(partners));
  std::printf("peak memory (ru_maxrss): %7.1f MB  (before reading: %.1f MB; target: under 400 MB)  %s\n",
              peakKiB / 1024.0, baselineKiB / 1024.0, peakKiB < 400 * 1024 ? "met" : "MISSED");
  return 0;
}
