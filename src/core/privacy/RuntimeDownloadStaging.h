#pragma once

#include "common/FileDescriptor.h"
#include "common/OwnerLock.h"

#include <QString>

#include <optional>

namespace murmela {

// The file a runtime download is written to before it is moved into place:
// the path it is given (such as "<destination>.download-<UUID>") followed by
// "." and this process's id, created with mode 0600 and locked (flock) for as
// long as it is open. A download killed or crashed runs no cleanup, but its
// lock goes with its process, so a later start can tell such a file from one
// still being written and remove it; where the file system has no locks, the
// download goes on unlocked and the process id in the name tells. Writes go
// straight to the file descriptor, so a failure names its own cause (a full
// disk as such).
class RuntimeDownloadStaging {
 public:
  explicit RuntimeDownloadStaging(QString path, LockCall lock = kSystemLock);
  RuntimeDownloadStaging(const RuntimeDownloadStaging&) = delete;
  RuntimeDownloadStaging& operator=(const RuntimeDownloadStaging&) = delete;

  // The staging file (the given path and the process id).
  const QString& path() const { return path_; }
  const QString& folder() const { return folder_; }

  // Each returns the failure's text, or an empty text on success.
  QString create();
  QString write(const char* data, qint64 size);
  QString close();
  // Closes and removes the file; never fails.
  void discard();

  // The bytes an unprivileged writer can still use on the file system that
  // holds `folder`; absent when the system does not say.
  static std::optional<qint64> freeBytes(const QString& folder);
  // "Not enough free space in <folder>: ..." for `needed` bytes against `free`.
  static QString notEnoughSpace(const QString& folder, qint64 needed, qint64 free);
  // Removes the staging files of `destination` ("<destination>.download-*")
  // that no live download holds; answers how many went.
  static int removeAbandoned(const QString& destination, LockCall lock = kSystemLock);

 private:
  QString describe(int error, const QString& verb) const;

  QString path_;
  QString folder_;
  LockCall lock_;
  FileDescriptor file_;
};

}  // namespace murmela
