#include "privacy/RuntimeDownloadStaging.h"

#include "common/DiskSpace.h"
#include "common/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace murmela {
namespace {

const QString kAdvice = QStringLiteral(" Free some space there and try again.");

// The process id at the end of a staging file's name ("….<pid>").
std::optional<long long> ownerOf(const QString& name) {
  bool ok = false;
  const long long pid = name.section(QLatin1Char('.'), -1).toLongLong(&ok);
  return ok ? std::optional<long long>(pid) : std::nullopt;
}

}  // namespace

RuntimeDownloadStaging::RuntimeDownloadStaging(QString path, LockCall lock)
    : path_(std::move(path) + QLatin1Char('.') + QString::number(::getpid())),
      folder_(QFileInfo(path_).absolutePath()),
      lock_(lock) {}

QString RuntimeDownloadStaging::create() {
  const QByteArray name = QFile::encodeName(path_);
  ::unlink(name.constData());
  file_.reset(::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (!file_.isOpen()) return describe(errno, QStringLiteral("create"));
  // Taken at once: until then a start elsewhere would count the file as
  // abandoned. Without locks on this file system, the name tells.
  if (takeOwnerLock(file_.get(), lock_) == OwnerLock::failed) return describe(errno, QStringLiteral("lock"));
  return {};
}

QString RuntimeDownloadStaging::write(const char* data, qint64 size) {
  const int error = writeAll(file_.get(), data, size);
  return error ? describe(error, QStringLiteral("write")) : QString();
}

QString RuntimeDownloadStaging::close() {
  const int error = file_.close();
  return error ? describe(error, QStringLiteral("write")) : QString();
}

void RuntimeDownloadStaging::discard() {
  // Removed while still locked, so no start elsewhere mistakes it for its own to sweep.
  ::unlink(QFile::encodeName(path_).constData());
  file_.reset();
}

QString RuntimeDownloadStaging::describe(int error, const QString& verb) const {
  if (DiskSpace::isOutOfSpace(error)) return DiskSpace::outOfSpace(folder_, error) + kAdvice;
  return QStringLiteral("Could not %1 %2: %3").arg(verb, path_, FileSystem::describeErrno(error));
}

std::optional<qint64> RuntimeDownloadStaging::freeBytes(const QString& folder) { return DiskSpace::freeBytes(folder); }

QString RuntimeDownloadStaging::notEnoughSpace(const QString& folder, qint64 needed, qint64 free) {
  return DiskSpace::notEnoughSpace(folder, QStringLiteral("the runtime archive"), needed, free, true) + kAdvice;
}

int RuntimeDownloadStaging::removeAbandoned(const QString& destination, LockCall lock) {
  const QFileInfo target(destination);
  const QDir folder = target.absoluteDir();
  const QString prefix = target.fileName() + QStringLiteral(".download-");
  int removed = 0;
  for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
    if (!name.startsWith(prefix)) continue;
    const QByteArray path = QFile::encodeName(folder.filePath(name));
    const FileDescriptor file(::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    // A lock that can be had is one whose download has gone.
    if (file.isOpen() && isLeftByEndedProcess(file.get(), ownerOf(name), lock) && ::unlink(path.constData()) == 0)
      ++removed;
  }
  return removed;
}

}  // namespace murmela
