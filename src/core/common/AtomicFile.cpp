#include "common/AtomicFile.h"

#include "common/FileDescriptor.h"
#include "common/FileError.h"
#include "common/FileSystem.h"
#include "common/OwnerLock.h"

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
#include <memory>

namespace murmela {
namespace {

const QString kPartialMark = QStringLiteral(".partial-");
const QString kClaimMark = QStringLiteral(".claim-");

const QRegularExpression& partialPattern() {
  static const QRegularExpression pattern(QStringLiteral("^\\..+\\.partial-(\\d+)-[0-9a-f]{8}$"));
  return pattern;
}

// The record of a name claimed with an empty file: ".<name>.claim-<pid>-<hex>".
const QRegularExpression& claimPattern() {
  static const QRegularExpression pattern(QStringLiteral("^\\.(.+)\\.claim-(\\d+)-[0-9a-f]{8}$"));
  return pattern;
}

// "." + fileName + mark + "<process id>-<8 hex digits>".
QString ownedNameFor(const QString& fileName, const QString& mark) {
  return QLatin1Char('.') + fileName + mark + QString::number(::getpid()) + QLatin1Char('-') +
         QString::number(QRandomGenerator::global()->generate(), 16).rightJustified(8, QLatin1Char('0'));
}

QString partialNameFor(const QString& fileName) { return ownedNameFor(fileName, kPartialMark); }

// Whether the process of that id (as a file name gives it) has ended. A
// partial write holds no lock: its file is closed before it is renamed.
bool hasEnded(const QString& processID) {
  bool valid = false;
  const long long process = processID.toLongLong(&valid);
  return !valid || isLeftByEndedProcess(-1, process);
}

[[noreturn]] void fail(const QString& path, int error) {
  throw FileError(FileError::Kind::writeFailed, path, FileSystem::describeErrno(error));
}

// Makes the rename itself durable; a folder that cannot be synced is no error.
void syncFolder(const QByteArray& folder) {
  const FileDescriptor fd(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.isOpen()) ::fsync(fd.get());
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
  FileDescriptor fd(::open(partial.name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
  if (!fd.isOpen()) fail(reported, errno);
  partial.removal = std::make_unique<FileSystem::ScopedRemoval>(QFile::decodeName(partial.name));
  struct stat existing {};
  if (keepsExistingMode && ::stat(QFile::encodeName(target).constData(), &existing) == 0 &&
      S_ISREG(existing.st_mode))
    ::fchmod(fd.get(), existing.st_mode & 07777);
  int error = writeAll(fd.get(), bytes);
  if (!error && ::fsync(fd.get()) != 0) error = errno;
  if (const int closing = fd.close(); !error) error = closing;
  if (error) fail(reported, error);
  return partial;
}

bool unsupported(int error) { return error == EINVAL || error == ENOSYS || error == ENOTSUP || error == EPERM; }

// rename(2), or, as a test asks, rename on a file system where it refuses an
// existing target (EEXIST) as some network shares do.
int renameOnto(const QByteArray& from, const QByteArray& to, const NewFilePlacement& placement) {
  if (placement.renameNeverReplaces)
    return ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE);
  return ::rename(from.constData(), to.constData());
}

// The name claimed by an empty file, with a record beside it naming this
// process, so that a start after a crash (a kill between the claim and the
// rename) finds the empty file and frees its name. 0 or the errno.
int claimName(const QByteArray& target, mode_t mode, std::unique_ptr<FileSystem::ScopedRemoval>& record) {
  const QFileInfo info(QFile::decodeName(target));
  const QByteArray recordName = QFile::encodeName(info.dir().filePath(ownedNameFor(info.fileName(), kClaimMark)));
  if (!FileDescriptor(::open(recordName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600)).isOpen())
    return errno;
  record = std::make_unique<FileSystem::ScopedRemoval>(QFile::decodeName(recordName));
  if (!FileDescriptor(::open(target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode)).isOpen())
    return errno;
  return 0;
}

// Puts `partial` at `target` unless something is there: 0 when done, EEXIST
// when the name is taken, else the errno. renameat2 with RENAME_NOREPLACE
// does it in one step; a file system without it takes a hard link of the
// partial file (that also fails on an existing name); one without either
// (FAT, some network shares) claims the name with an empty file of its own,
// created exclusively, and renames the partial file over that one. Where
// rename refuses to replace even that (EEXIST), it refuses to replace
// anything: the claim goes, and the plain rename takes the name only if it is
// still free.
int placeWithoutReplacing(const QByteArray& partial, const QByteArray& target, mode_t mode,
                          const NewFilePlacement& placement) {
  const bool plain = placement.withoutNoReplaceOrLink;
  if (!plain && ::renameat2(AT_FDCWD, partial.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
    return 0;
  if (!plain && !unsupported(errno)) return errno;
  if (!plain && ::link(partial.constData(), target.constData()) == 0) {
    ::unlink(partial.constData());
    return 0;
  }
  if (!plain && !unsupported(errno)) return errno;
  std::unique_ptr<FileSystem::ScopedRemoval> record;
  if (const int error = claimName(target, mode, record)) return error;
  if (placement.afterNameClaim) placement.afterNameClaim();
  if (renameOnto(partial, target, placement) == 0) return 0;
  const int error = errno;
  ::unlink(target.constData());  // our own empty claim
  if (error != EEXIST) return error;
  return renameOnto(partial, target, placement) == 0 ? 0 : errno;
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
                               const QByteArray& bytes, NewFileAccess access, const NewFilePlacement& placement) {
  const QDir dir(folder);
  const QString first = dir.filePath(nameFor(1));
  PartialFile partial = writePartial(first, first, bytes, access, false);
  const mode_t mode = access == NewFileAccess::ownerOnly ? 0600 : 0666;
  for (int attempt = 1; attempt <= kMaxNameAttempts; ++attempt) {
    const QString path = dir.filePath(nameFor(attempt));
    const int error = placeWithoutReplacing(partial.name, QFile::encodeName(path), mode, placement);
    if (error == EEXIST) continue;
    if (error) fail(path, error);
    partial.removal->release();
    syncFolder(QFile::encodeName(dir.absolutePath()));
    return path;
  }
  fail(first, EEXIST);
}

void removeAbandonedPartialWrites(const QString& folder) {
  const QDir dir(folder);
  for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
    if (const QRegularExpressionMatch match = partialPattern().match(name); match.hasMatch()) {
      if (hasEnded(match.captured(1))) QFile::remove(dir.filePath(name));
      continue;
    }
    const QRegularExpressionMatch claim = claimPattern().match(name);
    if (!claim.hasMatch() || !hasEnded(claim.captured(2))) continue;
    // The claimed name holds the finished file, or the claim's empty file
    // when its writer ended before the rename; only that one goes.
    const QString claimed = dir.filePath(claim.captured(1));
    struct stat held {};
    if (::lstat(QFile::encodeName(claimed).constData(), &held) == 0 && S_ISREG(held.st_mode) && held.st_size == 0)
      QFile::remove(claimed);
    QFile::remove(dir.filePath(name));
  }
}

}  // namespace murmela
