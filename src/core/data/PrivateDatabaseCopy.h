#pragma once

#include "common/AppPaths.h"
#include "common/FileDescriptor.h"
#include "common/OwnerLock.h"
#include "common/PrivateFolder.h"

#include <QString>

#include <optional>

#include <sys/stat.h>
#include <sys/types.h>

namespace murmela {

// Where private copies of a database go and how their owner is told; tests
// point them at folders and locks of their own.
struct DatabaseCopyOptions {
  // The application's cache folder ("murmela-app"): the copies are in its
  // folder "database-copies". None: no copy can be made.
  std::optional<QString> cacheFolder = AppPaths::cacheFolder();
  LockCall lock = kSystemLock;
};

// A copy of a SQLite database with its "-wal" file (when there is one), for
// reading a database in WAL mode whose own folder cannot take the WAL index:
// reading the copy counts exactly what reading the original in a writable
// folder counts, since SQLite builds the index beside the copy from the WAL.
// It is given the real file (links resolved): the "-wal" it copies is the
// one beside that file.
//
// Each copy has a folder of its own, mode 0700, named
// "murmela-database-<pid>-<random>" in the "database-copies" folder of the
// application's cache folder (disk-backed and the user's own, where the
// temporary folder is often memory shared by the whole system). Both folders
// are opened without following a link and must be the user's alone. The
// owner holds a lock on the folder's "owner.lock" for the copy's whole life,
// so a later start can tell the copies of a process that is gone from those
// in use, and remove them; where the file system has no locks the copy goes
// on without one, and the process id in its name tells. The folder goes when
// the copy goes.
class PrivateDatabaseCopy {
 public:
  using Options = DatabaseCopyOptions;

  // Copies the files after checking that there is room for them; when a copy
  // cannot be made, isValid() is false, nothing is left behind, and failure()
  // says why, naming the file or the folder, and what to do.
  explicit PrivateDatabaseCopy(const QString& databasePath, const Options& options = {});
  ~PrivateDatabaseCopy();
  PrivateDatabaseCopy(const PrivateDatabaseCopy&) = delete;
  PrivateDatabaseCopy& operator=(const PrivateDatabaseCopy&) = delete;

  bool isValid() const { return failure_.isEmpty(); }
  // Sentences: what stopped the copy (for want of room: what it needs, where,
  // and what is free), then what to do.
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
  static std::optional<QString> copiesFolder(const Options& options = {});

  enum class Leftovers {
    // The copies of processes that are gone (a crash, a kill), at a start.
    abandoned,
    // Those and this process's own (Reset App).
    includingOwn,
  };
  // Removes copies; those of other running processes stay. Nothing is
  // removed through a link, nor from a folder that is not the user's alone.
  // Folders that earlier versions left in the temporary folder go too, once
  // they are a while old. Never fails.
  static void removeLeftovers(Leftovers which, const Options& options = {});

 private:
  struct Stamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    qint64 modifiedNanoseconds = 0;
  };
  struct Sources;
  static Stamp stampOf(const QString& path);
  static Stamp stampOf(const struct stat& info);
  // The three steps of a copy; each sets failure_ when it stops it.
  bool check(Sources& sources);
  bool place(const Sources& sources, const Options& options);
  void copyFiles(Sources& sources);

  void removeOwnFolder();

  QString source_;
  PrivateFolder copies_;   // the folder of the copies
  QString folderName_;     // this copy's folder in it
  FileDescriptor folder_;  // open
  FileDescriptor lock_;    // held for the copy's life (unless the file system has no locks)
  QString path_;
  QString failure_;
  Stamp stamps_[2];  // the database file and its "-wal", as copied
};

}  // namespace murmela
