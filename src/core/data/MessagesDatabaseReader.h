#pragma once

#include "data/ContactSummary.h"
#include "data/Message.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace murmela {

// Reads one-to-one conversations from a Messages database (chat.db), strictly
// read-only. Every call opens its own connection and closes it before
// returning, so one reader may serve several threads at once. Where the
// database has to be read from a private copy (see canOpen()), the calls of
// one reading (the picker's list, then the run's messages and attachments)
// share one copy, made by the first of them and kept until endReading(); the
// copies of a reader share it too. The calls block on the disk; run them on a
// worker.
class MessagesDatabaseReader {
 public:
  // The statement of fetchMessages(), exactly as it is given to SQLite (one
  // "?" parameter: the handle). The reader benchmark runs it too.
  static const char* const kMessagesSQL;

  // The private copy of one reading; opaque.
  struct Reading;

  explicit MessagesDatabaseReader(QString databasePath);

  const QString& databasePath() const { return databasePath_; }

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
  // it (the Full Disk Access probe), its schema readable. Never throws.
  //
  // Every call fails at once with the open error for a pipe, a device or a
  // socket (never waiting on one) and waits a few seconds for a database that
  // another process has locked. A database in WAL mode whose shared-memory
  // file cannot be made beside it (a read-only disk or backup) is read as an
  // immutable file when its "-wal" is missing or empty, and otherwise from a
  // private copy with its "-wal" (see PrivateDatabaseCopy), so every committed
  // row counts; a copy that cannot be made fails the call. This probe makes
  // no copy: there it answers whether the files a copy reads are readable.
  bool canOpen() const;

  // Ends the reading: its private copy is removed once no call reads it. The
  // next call that needs one makes a new copy. A copy is also made anew when
  // the original's files change.
  void endReading();

  // Tests: every call reads through the private copy, as where the folder of
  // the database cannot be written (a mode bit does not stop root).
  static void setAlwaysReadsCopyForTesting(bool always);

  // The reader named by the launch argument "-messagesDB" (its first
  // occurrence) and the argument after it, with a leading tilde expanded; none
  // when the flag is missing or last. The file is not checked.
  static std::optional<MessagesDatabaseReader> launchArgumentOverride(const QStringList& arguments);

 private:
  QString databasePath_;
  std::shared_ptr<Reading> reading_;
};

}  // namespace murmela
