#include "common/FileSystem.h"

#include <QFile>
#include <QFileInfo>

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

QString describe(const std::error_code& error) { return QString::fromLocal8Bit(error.message().c_str()); }

QString lastPathComponent(const QString& path) {
  const QStringList components = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
  return components.isEmpty() ? QString() : components.last();
}

}  // namespace murmela::FileSystem
