#pragma once

#include <QString>

#include <memory>

class QTemporaryDir;

namespace murmela {

// A copy of a SQLite database with its "-wal" and "-shm" files (those that
// exist) in a new folder of the temporary directory that only this user can
// enter (0700). Reading the copy counts exactly what reading the original in a
// writable folder counts: SQLite can make the WAL index beside it. The folder
// and everything in it are removed when the copy goes.
class PrivateDatabaseCopy {
 public:
  // Copies the files; when a copy cannot be made (no room, an unreadable
  // file), isValid() is false and failure() gives the system's reason.
  explicit PrivateDatabaseCopy(const QString& databasePath);
  ~PrivateDatabaseCopy();
  PrivateDatabaseCopy(const PrivateDatabaseCopy&) = delete;
  PrivateDatabaseCopy& operator=(const PrivateDatabaseCopy&) = delete;

  bool isValid() const { return failure_.isEmpty(); }
  const QString& failure() const { return failure_; }
  // The copied database file.
  const QString& path() const { return path_; }

  // Whether `databasePath` has a "-wal" file with content: committed rows
  // that may not be in the database file yet.
  static bool hasWalContent(const QString& databasePath);

 private:
  std::unique_ptr<QTemporaryDir> folder_;
  QString path_;
  QString failure_;
};

}  // namespace murmela
