// The private copy of the Messages database, two ways:
//
//   reader_copy_bench <chat.db> <handle>
//     The reads of one analysis as the application makes them (the permission
//     probe, the picker's list, the run's messages and attachments, then the
//     end of the reading), with the time of each and the private copies on
//     disk after it. Point it at a database in WAL mode in a folder that
//     cannot be written (a read-only mount) to see the private copy at work.
//
//   reader_copy_bench --copy [rounds] [database MB] [wal MB]
//     The private copy of a database (400 MB) and its "-wal" (40 MB) beside
//     "cp" of the same two files into the same file system, alternated round
//     by round (which goes first alternates too), with the load average at
//     each round. The files are made once in the cache folder's parent and
//     removed at the end.
#include "data/MessagesDatabaseReader.h"
#include "data/MessagesDatabaseReading.h"
#include "data/PrivateDatabaseCopy.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <exception>
#include <functional>
#include <vector>

using namespace murmela;

namespace {

struct OnDisk {
  int copies = 0;
  qint64 bytes = 0;
};

OnDisk onDisk() {
  OnDisk found;
  const std::optional<QString> folder = PrivateDatabaseCopy::copiesFolder();
  if (!folder) return found;
  found.copies = int(QDir(*folder).entryList({QStringLiteral("murmela-database-*")}, QDir::Dirs).size());
  for (QDirIterator files(*folder, QDir::Files, QDirIterator::Subdirectories); files.hasNext();)
    found.bytes += QFileInfo(files.next()).size();
  return found;
}

int readsOfOneAnalysis(const QString& database, const QString& handle) {
  const MessagesDatabaseReader reader(database);
  std::optional<MessagesDatabaseReading> reading(std::in_place, reader);
  std::printf("copies in %s\n", qPrintable(PrivateDatabaseCopy::copiesFolder().value_or(QStringLiteral("(none)"))));
  const OnDisk before = onDisk();
  std::printf("%-22s %9s %7s %10s\n", "step", "seconds", "copies", "MB copied");
  std::printf("%-22s %9s %7d %10.1f\n", "before", "", before.copies, before.bytes / 1e6);
  double total = 0;
  const auto step = [&](const char* name, const std::function<QString()>& call) {
    QElapsedTimer timer;
    timer.start();
    QString result;
    try {
      result = call();
    } catch (const std::exception& error) {
      result = QString::fromUtf8(error.what());
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    total += seconds;
    const OnDisk after = onDisk();
    std::printf("%-22s %9.3f %7d %10.1f  %s\n", name, seconds, after.copies, after.bytes / 1e6, qPrintable(result));
    std::fflush(stdout);
  };
  step("permission probe", [&] { return reader.canOpen() ? QStringLiteral("opens") : QStringLiteral("closed"); });
  step("picker's list", [&] {
    const QList<ContactSummary> partners = reading->fetchContactSummaries();
    return QStringLiteral("%1 partners, first %2 msgs")
        .arg(partners.size())
        .arg(partners.isEmpty() ? 0 : partners.first().messageCount);
  });
  step("run's messages", [&] { return QStringLiteral("%1 messages").arg(reading->fetchMessages(handle).size()); });
  step("run's attachments", [&] { return QStringLiteral("%1 attachments").arg(reading->countAttachments(handle)); });
  step("end of the reading", [&] {
    reading.reset();
    return QString();
  });
  std::printf("total: %.3f s\n", total);
  return 0;
}

bool writeFile(const QString& path, qint64 megabytes, const QByteArray& header) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  QRandomGenerator random(20250101);
  QByteArray block(1 << 20, Qt::Uninitialized);
  for (qint64 i = 0; i < megabytes; ++i) {
    random.fillRange(reinterpret_cast<quint32*>(block.data()), block.size() / 4);
    if (i == 0) block.replace(0, header.size(), header);
    if (file.write(block) != block.size()) return false;
  }
  return file.flush();
}

double loadAverage() {
  QFile file(QStringLiteral("/proc/loadavg"));
  return file.open(QIODevice::ReadOnly) ? file.readLine().split(' ').value(0).toDouble() : -1;
}

double mean(const std::vector<double>& values) {
  return std::accumulate(values.begin(), values.end(), 0.0) / double(values.size());
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

int copyAgainstCp(int rounds, qint64 databaseMegabytes, qint64 walMegabytes) {
  const std::optional<QString> copies = PrivateDatabaseCopy::copiesFolder();
  if (!copies) {
    std::fprintf(stderr, "no cache folder\n");
    return 1;
  }
  // Sources and cp's target beside the cache folder: the same file system as the copies.
  const QString base = QFileInfo(QFileInfo(*copies).absolutePath()).absolutePath();
  QDir().mkpath(base);
  QTemporaryDir sources(base + QStringLiteral("/copy-bench-sources-XXXXXX"));
  QTemporaryDir target(base + QStringLiteral("/copy-bench-cp-XXXXXX"));
  const QString database = sources.filePath(QStringLiteral("chat.db"));
  const QString wal = database + QStringLiteral("-wal");
  if (!sources.isValid() || !target.isValid() ||
      !writeFile(database, databaseMegabytes, QByteArrayLiteral("SQLite format 3\0")) ||
      !writeFile(wal, walMegabytes, QByteArray())) {
    std::fprintf(stderr, "could not make the files in %s\n", qPrintable(base));
    return 1;
  }
  std::printf("%lld MB database, %lld MB -wal; copies in %s, cp into %s\n", databaseMegabytes, walMegabytes,
              qPrintable(*copies), qPrintable(target.path()));
  // Each starts with no dirty pages of the one before: the write-back of
  // one must not slow the other.
  const auto timeCopy = [&] {
    ::sync();
    QElapsedTimer timer;
    timer.start();
    std::optional<PrivateDatabaseCopy> copy(std::in_place, database);
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (!copy->isValid()) std::fprintf(stderr, "copy failed: %s\n", qPrintable(copy->failure()));
    return seconds;  // removed untimed, as it goes out of scope
  };
  const auto timeCp = [&] {
    ::sync();
    QElapsedTimer timer;
    timer.start();
    const int status = QProcess::execute(QStringLiteral("cp"), {database, wal, target.path()});
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (status != 0) std::fprintf(stderr, "cp failed: %d\n", status);
    QFile::remove(target.filePath(QStringLiteral("chat.db")));
    QFile::remove(target.filePath(QStringLiteral("chat.db-wal")));
    return seconds;
  };
  timeCp();  // the sources into the page cache, for both alike
  std::printf("%5s %9s %9s %8s %6s\n", "round", "copy s", "cp s", "copy/cp", "load");
  std::vector<double> copyTimes, cpTimes, ratios;
  for (int round = 1; round <= rounds; ++round) {
    const double load = loadAverage();
    double copySeconds = 0, cpSeconds = 0;
    if (round % 2) {
      copySeconds = timeCopy();
      cpSeconds = timeCp();
    } else {
      cpSeconds = timeCp();
      copySeconds = timeCopy();
    }
    copyTimes.push_back(copySeconds);
    cpTimes.push_back(cpSeconds);
    ratios.push_back(copySeconds / cpSeconds);
    std::printf("%5d %9.3f %9.3f %8.2f %6.2f\n", round, copySeconds, cpSeconds, ratios.back(), load);
    std::fflush(stdout);
  }
  std::printf("median: copy %.3f s, cp %.3f s, ratio %.2f (range %.2f-%.2f)\n", median(copyTimes), median(cpTimes),
              median(ratios), *std::min_element(ratios.begin(), ratios.end()),
              *std::max_element(ratios.begin(), ratios.end()));
  std::printf("mean: copy %.3f s, cp %.3f s, ratio of the means %.2f\n", mean(copyTimes), mean(cpTimes),
              mean(copyTimes) / mean(cpTimes));
  return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  const QStringList arguments = app.arguments();
  if (arguments.size() >= 2 && arguments.at(1) == QLatin1String("--copy")) {
    return copyAgainstCp(arguments.value(2, QStringLiteral("9")).toInt(),
                         arguments.value(3, QStringLiteral("400")).toLongLong(),
                         arguments.value(4, QStringLiteral("40")).toLongLong());
  }
  if (arguments.size() != 3) {
    std::fprintf(stderr, "usage: reader_copy_bench <chat.db> <handle>\n"
                         "       reader_copy_bench --copy [rounds] [database MB] [wal MB]\n");
    return 2;
  }
  return readsOfOneAnalysis(arguments.at(1), arguments.at(2));
}
