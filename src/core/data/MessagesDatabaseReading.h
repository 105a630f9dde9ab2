#pragma once

#include "data/MessagesDatabaseReader.h"

#include <QString>

#include <memory>
#include <mutex>
#include <optional>

namespace murmela {

// One reading of a Messages database: the calls that serve one picker's list
// and the run that follows it. The database is read where it really is: the
// reader's path is resolved once, at the reading's first call (a symbolic link
// to the file or to its folder, a relative path), and the "-wal" that counts
// is the one beside the real file. Where the database can only be read from a
// private copy, the first call that needs one makes it and the later calls
// share it (a copy is made anew when the original's files change); the copy
// goes with the reading, once no call still reads it. Calls may come from
// several threads at once; each blocks on the disk.
class MessagesDatabaseReading {
 public:
  // Touches nothing.
  explicit MessagesDatabaseReading(MessagesDatabaseReader reader);
  ~MessagesDatabaseReading();
  MessagesDatabaseReading(const MessagesDatabaseReading&) = delete;
  MessagesDatabaseReading& operator=(const MessagesDatabaseReading&) = delete;

  // As MessagesDatabaseReader's calls of the same names, within this reading.
  MessageList fetchMessages(const QString& handle);
  qint64 countAttachments(const QString& handle);
  QList<ContactSummary> fetchContactSummaries();
  bool canOpen();

 private:
  struct Connection;
  Connection open();
  Connection openPrivateCopy(const QString& path, const QString& databaseError);
  QString resolvedPath();

  const MessagesDatabaseReader reader_;
  std::mutex lock_;
  std::optional<QString> resolved_;
  std::shared_ptr<PrivateDatabaseCopy> copy_;
};

}  // namespace murmela
