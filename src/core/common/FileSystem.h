#pragma once

#include <QString>
#include <QStringList>

#include <filesystem>
#include <system_error>

namespace murmela::FileSystem {

std::filesystem::path fsPath(const QString& path);
// Anything at all at the path, a dangling link included.
bool itemExists(const QString& path);
bool isExecutableFile(const QString& path);
// Removes a file or a whole folder; failures are ignored.
void removeQuietly(const QString& path);
// Creates the folder and its parents; an existing folder is no error.
// createFolders gives new folders the usual mode (0777 less the umask);
// createPrivateFolders gives them 0700 whatever the umask, for folders that
// hold the user's data. Existing folders keep their mode.
std::error_code createFolders(const QString& path);
std::error_code createPrivateFolders(const QString& path);
// The names in the open folder `fd` (not "." and "..").
QStringList entriesAt(int fd);
// Removes `name` in the open folder `parent` and everything in it, never
// following a link (a link goes, not what it leads to). Failures are ignored.
void removeTreeAt(int parent, const QString& name);
// The system's text for an error code, or for an errno.
QString describe(const std::error_code& error);
QString describeErrno(int error);
// The last non-empty component of a path ("/a/b.tar.gz/" gives "b.tar.gz").
QString lastPathComponent(const QString& path);

// Removes a file or folder when the scope ends, unless released.
class ScopedRemoval {
 public:
  explicit ScopedRemoval(QString path) : path_(std::move(path)) {}
  ~ScopedRemoval() {
    if (!path_.isEmpty()) removeQuietly(path_);
  }
  ScopedRemoval(const ScopedRemoval&) = delete;
  ScopedRemoval& operator=(const ScopedRemoval&) = delete;
  void release() { path_.clear(); }

 private:
  QString path_;
};

}  // namespace murmela::FileSystem
