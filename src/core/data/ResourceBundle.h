#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace murmela {

// A resource folder: its files are real files, so a child process can be given
// their paths.
class ResourceBundle {
 public:
  explicit ResourceBundle(QString path) : path_(std::move(path)) {}

  const QString& path() const { return path_; }

  // The file `name`.`extension` at the top of the bundle, when it exists.
  std::optional<QString> url(const QString& name, const QString& extension) const;
  // Files at the top of the bundle whose names match one of the wildcard
  // patterns ("*.ttf"), as full paths sorted by file name.
  QStringList files(const QStringList& patterns) const;

 private:
  QString path_;
};

}  // namespace murmela
