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
#include <climits>
#include <cstdio>
#include <atomic>
#include <csignal>
#include <memory>

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

// The file a path leads to: the path itself, or where its chain of symbolic
// links ends (a link whose target is missing included). A loop fails ELOOP.
QString followLinks(const QString& path) {
  QString current = path;
  for (int hops = 0; hops < 40; ++hops) {
    const QFileInfo info(current);
    if (!info.isSymLink()) return current;
    const QByteArray name = QFile::encodeName(current);
    QByteArray target(PATH_MAX, Qt::Uninitialized);
    const ssize_t length = ::readlink(name.constData(), target.data(), static_cast<size_t>(target.size()));
    if (length < 0) fail(path, errno);
    target.truncate(length);
    const QString next = QFile::decodeName(target);
    current = QDir::isAbsolutePath(next) ? next : info.dir().filePath(next);
  }
  fail(path, ELOOP);
}

// A partial file beside `target` holding every byte, synced, closed; it is
// removed again unless the removal is released.
struct PartialFile {
  QByteArray name;
  std::unique_ptr<FileSystem::ScopedRemoval> removal;
};

PartialFile writePartial(const QString& reported, const QString& target, const QByteArray& bytes,
                         NewFileAccess access, bool keepsExistingMode) {
  const QFileInfo info(target);
  PartialFile partial;
  partial.name = QFile::encodeName(info.dir().filePath(partialNameFor(info.fileName())));
  const mode_t mode = access == NewFileAccess::ownerOnly ? 0600 : 0666;
  const int fd = ::open(partial.name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
  if (fd < 0) fail(reported, errno);
  partial.removal = std::make_unique<FileSystem::ScopedRemoval>(QFile::decodeName(partial.name));
  struct stat existing {};
  if (keepsExistingMode && ::stat(QFile::encodeName(target).constData(), &existing) == 0 &&
      S_ISREG(existing.st_mode))
    ::fchmod(fd, existing.st_mode & 07777);
  int error = writeAll(fd, bytes);
  if (!error && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && !error && errno != EINTR) error = errno;
  if (error) fail(reported, error);
  return partial;
}

bool unsupported(int error) { return error == EINVAL || error == ENOSYS || error == ENOTSUP || error == EPERM; }

std::atomic<bool> withoutNoReplaceOrLink{false};

// Puts `partial` at `target` unless something is there: 0 when done, EEXIST
// when the name is taken, else the errno. renameat2 with RENAME_NOREPLACE
// does it in one step; a file system without it takes a hard link of the
// partial file (that also fails on an existing name); one without either
// (FAT, some network shares) claims the name with an empty file of its own,
// created exclusively, and renames the partial file over that one.
int placeWithoutReplacing(const QByteArray& partial, const QByteArray& target, mode_t mode) {
  const bool plain = withoutNoReplaceOrLink.load();
  if (!plain && ::renameat2(AT_FDCWD, partial.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
    return 0;
  if (!plain && !unsupported(errno)) return errno;
  if (!plain && ::link(partial.constData(), target.constData()) == 0) {
    ::unlink(partial.constData());
    return 0;
  }
  if (!plain && !unsupported(errno)) return errno;
  const int claim = ::open(target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
  if (claim < 0) return errno;
  ::close(claim);
  if (::rename(partial.constData(), target.constData()) == 0) return 0;
  const int error = errno;
  ::unlink(target.constData());  // our own empty claim
  return error;
}

}  // namespace

void writeFileAtomically(const QString& path, const QByteArray& bytes, NewFileAccess access) {
  const QString target = followLinks(path);
  PartialFile partial = writePartial(path, target, bytes, access, true);
  if (::rename(partial.name.constData(), QFile::encodeName(target).constData()) != 0) fail(path, errno);
  partial.removal->release();
  syncFolder(QFile::encodeName(QFileInfo(target).absolutePath()));
}

QString writeNewFileAtomically(const QString& folder, const std::function<QString(int attempt)>& nameFor,
                               const QByteArray& bytes, NewFileAccess access) {
  const QDir dir(folder);
  const QString first = dir.filePath(nameFor(1));
  PartialFile partial = writePartial(first, first, bytes, access, false);
  const mode_t mode = access == NewFileAccess::ownerOnly ? 0600 : 0666;
  for (int attempt = 1; attempt <= kMaxNameAttempts; ++attempt) {
    const QString path = dir.filePath(nameFor(attempt));
    const int error = placeWithoutReplacing(partial.name, QFile::encodeName(path), mode);
    if (error == EEXIST) continue;
    if (error) fail(path, error);
    partial.removal->release();
    syncFolder(QFile::encodeName(dir.absolutePath()));
    return path;
  }
  fail(first, EEXIST);
}

void setNameClaimWithoutNoReplaceOrLinkForTesting(bool without) { withoutNoReplaceOrLink.store(without); }

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
