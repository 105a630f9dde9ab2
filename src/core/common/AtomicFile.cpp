#include "common/AtomicFile.h"

#include "common/FileError.h"
#include "common/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>

namespace murmela {
namespace {

const QString kPartialMark = QStringLiteral(".partial-");

const QRegularExpression& partialPattern() {
  static const QRegularExpression pattern(QStringLiteral("^\\..+\\.partial-(\\d+)-[0-9a-f]{8}$"));
  return pattern;
}

QString partialNameFor(const QString& fileName) {
  return QLatin1Char('.') + fileName + kPartialMark + QString::number(::getpid()) + QLatin1Char('-') +
         QString::number(QRandomGenerator::global()->generate(), 16).rightJustified(8, QLatin1Char('0'));
}

[[noreturn]] void fail(const QString& path, int error) {
  throw FileError(FileError::Kind::writeFailed, path,
                  FileSystem::describe(std::error_code(error, std::generic_category())));
}

// Every byte, or the errno of the write that failed.
int writeAll(int fd, const QByteArray& bytes) {
  qsizetype written = 0;
  while (written < bytes.size()) {
    const ssize_t count = ::write(fd, bytes.constData() + written, static_cast<size_t>(bytes.size() - written));
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return errno;
    if (count == 0) return ENOSPC;
    written += count;
  }
  return 0;
}

// Makes the rename itself durable; a folder that cannot be synced is no error.
void syncFolder(const QByteArray& folder) {
  const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

void writeFileAtomically(const QString& path, const QByteArray& bytes) {
  const QFileInfo target(path);
  const QByteArray finalName = QFile::encodeName(path);
  const QByteArray partial = QFile::encodeName(target.dir().filePath(partialNameFor(target.fileName())));
  const int fd = ::open(partial.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) fail(path, errno);
  FileSystem::ScopedRemoval removal(QFile::decodeName(partial));
  struct stat existing {};
  if (::stat(finalName.constData(), &existing) == 0 && S_ISREG(existing.st_mode))
    ::fchmod(fd, existing.st_mode & 07777);
  int error = writeAll(fd, bytes);
  if (!error && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && !error && errno != EINTR) error = errno;
  if (error) fail(path, error);
  if (::rename(partial.constData(), finalName.constData()) != 0) fail(path, errno);
  removal.release();
  syncFolder(QFile::encodeName(target.absolutePath()));
}

void removeAbandonedPartialWrites(const QString& folder) {
  const QDir dir(folder);
  for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
    const QRegularExpressionMatch match = partialPattern().match(name);
    if (!match.hasMatch()) continue;
    bool valid = false;
    const pid_t writer = static_cast<pid_t>(match.captured(1).toLongLong(&valid));
    const bool ended = !valid || writer <= 0 || (::kill(writer, 0) != 0 && errno == ESRCH);
    if (ended) QFile::remove(dir.filePath(name));
  }
}

}  // namespace murmela
