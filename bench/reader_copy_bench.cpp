// The reads of one analysis as the application makes them (the permission
// probe, the picker's list, the run's messages and attachments, then the end
// of the reading), with the time of each and the private copies on disk after
// it. Point it at a database in WAL mode in a folder that cannot be written
// (a read-only mount) to see the private copy at work.
//
//   reader_copy_bench <chat.db> <handle>
#include "data/MessagesDatabaseReader.h"
#include "data/PrivateDatabaseCopy.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>

#include <cstdio>
#include <exception>
#include <functional>

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

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  const QStringList arguments = app.arguments();
  if (arguments.size() != 3) {
    std::fprintf(stderr, "usage: reader_copy_bench <chat.db> <handle>\n");
    return 2;
  }
  MessagesDatabaseReader reader(arguments.at(1));
  const QString handle = arguments.at(2);
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
  step("picker's list", [&] { return QStringLiteral("%1 partners").arg(reader.fetchContactSummaries().size()); });
  step("run's messages", [&] { return QStringLiteral("%1 messages").arg(reader.fetchMessages(handle).size()); });
  step("run's attachments", [&] { return QStringLiteral("%1 attachments").arg(reader.countAttachments(handle)); });
  step("end of the reading", [&] {
    reader.endReading();
    return QString();
  });
  std::printf("total: %.3f s\n", total);
  return 0;
}
