#include "common/FileDescriptor.h"

#include <QFile>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace murmela {

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
  if (this != &other) reset(other.release());
  return *this;
}

int FileDescriptor::release() {
  const int fd = fd_;
  fd_ = -1;
  return fd;
}

void FileDescriptor::reset(int fd) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = fd;
}

int FileDescriptor::close() {
  if (fd_ < 0) return 0;
  const int result = ::close(release());
  return result == 0 || errno == EINTR ? 0 : errno;
}

FileDescriptor FileDescriptor::openForReading(const QString& path) {
  return FileDescriptor(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
}

int writeAll(int fd, const char* data, qint64 size) {
  while (size > 0) {
    const ssize_t count = ::write(fd, data, static_cast<size_t>(size));
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return errno;
    if (count == 0) return ENOSPC;
    data += count;
    size -= count;
  }
  return 0;
}

}  // namespace murmela
