#include "data/MessagesDatabaseReading.h"

#include "data/MessagesQueries.h"
#include "data/PrivateDatabaseCopy.h"
#include "data/WrappedDataError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <sqlite3.h>

#include <cstdlib>
#include <memory>

namespace murmela {
namespace {

// Read-only, and one connection safe to use from any thread.
constexpr int kOpenFlags = SQLITE_OPEN_READONLY | SQLITE_OPEN_FULLMUTEX;

// How long a statement waits for a database that another process has locked
// (Messages writing) before it fails as before.
constexpr int kBusyTimeoutMilliseconds = 5000;

struct ConnectionCloser {
  void operator()(sqlite3* database) const { sqlite3_close(database); }
};
using SQLiteConnection = std::unique_ptr<sqlite3, ConnectionCloser>;

std::optional<QString> realPath(const QString& path) {
  char* real = ::realpath(QFile::encodeName(path).constData(), nullptr);
  if (real == nullptr) return std::nullopt;
  QString result = QFile::decodeName(real);
  std::free(real);
  return result;
}

// Where the path leads, as SQLite itself opens it: through a link to the
// file, links to folders on the way, and from the current folder; none when
// it leads nowhere (a missing file). SQLite takes ".." by the text, so
// "missing/../data/chat.db" opens data/chat.db, where the system finds nothing.
std::optional<QString> resolved(const QString& path) {
  if (std::optional<QString> real = realPath(path)) return real;
  return realPath(QDir::cleanPath(QDir::current().absoluteFilePath(path)));
}

// Runs a PRAGMA to its end; a statement that cannot be prepared is skipped
// and step results are not examined.
void runPragma(sqlite3* database, const char* sql) {
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(database, sql, -1, &statement, nullptr) == SQLITE_OK && statement != nullptr) {
    while (sqlite3_step(statement) == SQLITE_ROW) {
    }
  }
  sqlite3_finalize(statement);
}

// The name SQLite is given for `path`: the path itself, or "./" + path for a
// relative path that SQLite would otherwise read as a "file:" URI.
QByteArray sqliteFileName(const QString& path) {
  QByteArray name = QFile::encodeName(path);
  if (name.startsWith("file:")) name.prepend("./");
  return name;
}

// The same file as an immutable database: SQLite reads it without the
// "-shm" and "-wal" files and takes no locks.
QByteArray immutableUri(const QString& path) {
  return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded() + "?immutable=1";
}

// Opens `name` read-only; SQLite's result code, and in `database` the
// connection (which SQLite may hand out even when the open failed).
int openConnection(const QByteArray& name, int extraFlags, SQLiteConnection& database) {
  sqlite3* raw = nullptr;
  const int result = sqlite3_open_v2(name.constData(), &raw, kOpenFlags | extraFlags, nullptr);
  database.reset(raw);
  return result;
}

// Whether a statement can read the schema: a database in WAL mode whose
// "-shm" cannot be opened (a read-only mount) opens, then fails every query.
// Asked before the busy time-out is set: opening never waits for a lock.
int probeSchema(sqlite3* database) {
  sqlite3_stmt* statement = nullptr;
  int result = sqlite3_prepare_v2(database, "SELECT count(*) FROM sqlite_master", -1, &statement, nullptr);
  if (result == SQLITE_OK) result = sqlite3_step(statement) == SQLITE_ROW ? SQLITE_OK : sqlite3_errcode(database);
  sqlite3_finalize(statement);
  return result;
}

[[noreturn]] void openFailed(sqlite3* database) {
  const char* message = database ? sqlite3_errmsg(database) : nullptr;
  throw WrappedDataError::databaseOpenFailed(message ? QString::fromUtf8(message)
                                                     : QStringLiteral("unknown SQLite error"));
}

// A database opened in its own place, and, when its rows can only be read
// from a private copy, the database's own error for that (then there is no
// connection).
struct InPlace {
  SQLiteConnection connection;
  std::optional<QString> needsCopy;
};

// The first step of every call, the probe too, on the resolved path. A pipe,
// a device or a socket is not opened (it would block the open or be read
// without end); SQLite answers the rest. Where the WAL index cannot be made
// beside the database (a read-only folder), a database without WAL content
// is read as an immutable file and one with WAL content needs a private copy:
// read as immutable, it would lose the rows that are only in the WAL.
InPlace openInPlace(const QString& path, bool folderReadOnly) {
  const QFileInfo file(path);
  if (file.exists() && !file.isFile() && !file.isDir())
    throw WrappedDataError::databaseOpenFailed(QString::fromUtf8(sqlite3_errstr(SQLITE_CANTOPEN)));
  InPlace opened;
  if (openConnection(sqliteFileName(path), 0, opened.connection) != SQLITE_OK || !opened.connection)
    openFailed(opened.connection.get());
  const int probe = probeSchema(opened.connection.get());
  if (probe != SQLITE_CANTOPEN && probe != SQLITE_READONLY && !folderReadOnly) return opened;
  if (PrivateDatabaseCopy::hasWalContent(path)) {
    opened.needsCopy = probe == SQLITE_OK ? QString::fromUtf8(sqlite3_errstr(SQLITE_CANTOPEN))
                                          : QString::fromUtf8(sqlite3_errmsg(opened.connection.get()));
    opened.connection.reset();
  } else if (SQLiteConnection immutable;
             openConnection(immutableUri(path), SQLITE_OPEN_URI, immutable) == SQLITE_OK && immutable &&
             probeSchema(immutable.get()) == SQLITE_OK) {
    opened.connection = std::move(immutable);
  }
  return opened;
}

}  // namespace

// One call's connection, and the private copy it reads when it reads one
// (the connection closes first; the copy goes once no call and no reading
// holds it).
struct MessagesDatabaseReading::Connection {
  std::shared_ptr<PrivateDatabaseCopy> copy;
  SQLiteConnection connection;
  sqlite3* get() const { return connection.get(); }
};

MessagesDatabaseReading::MessagesDatabaseReading(MessagesDatabaseReader reader) : reader_(std::move(reader)) {}

MessagesDatabaseReading::~MessagesDatabaseReading() = default;

// A path that leads nowhere yet stays as given, for SQLite to say why, and is
// resolved again by the next call (a retry once the file is there).
QString MessagesDatabaseReading::resolvedPath() {
  std::lock_guard guard(lock_);
  if (!resolved_) resolved_ = resolved(reader_.databasePath());
  return resolved_.value_or(reader_.databasePath());
}

// The reading's private copy, made when there is none or the original has
// changed since, opened as usual; a copy that cannot be made fails the call
// with what stopped it first, then the database's own error.
MessagesDatabaseReading::Connection MessagesDatabaseReading::openPrivateCopy(const QString& path,
                                                                              const QString& databaseError) {
  Connection opened;
  {
    std::lock_guard guard(lock_);
    if (copy_ && !copy_->isCurrent()) copy_.reset();
    if (!copy_) {
      auto made = std::make_shared<PrivateDatabaseCopy>(path, reader_.options().copies);
      if (!made->isValid())
        throw WrappedDataError::databaseOpenFailed(
            made->failure() +
            QStringLiteral(" The database is read from a private copy because its folder cannot be written (") +
            databaseError + QStringLiteral(")."));
      copy_ = std::move(made);
    }
    opened.copy = copy_;
  }
  if (openConnection(sqliteFileName(opened.copy->path()), 0, opened.connection) != SQLITE_OK || !opened.connection)
    openFailed(opened.get());
  return opened;
}

// One connection for one call, in place or from the reading's private copy.
MessagesDatabaseReading::Connection MessagesDatabaseReading::open() {
  const QString path = resolvedPath();
  InPlace inPlace = openInPlace(path, reader_.options().folderReadOnly);
  Connection database;
  if (inPlace.needsCopy) {
    database = openPrivateCopy(path, *inPlace.needsCopy);
  } else {
    database.connection = std::move(inPlace.connection);
  }
  runPragma(database.get(), "PRAGMA query_only = ON");
  runPragma(database.get(), "PRAGMA journal_mode");
  sqlite3_busy_timeout(database.get(), kBusyTimeoutMilliseconds);  // for the statements
  return database;
}

MessageList MessagesDatabaseReading::fetchMessages(const QString& handle) {
  return MessagesQueries::messages(open().get(), handle);
}

qint64 MessagesDatabaseReading::countAttachments(const QString& handle) {
  return MessagesQueries::attachmentCount(open().get(), handle);
}

QList<ContactSummary> MessagesDatabaseReading::fetchContactSummaries() {
  return MessagesQueries::contactSummaries(open().get());
}

bool MessagesDatabaseReading::canOpen() {
  try {
    const QString path = resolvedPath();
    const InPlace inPlace = openInPlace(path, reader_.options().folderReadOnly);
    return !inPlace.needsCopy || PrivateDatabaseCopy::isCopyable(path);
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace murmela
