#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace murmela {

// An open file descriptor, closed when it goes; it moves, never copies.
class FileDescriptor {
 public:
  FileDescriptor() = default;
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() { reset(); }
  FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.release()) {}
  FileDescriptor& operator=(FileDescriptor&& other) noexcept;
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;

  int get() const { return fd_; }
  bool isOpen() const { return fd_ >= 0; }
  int release();
  void reset(int fd = -1);
  // Closes now: 0, or the errno of a failed close. A written file is only
  // written once it closed: some file systems (NFS among them) report a failed
  // write here. An interrupted close has closed.
  int close();

  // `path` opened for reading without waiting on it (a pipe would wait for a
  // writer) and without making it the controlling terminal; not open, with
  // errno set, when that fails.
  static FileDescriptor openForReading(const QString& path);

 private:
  int fd_ = -1;
};

// Writes every byte to `fd`, again after an interruption: 0, or the errno of
// the write that failed (ENOSPC for a write that took nothing).
int writeAll(int fd, const char* data, qint64 size);
inline int writeAll(int fd, const QByteArray& bytes) { return writeAll(fd, bytes.constData(), bytes.size()); }

}  // namespace murmela
