#include "common/FileLock.h"

#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <cerrno>

namespace murmela {

FileLock::FileLock(const QString& lockFilePath) {
  const int fd = ::open(QFile::encodeName(lockFilePath).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return;
  int result = 0;
  while ((result = ::flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
  }
  if (result != 0) {
    ::close(fd);
    return;
  }
  fd_ = fd;
}

FileLock::~FileLock() {
  if (fd_ >= 0) ::close(fd_);  // closing the last descriptor releases the lock
}

}  // namespace murmela
