#pragma once

#include "common/FileDescriptor.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace murmela {

// A folder that holds the user's private files (such as private copies of
// the Messages database), opened as a handle so that nothing is made in,
// listed in or removed from anywhere else: a symbolic link at the folder, or
// at a folder between it and its base, is refused rather than followed (a
// sweep through a link would delete what lies outside), and so is a folder
// that belongs to another user or is open to others.
class PrivateFolder {
 public:
  // `base` (a folder the user chose, such as the cache folder) is followed as
  // it stands, and made when missing when `make`. Each of `names` is then
  // opened in the one before without following a link (O_NOFOLLOW |
  // O_DIRECTORY); when missing it is made (mode 0700) when `make`, else the
  // folder stays closed without a failure.
  static PrivateFolder open(const QString& base, const QStringList& names, bool make);

  bool isOpen() const { return fd_.isOpen(); }
  int fd() const { return fd_.get(); }
  const QString& path() const { return path_; }
  // Why it is not open: sentences that name the folder and say what to do.
  const QString& failure() const { return failure_; }

  // The names of the folder's entries.
  QStringList entries() const;
  // Makes a folder (mode 0700) named `prefix` and six random characters in
  // this one, and returns its name; none, with errno set, when that fails.
  std::optional<QString> makeUniqueFolder(const QString& prefix) const;
  // Opens the folder `name` of this one without following a link.
  FileDescriptor openFolder(const QString& name) const;
  // Removes `name` and everything in it, never following a link (a link
  // goes, not what it leads to). Failures are ignored.
  void remove(const QString& name) const;

 private:
  FileDescriptor fd_;
  QString path_;
  QString failure_;
};

}  // namespace murmela
