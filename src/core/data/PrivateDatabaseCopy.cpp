#include "data/PrivateDatabaseCopy.h"

#include "common/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <vector>

namespace murmela {
namespace {

QString describeErrno(int error) { return FileSystem::describe(std::error_code(error, std::generic_category())); }

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  // Closes now: a failed close of a written file is a failed write.
  int close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result == 0 || errno == EINTR ? 0 : errno;
  }

 private:
  int fd_;
};

// Copies `from` to the new file `to`: 0, ENOENT when `from` is missing, or
// the errno of what failed. Only a regular file is read (a pipe at the
// path would block the read).
int copyFile(const QString& from, const QString& to) {
  const Descriptor source(::open(QFile::encodeName(from).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (source.get() < 0) return errno;
  struct stat info {};
  if (::fstat(source.get(), &info) != 0) return errno;
  if (!S_ISREG(info.st_mode)) return EINVAL;
  Descriptor target(::open(QFile::encodeName(to).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
  if (target.get() < 0) return errno;
  std::vector<char> buffer(1 << 20);
  for (;;) {
    const ssize_t count = ::read(source.get(), buffer.data(), buffer.size());
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return errno;
    if (count == 0) break;
    for (ssize_t written = 0; written < count;) {
      const ssize_t step = ::write(target.get(), buffer.data() + written, static_cast<size_t>(count - written));
      if (step < 0 && errno == EINTR) continue;
      if (step < 0) return errno;
      if (step == 0) return ENOSPC;
      written += step;
    }
  }
  return target.close();
}

}  // namespace

PrivateDatabaseCopy::PrivateDatabaseCopy(const QString& databasePath)
    : folder_(std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/murmela-database-XXXXXX"))) {
  if (!folder_->isValid()) {  // QTemporaryDir makes its folder with mode 0700
    failure_ = QStringLiteral("%1: %2").arg(QDir::tempPath(), folder_->errorString());
    return;
  }
  path_ = folder_->filePath(QFileInfo(databasePath).fileName());
  for (const char* suffix : {"", "-wal", "-shm"}) {
    const int error = copyFile(databasePath + QLatin1String(suffix), path_ + QLatin1String(suffix));
    if (error == 0 || (error == ENOENT && *suffix != '\0')) continue;
    failure_ = QStringLiteral("%1 could not be copied to %2: %3")
                   .arg(databasePath + QLatin1String(suffix), QDir::tempPath(), describeErrno(error));
    return;
  }
}

PrivateDatabaseCopy::~PrivateDatabaseCopy() = default;

bool PrivateDatabaseCopy::hasWalContent(const QString& databasePath) {
  const QFileInfo wal(databasePath + QStringLiteral("-wal"));
  return wal.exists() && (!wal.isFile() || wal.size() > 0);
}

}  // namespace murmela
