#include "data/ResourceBundle.h"

#include <QDir>
#include <QFileInfo>

namespace murmela {

std::optional<QString> ResourceBundle::url(const QString& name, const QString& extension) const {
  if (name.isEmpty()) return std::nullopt;
  const QString fileName = extension.isEmpty() ? name : name + QLatin1Char('.') + extension;
  if (fileName.contains(QLatin1Char('/'))) return std::nullopt;
  const QString path = QDir(path_).filePath(fileName);
  if (!QFileInfo(path).isFile()) return std::nullopt;
  return path;
}

QStringList ResourceBundle::files(const QStringList& patterns) const {
  const QDir dir(path_);
  QStringList paths;
  for (const QString& entry : dir.entryList(patterns, QDir::Files, QDir::Name)) paths.append(dir.filePath(entry));
  return paths;
}

}  // namespace murmela
