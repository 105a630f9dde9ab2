#include "common/FileLock.h"

#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <cerrno>

namespace murmela {

FileLock::FileLock(const QString& lockFilePath) {
  FileDescriptor fd(::open(QFile::encodeName(lockFilePath).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
  if (!fd.isOpen()) return;
  int result = 0;
  while ((result = ::flock(fd.get(), LOCK_EX)) != 0 && errno == EINTR) {
  }
  if (result == 0) fd_ = std::move(fd);  // closing the last descriptor releases the lock
}

}  // namespace murmela
