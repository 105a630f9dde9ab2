#include "common/FileSystem.h"

#include <QFile>
#include <QFileInfo>

#include "common/FileDescriptor.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace murmela::FileSystem {

namespace fs = std::filesystem;

fs::path fsPath(const QString& path) { return fs::path(QFile::encodeName(path).toStdString()); }

bool itemExists(const QString& path) {
  std::error_code ignored;
  return fs::exists(fs::symlink_status(fsPath(path), ignored));
}

bool isExecutableFile(const QString& path) {
  const QFileInfo info(path);
  return info.isFile() && info.isExecutable();
}

void removeQuietly(const QString& path) {
  std::error_code ignored;
  fs::remove_all(fsPath(path), ignored);
}

std::error_code createFolders(const QString& path) {
  std::error_code error;
  fs::create_directories(fsPath(path), error);
  return error;
}

std::error_code createPrivateFolders(const QString& path) {
  std::error_code error;
  const fs::path target = fsPath(path);
  if (fs::is_directory(target, error)) return {};
  // Parents first, each new one made 0700 (mkdir's mode is cut by the umask:
  // set it again once made).
  if (target.has_relative_path() && target.has_parent_path() && target.parent_path() != target) {
    if (const std::error_code parent = createPrivateFolders(QFile::decodeName(target.parent_path().c_str())))
      return parent;
  }
  if (::mkdir(target.c_str(), 0700) != 0) {
    const int failure = errno;
    if (failure == EEXIST && fs::is_directory(target, error)) return {};
    return {failure, std::generic_category()};
  }
  ::chmod(target.c_str(), 0700);
  return {};
}

QStringList entriesAt(int fd) {
  QStringList names;
  DIR* listing = ::fdopendir(::dup(fd));  // takes the duplicate
  if (listing == nullptr) return names;
  while (const dirent* entry = ::readdir(listing)) {
    const QByteArray name(entry->d_name);
    if (name != "." && name != "..") names.append(QFile::decodeName(name));
  }
  ::closedir(listing);
  return names;
}

void removeTreeAt(int parent, const QString& name) {
  const QByteArray encoded = QFile::encodeName(name);
  if (::unlinkat(parent, encoded.constData(), 0) == 0 || errno != EISDIR) return;  // a file or a link
  {
    const FileDescriptor folder(::openat(parent, encoded.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!folder.isOpen()) return;
    for (const QString& entry : entriesAt(folder.get())) removeTreeAt(folder.get(), entry);
  }
  ::unlinkat(parent, encoded.constData(), AT_REMOVEDIR);
}

QString describe(const std::error_code& error) { return QString::fromLocal8Bit(error.message().c_str()); }

QString describeErrno(int error) { return describe(std::error_code(error, std::generic_category())); }

QString lastPathComponent(const QString& path) {
  const QStringList components = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
  return components.isEmpty() ? QString() : components.last();
}

}  // namespace murmela::FileSystem
