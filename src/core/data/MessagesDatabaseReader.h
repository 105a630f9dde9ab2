#pragma once

#include "data/ContactSummary.h"
#include "data/Message.h"
#include "data/PrivateDatabaseCopy.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace murmela {

// How a Messages database is read; the defaults are the application's, tests
// set the rest.
struct DatabaseReadingOptions {
  // Read as where the database's folder cannot be written, whatever it is
  // (a mode bit does not stop root).
  bool folderReadOnly = false;
  // Where private copies go.
  DatabaseCopyOptions copies;
};

// Reads one-to-one conversations from a Messages database (chat.db), strictly
// read-only. The reader is a value that holds the database's path as given
// (and, for tests, how it is read); it keeps nothing between calls, and each
// call below is a reading of its own (see MessagesDatabaseReading, which
// serves several calls from one private copy). The calls block on the disk;
// run them on a worker.
//
// Every call fails at once with the open error for a pipe, a device or a
// socket (never waiting on one) and waits a few seconds for a database that
// another process has locked. The path is resolved first: a symbolic link to
// the file or to its folder is read where it leads, with the "-wal" beside
// the real file. A database in WAL mode whose shared-memory file cannot be
// made beside it (a read-only disk or backup) is read as an immutable file
// when its "-wal" is missing or empty, and otherwise from a private copy with
// its "-wal" (see PrivateDatabaseCopy), so every committed row counts; a copy
// that cannot be made fails the call, saying first what it needs and where.
class MessagesDatabaseReader {
 public:
  // The statement of fetchMessages(), exactly as it is given to SQLite (one
  // "?" parameter: the handle). The reader benchmark runs it too.
  static const char* const kMessagesSQL;

  using Options = DatabaseReadingOptions;

  explicit MessagesDatabaseReader(QString databasePath, Options options = {});

  const QString& databasePath() const { return databasePath_; }
  const Options& options() const { return options_; }

  // The conversation with `handle`, oldest first. Reaction messages are left
  // out; a message without plain text takes its text from the attributed
  // body, and one without either is skipped.
  MessageList fetchMessages(const QString& handle) const;
  // The number of distinct attachments in the one-to-one chats with `handle`.
  qint64 countAttachments(const QString& handle) const;
  // Every partner of a one-to-one chat with at least one counted message,
  // most messages first, without display names.
  QList<ContactSummary> fetchContactSummaries() const;

  // Whether the database opens read-only, the same way every call above opens
  // it (the Full Disk Access probe), its schema readable. Never throws. It
  // makes no copy: where one is needed it answers whether the files a copy
  // reads are readable.
  bool canOpen() const;

  // The reader named by the launch argument "-messagesDB" (its first
  // occurrence) and the argument after it, with a leading tilde expanded; none
  // when the flag is missing or last. The file is not checked.
  static std::optional<MessagesDatabaseReader> launchArgumentOverride(const QStringList& arguments);

 private:
  QString databasePath_;
  Options options_;
};

}  // namespace murmela
