#include "data/PrivateDatabaseCopy.h"

#include "common/AppPaths.h"
#include "common/FileSystem.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>
#include <vector>

namespace murmela {
namespace {

const QString kFolderPrefix = QStringLiteral("murmela-database-");
const QString kLockName = QStringLiteral("owner.lock");
// Room left beyond the copied bytes: the WAL index SQLite makes beside the copy.
constexpr qint64 kExtraRoom = 4 << 20;
// Earlier versions made "murmela-database-XXXXXX" in the temporary folder for
// the length of one call; one that has not changed for this long is left over.
constexpr qint64 kEarlierCopyAgeSeconds = 600;

QString describeErrno(int error) { return FileSystem::describe(std::error_code(error, std::generic_category())); }

QString megabytes(qint64 bytes) { return QString::number((bytes + 999'999) / 1'000'000); }

QString spaceAdvice() {
  return QStringLiteral(
      "Free some space there, or copy the database with its -wal file to a folder you can write and open that copy");
}

class Descriptor {
 public:
  Descriptor() = default;
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  void reset(int fd) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }
  int get() const { return fd_; }
  // Closes now: a failed close of a written file is a failed write.
  int close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result == 0 || errno == EINTR ? 0 : errno;
  }

 private:
  int fd_ = -1;
};

int openForReading(const QString& path) {
  // Without waiting: a pipe at the path would wait for a writer.
  return ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
}

// Copies what `source` holds to `target`: 0, or the errno of what failed, and
// in `writing` whether the write failed rather than the read.
int copyBytes(int source, int target, bool& writing) {
  std::vector<char> buffer(1 << 20);
  for (;;) {
    writing = false;
    const ssize_t count = ::read(source, buffer.data(), buffer.size());
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return errno;
    if (count == 0) return 0;
    writing = true;
    for (ssize_t written = 0; written < count;) {
      const ssize_t step = ::write(target, buffer.data() + written, static_cast<size_t>(count - written));
      if (step < 0 && errno == EINTR) continue;
      if (step < 0) return errno;
      if (step == 0) return ENOSPC;
      written += step;
    }
  }
}

bool processIsGone(qint64 pid) { return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH; }

// The process id in a copy folder's name, or 0.
qint64 ownerOf(const QString& name) {
  bool ok = false;
  const qint64 pid = name.mid(kFolderPrefix.size()).section(QLatin1Char('-'), 0, 0).toLongLong(&ok);
  return ok ? pid : 0;
}

// Removes the copy in `folder` when nobody holds it (or `always`): its
// owner's lock can be taken, or it has no lock file (killed while it was being
// made) and its process is gone. Removed under the lock.
void removeUnlessHeld(const QString& folder, qint64 owner, bool always) {
  const Descriptor lock(::open(QFile::encodeName(QDir(folder).filePath(kLockName)).constData(),
                               O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  const bool abandoned = lock.get() < 0 ? processIsGone(owner) : ::flock(lock.get(), LOCK_EX | LOCK_NB) == 0;
  if (abandoned || always) FileSystem::removeQuietly(folder);
}

void removeEarlierVersionsCopies() {
  const QDir temporary(QDir::tempPath());
  const qint64 now = QDateTime::currentSecsSinceEpoch();
  for (const QString& name :
       temporary.entryList({kFolderPrefix + QStringLiteral("??????")}, QDir::Dirs | QDir::NoSymLinks | QDir::Hidden)) {
    const QString folder = temporary.filePath(name);
    struct stat info {};
    if (::lstat(QFile::encodeName(folder).constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != ::getuid() || now - info.st_mtim.tv_sec < kEarlierCopyAgeSeconds)
      continue;
    FileSystem::removeQuietly(folder);
  }
}

}  // namespace

PrivateDatabaseCopy::PrivateDatabaseCopy(const QString& databasePath) : source_(databasePath) {
  const std::optional<QString> parent = copiesFolder();
  if (parent) {
    copy(databasePath, *parent);
  } else {
    failure_ = QStringLiteral("there is no folder for the copy: neither XDG_CACHE_HOME nor a home folder is set");
  }
  if (failure_.isEmpty()) return;
  if (!folder_.isEmpty()) FileSystem::removeQuietly(folder_);
  folder_.clear();
  path_.clear();
}

void PrivateDatabaseCopy::copy(const QString& databasePath, const QString& parent) {
  // The files are opened and checked first: nothing is made for one that
  // cannot be read, and what is copied is what was checked.
  const QString sources[2] = {databasePath, databasePath + QStringLiteral("-wal")};
  Descriptor opened[2];
  qint64 needed = kExtraRoom;
  for (int i = 0; i < 2; ++i) {
    opened[i].reset(openForReading(sources[i]));
    if (opened[i].get() < 0) {
      if (i == 1 && errno == ENOENT) break;
      failure_ = QStringLiteral("%1 could not be read: %2").arg(sources[i], describeErrno(errno));
      return;
    }
    struct stat info {};
    if (::fstat(opened[i].get(), &info) != 0) {
      failure_ = QStringLiteral("%1 could not be read: %2").arg(sources[i], describeErrno(errno));
      return;
    }
    if (!S_ISREG(info.st_mode)) {
      failure_ = QStringLiteral("%1 is not a regular file").arg(sources[i]);
      return;
    }
    stamps_[i] = Stamp{true, info.st_dev, info.st_ino, info.st_size,
                       qint64(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec};
    needed += info.st_size;
  }

  if (const std::error_code error = FileSystem::createPrivateFolders(parent)) {
    failure_ = QStringLiteral("the folder %1 could not be made: %2").arg(parent, FileSystem::describe(error));
    return;
  }
  struct statvfs space {};
  if (::statvfs(QFile::encodeName(parent).constData(), &space) == 0) {
    const qint64 free = qint64(space.f_bavail) * qint64(space.f_frsize);
    if (free < needed) {
      failure_ = QStringLiteral("a copy needs %1 MB, but %2 has %3 MB free. %4")
                     .arg(megabytes(needed), parent, QString::number(free / 1'000'000), spaceAdvice());
      return;
    }
  }

  QByteArray name =
      QFile::encodeName(QDir(parent).filePath(kFolderPrefix + QString::number(::getpid()) + QStringLiteral("-XXXXXX")));
  if (::mkdtemp(name.data()) == nullptr) {  // mode 0700
    failure_ = QStringLiteral("no folder for the copy could be made in %1: %2").arg(parent, describeErrno(errno));
    return;
  }
  folder_ = QFile::decodeName(name);
  lock_ = ::open(QFile::encodeName(QDir(folder_).filePath(kLockName)).constData(),
                 O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (lock_ < 0 || ::flock(lock_, LOCK_EX | LOCK_NB) != 0) {
    failure_ = QStringLiteral("the copy in %1 could not be locked: %2").arg(folder_, describeErrno(errno));
    return;
  }

  path_ = QDir(folder_).filePath(QFileInfo(databasePath).fileName());
  const QString targets[2] = {path_, path_ + QStringLiteral("-wal")};
  for (int i = 0; i < 2 && opened[i].get() >= 0; ++i) {
    Descriptor target(::open(QFile::encodeName(targets[i]).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    bool writing = true;
    int error = target.get() < 0 ? errno : copyBytes(opened[i].get(), target.get(), writing);
    if (error == 0) error = target.close();
    if (error == 0) continue;
    if (!writing) {
      failure_ = QStringLiteral("%1 could not be read: %2").arg(sources[i], describeErrno(error));
    } else {
      failure_ = QStringLiteral("the copy in %1 could not be written: %2").arg(parent, describeErrno(error));
      if (error == ENOSPC || error == EDQUOT) failure_ += QStringLiteral(". ") + spaceAdvice();
    }
    return;
  }
}

PrivateDatabaseCopy::~PrivateDatabaseCopy() {
  // Removed while still locked: a sweep never sees it half gone and unowned.
  if (!folder_.isEmpty()) FileSystem::removeQuietly(folder_);
  if (lock_ >= 0) ::close(lock_);
}

PrivateDatabaseCopy::Stamp PrivateDatabaseCopy::stampOf(const QString& path) {
  struct stat info {};
  if (::stat(QFile::encodeName(path).constData(), &info) != 0) return {};
  return Stamp{true, info.st_dev, info.st_ino, info.st_size,
               qint64(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec};
}

bool PrivateDatabaseCopy::isCurrent() const {
  if (!isValid() || !QFileInfo::exists(path_)) return false;
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
  const Descriptor database(openForReading(databasePath));
  struct stat info {};
  if (database.get() < 0 || ::fstat(database.get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  static constexpr char kHeader[] = "SQLite format 3";  // with its terminating zero: 16 bytes
  char header[sizeof kHeader] = {};
  if (::pread(database.get(), header, sizeof header, 0) != ssize_t(sizeof header) ||
      std::memcmp(header, kHeader, sizeof header) != 0)
    return false;
  const Descriptor wal(openForReading(databasePath + QStringLiteral("-wal")));
  if (wal.get() < 0) return errno == ENOENT;
  return ::fstat(wal.get(), &info) == 0 && S_ISREG(info.st_mode);
}

std::optional<QString> PrivateDatabaseCopy::copiesFolder() {
  const std::optional<QString> cache = AppPaths::cacheFolder();
  if (!cache) return std::nullopt;
  return QDir(*cache).filePath(QStringLiteral("database-copies"));
}

void PrivateDatabaseCopy::removeLeftovers(Leftovers which) {
  if (const std::optional<QString> parent = copiesFolder()) {
    const QDir folder(*parent);
    for (const QString& name :
         folder.entryList({kFolderPrefix + QLatin1Char('*')}, QDir::Dirs | QDir::NoSymLinks | QDir::Hidden)) {
      const qint64 owner = ownerOf(name);
      removeUnlessHeld(folder.filePath(name), owner, which == Leftovers::includingOwn && owner == qint64(::getpid()));
    }
  }
  removeEarlierVersionsCopies();
}

}  // namespace murmela
