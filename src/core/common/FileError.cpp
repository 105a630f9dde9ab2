#include "common/FileError.h"

#include "common/FileDescriptor.h"
#include "common/FileSystem.h"
#include "common/UnicodeText.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

namespace murmela {

QString FileError::description() const {
  switch (kind_) {
    case Kind::readFailed:
      return QStringLiteral("The file \"") + path_ + QStringLiteral("\" could not be read") +
             (reason_.isEmpty() ? QString() : QStringLiteral(": ") + reason_) + QLatin1Char('.');
    case Kind::notUtf8:
      return QStringLiteral("The file \"") + path_ + QStringLiteral("\" is not valid UTF-8 text.");
    case Kind::writeFailed:
      return QStringLiteral("The file \"") + path_ + QStringLiteral("\" could not be written") +
             (reason_.isEmpty() ? QString() : QStringLiteral(": ") + reason_) + QLatin1Char('.');
  }
  return path_;
}

QByteArray readFileBytes(const QString& path) {
  if (QFileInfo(path).isDir()) throw FileError(FileError::Kind::readFailed, path, QStringLiteral("it is a folder"));
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) throw FileError(FileError::Kind::readFailed, path, file.errorString());
  QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) throw FileError(FileError::Kind::readFailed, path, file.errorString());
  return bytes;
}

QString readUtf8File(const QString& path) {
  const QByteArray bytes = readFileBytes(path);
  std::optional<QString> text = UnicodeText::strictUtf8(bytes);
  if (!text) throw FileError(FileError::Kind::notUtf8, path);
  return *std::move(text);
}

QByteArray readRegularFile(const QString& path, qint64 maxBytes) {
  const QByteArray name = QFile::encodeName(path);
  const auto failure = [&path](const QString& reason) { return FileError(FileError::Kind::readFailed, path, reason); };
  const auto systemFailure = [&failure](int error) {
    return failure(FileSystem::describeErrno(error));
  };
  const auto unfit = [&](const struct stat& status) -> std::optional<QString> {
    if (!S_ISREG(status.st_mode)) return QStringLiteral("it is not a regular file");
    if (status.st_size > maxBytes) return QStringLiteral("it is larger than %1 bytes").arg(maxBytes);
    return std::nullopt;
  };
  struct stat status {};
  if (::stat(name.constData(), &status) != 0) throw systemFailure(errno);
  if (const std::optional<QString> reason = unfit(status)) throw failure(*reason);
  // Checked again once open: the entry may have been swapped in between.
  const FileDescriptor file = FileDescriptor::openForReading(path);
  if (!file.isOpen()) throw systemFailure(errno);
  if (::fstat(file.get(), &status) != 0) throw systemFailure(errno);
  if (const std::optional<QString> reason = unfit(status)) throw failure(*reason);
  QByteArray bytes;
  char buffer[65536];
  for (;;) {
    const ssize_t count = ::read(file.get(), buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) throw systemFailure(errno);
    if (count == 0) return bytes;
    bytes.append(buffer, count);
    if (bytes.size() > maxBytes) throw failure(QStringLiteral("it is larger than %1 bytes").arg(maxBytes));
  }
}

}  // namespace murmela
