#pragma once

#include "common/FileDescriptor.h"

#include <QString>

namespace murmela {

// An exclusive lock that every process takes on the same lock file (flock),
// held until the object goes; it waits while another holder has it. The lock
// file is made when missing and left in place. Where it cannot be made (no
// folder, no permission) nothing is held, and locked() says so.
class FileLock {
 public:
  explicit FileLock(const QString& lockFilePath);
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  bool locked() const { return fd_.isOpen(); }

 private:
  FileDescriptor fd_;
};

}  // namespace murmela
