#include "common/FileError.h"

#include "common/UnicodeText.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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

void writeFileAtomically(const QString& path, const QByteArray& bytes) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) throw FileError(FileError::Kind::writeFailed, path, file.errorString());
  if (file.write(bytes) != bytes.size()) {
    const QString reason = file.errorString();
    file.cancelWriting();
    throw FileError(FileError::Kind::writeFailed, path, reason);
  }
  if (!file.commit()) throw FileError(FileError::Kind::writeFailed, path, file.errorString());
}

}  // namespace murmela
