#include "privacy/RuntimeDownloadStaging.h"

#include "common/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <cerrno>
#include <limits>
#include <system_error>

namespace murmela {
namespace {

// Whole megabytes, rounded up for what is needed and down for what is free,
// so that the two never read as equal when they are not.
QString megabytes(qint64 bytes, bool roundUp) {
  constexpr qint64 kMegabyte = 1000 * 1000;
  return QString::number((bytes + (roundUp ? kMegabyte - 1 : 0)) / kMegabyte) + QStringLiteral(" MB");
}

}  // namespace

RuntimeDownloadStaging::RuntimeDownloadStaging(QString path)
    : path_(std::move(path)), folder_(QFileInfo(path_).absolutePath()) {}

RuntimeDownloadStaging::~RuntimeDownloadStaging() {
  if (fd_ >= 0) ::close(fd_);
}

QString RuntimeDownloadStaging::create() {
  const QByteArray name = QFile::encodeName(path_);
  ::unlink(name.constData());
  fd_ = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd_ < 0) return describe(errno, QStringLiteral("create"));
  // Taken at once: until then a start elsewhere would count the file as abandoned.
  if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) return describe(errno, QStringLiteral("lock"));
  return {};
}

QString RuntimeDownloadStaging::write(const char* data, qint64 size) {
  while (size > 0) {
    const ssize_t count = ::write(fd_, data, static_cast<size_t>(size));
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return describe(count < 0 ? errno : ENOSPC, QStringLiteral("write"));
    data += count;
    size -= count;
  }
  return {};
}

QString RuntimeDownloadStaging::close() {
  if (fd_ < 0) return {};
  // Some file systems (NFS among them) report a failed write only here.
  const int result = ::close(fd_);
  fd_ = -1;
  return result != 0 && errno != EINTR ? describe(errno, QStringLiteral("write")) : QString();
}

void RuntimeDownloadStaging::discard() {
  // Removed while still locked, so no start elsewhere mistakes it for its own to sweep.
  ::unlink(QFile::encodeName(path_).constData());
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

QString RuntimeDownloadStaging::describe(int error, const QString& verb) const {
  const QString advice = QStringLiteral(" Free some space there and try again.");
  if (error == ENOSPC) return QStringLiteral("No space left in %1.").arg(folder_) + advice;
  if (error == EDQUOT) return QStringLiteral("The disk quota for %1 is used up.").arg(folder_) + advice;
  return QStringLiteral("Could not %1 %2: %3")
      .arg(verb, path_, FileSystem::describe(std::error_code(error, std::generic_category())));
}

std::optional<qint64> RuntimeDownloadStaging::freeBytes(const QString& folder) {
  struct statvfs info {};
  if (::statvfs(QFile::encodeName(folder).constData(), &info) != 0) return std::nullopt;
  const unsigned long long blocks = info.f_bavail;
  const unsigned long long blockSize = info.f_frsize ? info.f_frsize : info.f_bsize;
  constexpr auto kMax = static_cast<unsigned long long>(std::numeric_limits<qint64>::max());
  if (blockSize != 0 && blocks > kMax / blockSize) return std::numeric_limits<qint64>::max();
  return static_cast<qint64>(blocks * blockSize);
}

QString RuntimeDownloadStaging::notEnoughSpace(const QString& folder, qint64 needed, qint64 free) {
  return QStringLiteral(
             "Not enough free space in %1: the runtime archive needs %2 more and %3 are free. Free some "
             "space there and try again.")
      .arg(folder, megabytes(needed, true), megabytes(free, false));
}

int RuntimeDownloadStaging::removeAbandoned(const QString& destination) {
  const QFileInfo target(destination);
  const QDir folder = target.absoluteDir();
  const QString prefix = target.fileName() + QStringLiteral(".download-");
  int removed = 0;
  for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
    if (!name.startsWith(prefix)) continue;
    const QByteArray path = QFile::encodeName(folder.filePath(name));
    const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    // A lock that can be had is one whose download has gone.
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::unlink(path.constData()) == 0) ++removed;
    ::close(fd);
  }
  return removed;
}

}  // namespace murmela
