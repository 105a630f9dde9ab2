#pragma once

#include "common/MurmelaError.h"

#include <QByteArray>
#include <QString>

namespace murmela {

// A file that could not be read or written, or whose bytes are not the text
// they should be. Raised unwrapped by readers and writers that hand the file
// system's failure on.
class FileError : public MurmelaError {
 public:
  enum class Kind { readFailed, notUtf8, writeFailed };

  FileError(Kind kind, QString path, QString reason = {})
      : kind_(kind), path_(std::move(path)), reason_(std::move(reason)) {}

  Kind kind() const { return kind_; }
  const QString& path() const { return path_; }
  const QString& reason() const { return reason_; }

  QString typeName() const override { return QStringLiteral("FileError"); }
  QString description() const override;
  int code() const override { return static_cast<int>(kind_) + 1; }

 private:
  Kind kind_;
  QString path_;
  QString reason_;
};

// The whole file as bytes; throws FileError(readFailed) with the system's reason.
QByteArray readFileBytes(const QString& path);
// The whole file as strictly decoded UTF-8 text; throws FileError(readFailed) or
// FileError(notUtf8). A leading byte-order mark is dropped.
QString readUtf8File(const QString& path);
// The whole of a regular file of at most `maxBytes`, read without waiting on
// anything else: a pipe, a device, a socket or a link to one is never opened.
// Throws FileError(readFailed) for those, for a larger file and for a failed
// read.
QByteArray readRegularFile(const QString& path, qint64 maxBytes);

}  // namespace murmela
