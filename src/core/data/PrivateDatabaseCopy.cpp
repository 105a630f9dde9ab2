#include "data/PrivateDatabaseCopy.h"

#include "common/DiskSpace.h"
#include "common/FileCopy.h"
#include "common/FileSystem.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace murmela {
namespace {

const QString kFolderPrefix = QStringLiteral("murmela-database-");
const QString kCopiesName = QStringLiteral("database-copies");
constexpr char kLockName[] = "owner.lock";
// Room left beyond the copied bytes: the WAL index SQLite makes beside the copy.
constexpr qint64 kExtraRoom = 4 << 20;
// Earlier versions made "murmela-database-XXXXXX" in the temporary folder for
// the length of one call; one that has not changed for this long is left over.
constexpr qint64 kEarlierCopyAgeSeconds = 600;

QString spaceAdvice() {
  return QStringLiteral(
      " Free some space there, or copy the database with its -wal file to a folder you can write and open that "
      "copy.");
}

QString cannotRead(const QString& path, int error) {
  return QStringLiteral("%1 could not be read: %2.").arg(path, FileSystem::describeErrno(error));
}

// The process id in a copy folder's name.
std::optional<long long> ownerOf(const QString& name) {
  bool ok = false;
  const long long pid = name.mid(kFolderPrefix.size()).section(QLatin1Char('-'), 0, 0).toLongLong(&ok);
  return ok ? std::optional<long long>(pid) : std::nullopt;
}

// "database-copies" in the cache folder, and the cache folder itself, opened
// without following a link; the cache folder's own folder is followed.
PrivateFolder openCopiesFolder(const PrivateDatabaseCopy::Options& options, bool make) {
  const QFileInfo cache(*options.cacheFolder);
  return PrivateFolder::open(cache.path(), {cache.fileName(), kCopiesName}, make);
}

void removeEarlierVersionsCopies() {
  const FileDescriptor temporary(
      ::open(QFile::encodeName(QDir::tempPath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!temporary.isOpen()) return;
  const qint64 now = QDateTime::currentSecsSinceEpoch();
  for (const QString& name : FileSystem::entriesAt(temporary.get())) {
    if (!name.startsWith(kFolderPrefix) || name.size() != kFolderPrefix.size() + 6) continue;
    struct stat info {};
    if (::fstatat(temporary.get(), QFile::encodeName(name).constData(), &info, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISDIR(info.st_mode) || info.st_uid != ::geteuid() || now - info.st_mtim.tv_sec < kEarlierCopyAgeSeconds)
      continue;
    FileSystem::removeTreeAt(temporary.get(), name);
  }
}

}  // namespace

// The files to copy, opened and checked.
struct PrivateDatabaseCopy::Sources {
  QString paths[2];
  FileDescriptor files[2];  // the "-wal" stays closed when there is none
  qint64 needed = kExtraRoom;
};

PrivateDatabaseCopy::PrivateDatabaseCopy(const QString& databasePath, const Options& options) : source_(databasePath) {
  Sources sources;
  if (!options.cacheFolder) {
    failure_ = QStringLiteral(
        "There is no folder for a private copy of the database: neither XDG_CACHE_HOME nor a home folder is set.");
  } else if (check(sources) && place(sources, options)) {
    copyFiles(sources);
  }
  if (failure_.isEmpty()) return;
  removeOwnFolder();
  path_.clear();
}

PrivateDatabaseCopy::~PrivateDatabaseCopy() {
  // Removed while still locked: a sweep never sees it half gone and unowned.
  removeOwnFolder();
}

void PrivateDatabaseCopy::removeOwnFolder() {
  if (folderName_.isEmpty()) return;
  folder_.reset();
  copies_.remove(folderName_);
  folderName_.clear();
}

// The files are opened and checked first: nothing is made for one that
// cannot be read, and what is copied is what was checked.
bool PrivateDatabaseCopy::check(Sources& sources) {
  sources.paths[0] = source_;
  sources.paths[1] = source_ + QStringLiteral("-wal");
  for (int i = 0; i < 2; ++i) {
    sources.files[i] = FileDescriptor::openForReading(sources.paths[i]);
    if (!sources.files[i].isOpen()) {
      if (i == 1 && errno == ENOENT) break;
      failure_ = cannotRead(sources.paths[i], errno);
      return false;
    }
    struct stat info {};
    if (::fstat(sources.files[i].get(), &info) != 0) {
      failure_ = cannotRead(sources.paths[i], errno);
      return false;
    }
    if (!S_ISREG(info.st_mode)) {
      failure_ = QStringLiteral("%1 is not a regular file.").arg(sources.paths[i]);
      return false;
    }
    stamps_[i] = stampOf(info);
    sources.needed += info.st_size;
  }
  return true;
}

// A folder for the copy, where there is room for it, locked by its owner.
bool PrivateDatabaseCopy::place(const Sources& sources, const Options& options) {
  copies_ = openCopiesFolder(options, true);
  if (!copies_.isOpen()) {
    failure_ = copies_.failure();
    return false;
  }
  if (const std::optional<qint64> free = DiskSpace::freeBytes(copies_.fd()); free && *free < sources.needed) {
    failure_ = DiskSpace::notEnoughSpace(copies_.path(), QStringLiteral("a private copy of the database"),
                                         sources.needed, *free) +
               spaceAdvice();
    return false;
  }
  const std::optional<QString> name =
      copies_.makeUniqueFolder(kFolderPrefix + QString::number(::getpid()) + QLatin1Char('-'));
  if (name) {
    folderName_ = *name;
    folder_ = copies_.openFolder(*name);
  }
  if (!folder_.isOpen()) {
    failure_ = QStringLiteral("No folder for the copy could be made in %1: %2.")
                   .arg(copies_.path(), FileSystem::describeErrno(errno));
    return false;
  }
  const QString folder = QDir(copies_.path()).filePath(folderName_);
  lock_.reset(::openat(folder_.get(), kLockName, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
  const OwnerLock lock = lock_.isOpen() ? takeOwnerLock(lock_.get(), options.lock) : OwnerLock::failed;
  if (lock == OwnerLock::failed) {
    failure_ = QStringLiteral("The copy in %1 could not be locked: %2.").arg(folder, FileSystem::describeErrno(errno));
    return false;
  }
  if (lock == OwnerLock::unavailable) {
    // No locks on this file system: without a lock file, a sweep goes by the
    // process id in the folder's name.
    ::unlinkat(folder_.get(), kLockName, 0);
    lock_.reset();
  }
  path_ = QDir(folder).filePath(QFileInfo(source_).fileName());
  return true;
}

void PrivateDatabaseCopy::copyFiles(Sources& sources) {
  const QString name = QFileInfo(source_).fileName();
  const QString targets[2] = {name, name + QStringLiteral("-wal")};
  for (int i = 0; i < 2 && sources.files[i].isOpen(); ++i) {
    FileDescriptor target(::openat(folder_.get(), QFile::encodeName(targets[i]).constData(),
                                   O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    ContentCopy copied = target.isOpen() ? copyFileContents(sources.files[i].get(), target.get())
                                         : ContentCopy{errno, true};
    if (copied.error == 0) copied = ContentCopy{target.close(), true};
    if (copied.error == 0) continue;
    const std::optional<qint64> free = DiskSpace::freeBytes(copies_.fd());
    if (!copied.writing) {
      failure_ = cannotRead(sources.paths[i], copied.error);
    } else if (DiskSpace::isOutOfSpace(copied.error)) {
      failure_ = (free ? DiskSpace::notEnoughSpace(copies_.path(), QStringLiteral("a private copy of the database"),
                                                   sources.needed, *free)
                       : DiskSpace::outOfSpace(copies_.path(), copied.error)) +
                 spaceAdvice();
    } else {
      failure_ = QStringLiteral("The copy in %1 could not be written: %2.")
                     .arg(copies_.path(), FileSystem::describeErrno(copied.error));
    }
    return;
  }
}

PrivateDatabaseCopy::Stamp PrivateDatabaseCopy::stampOf(const struct stat& info) {
  return Stamp{true, info.st_dev, info.st_ino, info.st_size,
               qint64(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec};
}

PrivateDatabaseCopy::Stamp PrivateDatabaseCopy::stampOf(const QString& path) {
  struct stat info {};
  if (::stat(QFile::encodeName(path).constData(), &info) != 0) return {};
  return stampOf(info);
}

bool PrivateDatabaseCopy::isCurrent() const {
  struct stat copied {};
  if (!isValid() ||
      ::fstatat(folder_.get(), QFile::encodeName(QFileInfo(path_).fileName()).constData(), &copied,
                AT_SYMLINK_NOFOLLOW) != 0)
    return false;
  const QString sources[2] = {source_, source_ + QStringLiteral("-wal")};
  for (int i = 0; i < 2; ++i) {
    const Stamp now = stampOf(sources[i]);
    const Stamp& then = stamps_[i];
    if (now.exists != then.exists || now.device != then.device || now.inode != then.inode || now.size != then.size ||
        now.modifiedNanoseconds != then.modifiedNanoseconds)
      return false;
  }
  return true;
}

bool PrivateDatabaseCopy::hasWalContent(const QString& databasePath) {
  const QFileInfo wal(databasePath + QStringLiteral("-wal"));
  return wal.exists() && (!wal.isFile() || wal.size() > 0);
}

bool PrivateDatabaseCopy::isCopyable(const QString& databasePath) {
  const FileDescriptor database = FileDescriptor::openForReading(databasePath);
  struct stat info {};
  if (!database.isOpen() || ::fstat(database.get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  static constexpr char kHeader[] = "SQLite format 3";  // with its terminating zero: 16 bytes
  char header[sizeof kHeader] = {};
  if (::pread(database.get(), header, sizeof header, 0) != ssize_t(sizeof header) ||
      std::memcmp(header, kHeader, sizeof header) != 0)
    return false;
  const FileDescriptor wal = FileDescriptor::openForReading(databasePath + QStringLiteral("-wal"));
  if (!wal.isOpen()) return errno == ENOENT;
  return ::fstat(wal.get(), &info) == 0 && S_ISREG(info.st_mode);
}

std::optional<QString> PrivateDatabaseCopy::copiesFolder(const Options& options) {
  if (!options.cacheFolder) return std::nullopt;
  return QDir(*options.cacheFolder).filePath(kCopiesName);
}

void PrivateDatabaseCopy::removeLeftovers(Leftovers which, const Options& options) {
  if (options.cacheFolder) {
    const PrivateFolder copies = openCopiesFolder(options, false);
    for (const QString& name : copies.entries()) {
      if (!name.startsWith(kFolderPrefix)) continue;
      const FileDescriptor folder = copies.openFolder(name);
      if (!folder.isOpen()) continue;  // a link or a file: none of ours
      const std::optional<long long> owner = ownerOf(name);
      // Taken here, the lock stays held while the folder goes.
      const FileDescriptor lock(::openat(folder.get(), kLockName, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
      const bool own = which == Leftovers::includingOwn && owner == qint64(::getpid());
      if (own || isLeftByEndedProcess(lock.get(), owner, options.lock)) copies.remove(name);
    }
  }
  removeEarlierVersionsCopies();
}

}  // namespace murmela
