#include "common/PrivateFolder.h"

#include "common/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace murmela {
namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// Why the folder just opened at `path` may not hold private files, or empty.
QString unfitness(int fd, const QString& path) {
  struct stat info {};
  if (::fstat(fd, &info) != 0)
    return QStringLiteral("The folder %1 could not be read: %2.").arg(path, FileSystem::describeErrno(errno));
  if (info.st_uid != ::geteuid())
    return QStringLiteral("The folder %1 belongs to another user. Remove it; it is made again as yours alone.")
        .arg(path);
  if ((info.st_mode & 077) != 0)
    return QStringLiteral("The folder %1 is open to other users (mode %2). Make it yours alone (chmod 700 %1) or "
                          "remove it; it is made again as yours alone.")
        .arg(path, QString::number(info.st_mode & 07777, 8).rightJustified(4, QLatin1Char('0')));
  return {};
}

}  // namespace

PrivateFolder PrivateFolder::open(const QString& base, const QStringList& names, bool make) {
  PrivateFolder folder;
  folder.path_ = base;
  if (make) FileSystem::createPrivateFolders(base);
  folder.fd_.reset(::open(QFile::encodeName(base).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!folder.fd_.isOpen()) {
    if (make || errno != ENOENT)
      folder.failure_ =
          QStringLiteral("The folder %1 could not be opened: %2.").arg(base, FileSystem::describeErrno(errno));
    return folder;
  }
  for (const QString& name : names) {
    folder.path_ = QDir(folder.path_).filePath(name);
    const QByteArray encoded = QFile::encodeName(name);
    bool made = false;
    FileDescriptor next(::openat(folder.fd_.get(), encoded.constData(), kFolderFlags));
    if (!next.isOpen() && errno == ENOENT && make) {
      made = ::mkdirat(folder.fd_.get(), encoded.constData(), 0700) == 0;
      if (!made && errno != EEXIST) {
        folder.failure_ = QStringLiteral("The folder %1 could not be made: %2.")
                              .arg(folder.path_, FileSystem::describeErrno(errno));
        folder.fd_.reset();
        return folder;
      }
      next.reset(::openat(folder.fd_.get(), encoded.constData(), kFolderFlags));
    }
    if (!next.isOpen()) {
      const int error = errno;
      struct stat entry {};
      if ((error == ELOOP || error == ENOTDIR) &&
          ::fstatat(folder.fd_.get(), encoded.constData(), &entry, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(entry.st_mode)) {
        folder.failure_ = QStringLiteral("The folder %1 is a symbolic link, and private files are kept only in a "
                                         "folder of your own. Remove the link; the folder is made again.")
                              .arg(folder.path_);
      } else if (error == ENOTDIR) {
        folder.failure_ = QStringLiteral("%1 is not a folder. Remove it; the folder is made again.").arg(folder.path_);
      } else if (make || error != ENOENT) {
        folder.failure_ = QStringLiteral("The folder %1 could not be opened: %2.")
                              .arg(folder.path_, FileSystem::describeErrno(error));
      }
      folder.fd_.reset();
      return folder;
    }
    folder.fd_ = std::move(next);
    if (made) ::fchmod(folder.fd_.get(), 0700);  // whatever the umask left of it
    if (QString unfit = unfitness(folder.fd_.get(), folder.path_); !unfit.isEmpty()) {
      folder.failure_ = std::move(unfit);
      folder.fd_.reset();
      return folder;
    }
  }
  return folder;
}

QStringList PrivateFolder::entries() const { return isOpen() ? FileSystem::entriesAt(fd_.get()) : QStringList(); }

std::optional<QString> PrivateFolder::makeUniqueFolder(const QString& prefix) const {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  for (int attempt = 0; attempt < 100; ++attempt) {
    QString name = prefix;
    for (int i = 0; i < 6; ++i) name += QLatin1Char(kLetters[QRandomGenerator::global()->bounded(62)]);
    const QByteArray encoded = QFile::encodeName(name);
    if (::mkdirat(fd_.get(), encoded.constData(), 0700) == 0) {
      ::fchmodat(fd_.get(), encoded.constData(), 0700, 0);  // whatever the umask left of it
      return name;
    }
    if (errno != EEXIST) return std::nullopt;
  }
  return std::nullopt;
}

FileDescriptor PrivateFolder::openFolder(const QString& name) const {
  return FileDescriptor(::openat(fd_.get(), QFile::encodeName(name).constData(), kFolderFlags));
}

void PrivateFolder::remove(const QString& name) const {
  if (isOpen()) FileSystem::removeTreeAt(fd_.get(), name);
}

}  // namespace murmela
