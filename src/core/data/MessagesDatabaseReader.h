#pragma once

#include "data/ContactSummary.h"
#include "data/Message.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace murmela {

// Reads one-to-one conversations from a Messages database (chat.db), strictly
// read-only. Holds only the path: every call opens its own connection and
// closes it before returning, so one reader may serve several threads at once.
// The calls block on the disk; run them on a worker.
class MessagesDatabaseReader {
 public:
  // The statement of fetchMessages(), exactly as it is given to SQLite (one
  // "?" parameter: the handle). The reader benchmark runs it too.
  static const char* const kMessagesSQL;

  explicit MessagesDatabaseReader(QString databasePath) : databasePath_(std::move(databasePath)) {}

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
  // socket (never waiting on one), waits a few seconds for a database that
  // another process has locked, and reads a database in WAL mode whose
  // shared-memory file cannot be opened (a read-only copy) as an immutable
  // file instead.
  bool canOpen() const;

  // The reader named by the launch argument "-messagesDB" (its first
  // occurrence) and the argument after it, with a leading tilde expanded; none
  // when the flag is missing or last. The file is not checked.
  static std::optional<MessagesDatabaseReader> launchArgumentOverride(const QStringList& arguments);

 private:
  QString databasePath_;
};

}  // namespace murmela
