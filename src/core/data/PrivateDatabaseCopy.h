#pragma once

#include <QString>

#include <optional>

#include <sys/types.h>

namespace murmela {

// A copy of a SQLite database with its "-wal" file (when there is one), for
// reading a database in WAL mode whose own folder cannot take the WAL index:
// reading the copy counts exactly what reading the original in a writable
// folder counts, since SQLite builds the index beside the copy from the WAL.
//
// Each copy has a folder of its own, mode 0700, named
// "murmela-database-<pid>-<random>" in the "database-copies" folder of the
// application's cache folder (disk-backed and the user's own, where the
// temporary folder is often memory shared by the whole system). The owner
// holds a lock on the folder's "owner.lock" for the copy's whole life, so a
// later start can tell the copies of a process that is gone from those in
// use, and remove them. The folder goes when the copy goes.
class PrivateDatabaseCopy {
 public:
  // Copies the files after checking that there is room for them; when a copy
  // cannot be made, isValid() is false, nothing is left behind, and failure()
  // says why, naming the file or the folder.
  explicit PrivateDatabaseCopy(const QString& databasePath);
  ~PrivateDatabaseCopy();
  PrivateDatabaseCopy(const PrivateDatabaseCopy&) = delete;
  PrivateDatabaseCopy& operator=(const PrivateDatabaseCopy&) = delete;

  bool isValid() const { return failure_.isEmpty(); }
  // A clause to follow "… and ": what stopped the copy.
  const QString& failure() const { return failure_; }
  // The copied database file.
  const QString& path() const { return path_; }
  // Whether the copy is still there and the original's files are still those
  // that were copied (same files, sizes and modification times).
  bool isCurrent() const;

  // Whether `databasePath` has a "-wal" file with content: committed rows
  // that may not be in the database file yet.
  static bool hasWalContent(const QString& databasePath);
  // Whether a copy could read the database: it and its "-wal" (when there is
  // one) are regular files that open for reading, and the database file
  // starts as a SQLite database does. Copies nothing.
  static bool isCopyable(const QString& databasePath);

  // The folder that holds the copies; absent without a cache folder.
  static std::optional<QString> copiesFolder();

  enum class Leftovers {
    // The copies of processes that are gone (a crash, a kill), at a start.
    abandoned,
    // Those and this process's own (Reset App).
    includingOwn,
  };
  // Removes copies; those of other running processes stay. Folders that
  // earlier versions left in the temporary folder go too, once they are a
  // while old. Never fails.
  static void removeLeftovers(Leftovers which);

 private:
  struct Stamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    qint64 modifiedNanoseconds = 0;
  };
  static Stamp stampOf(const QString& path);
  void copy(const QString& databasePath, const QString& folder);

  QString source_;
  QString folder_;
  QString path_;
  QString failure_;
  Stamp stamps_[2];  // the database file and its "-wal", as copied
  int lock_ = -1;
};

}  // namespace murmela
