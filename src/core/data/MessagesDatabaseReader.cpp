#include "data/MessagesDatabaseReader.h"

#include "common/PathExpansion.h"
#include "common/UnicodeText.h"
#include "data/AttributedBodyDecoder.h"
#include "data/PrivateDatabaseCopy.h"
#include "data/SQLiteStatement.h"
#include "data/WrappedDataError.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>

namespace murmela {

namespace {

// The texts joined into one, at compile time.
template <std::size_t... N>
constexpr auto joined(const char (&... parts)[N]) {
  std::array<char, (N + ...) - sizeof...(N) + 1> text{};
  std::size_t at = 0;
  ((std::copy_n(parts, N - 1, text.begin() + at), at += N - 1), ...);
  return text;  // the last zero stays
}

// Which messages count, said once so that the picker's counts and the
// conversation the run reads always agree: plain text that is not blank and
// not a reaction, or an attributed body instead.
constexpr char kCountedMessage[] = R"sql(  AND (
    (
      m.text IS NOT NULL
      AND TRIM(m.text) != ''
      AND m.text NOT LIKE 'Loved "%'
      AND m.text NOT LIKE 'Liked "%'
      AND m.text NOT LIKE 'Disliked "%'
      AND m.text NOT LIKE 'Laughed at "%'
      AND m.text NOT LIKE 'Emphasized "%'
      AND m.text NOT LIKE 'Questioned "%'
    )
    OR (
      (m.text IS NULL OR TRIM(m.text) = '')
      AND m.attributedBody IS NOT NULL
    )
  )
)sql";

// The three statements go to SQLite exactly as they stand here, joined.
constexpr auto kMessagesText =
    joined(R"sql(SELECT DISTINCT m.ROWID, m.text, m.date, m.is_from_me, h.id, m.attributedBody
FROM chat c
JOIN chat_handle_join chj ON chj.chat_id = c.ROWID
JOIN handle h ON h.ROWID = chj.handle_id
JOIN chat_message_join cmj ON cmj.chat_id = c.ROWID
JOIN message m ON m.ROWID = cmj.message_id
WHERE c.style = 45
  AND h.id = ?
)sql",
           kCountedMessage, R"sql(ORDER BY m.date ASC)sql");

}  // namespace

const char* const MessagesDatabaseReader::kMessagesSQL = kMessagesText.data();

namespace {

const char* const kAttachmentCountSQL = R"sql(SELECT COUNT(DISTINCT a.ROWID)
FROM chat c
JOIN chat_handle_join chj ON chj.chat_id = c.ROWID
JOIN handle h ON h.ROWID = chj.handle_id
JOIN chat_message_join cmj ON cmj.chat_id = c.ROWID
JOIN message m ON m.ROWID = cmj.message_id
JOIN message_attachment_join maj ON maj.message_id = m.ROWID
JOIN attachment a ON a.ROWID = maj.attachment_id
WHERE c.style = 45
  AND h.id = ?)sql";

constexpr auto kContactSummariesText = joined(R"sql(SELECT h.id, COUNT(m.ROWID), MIN(m.date), MAX(m.date)
FROM chat c
JOIN chat_handle_join chj ON chj.chat_id = c.ROWID
JOIN handle h ON h.ROWID = chj.handle_id
JOIN chat_message_join cmj ON cmj.chat_id = c.ROWID
JOIN message m ON m.ROWID = cmj.message_id
WHERE c.style = 45
  AND h.id IS NOT NULL
)sql",
                                              kCountedMessage, R"sql(GROUP BY h.id
ORDER BY COUNT(m.ROWID) DESC)sql");
const char* const kContactSummariesSQL = kContactSummariesText.data();

// Read-only, and one connection safe to use from any thread.
constexpr int kOpenFlags = SQLITE_OPEN_READONLY | SQLITE_OPEN_FULLMUTEX;

struct ConnectionCloser {
  void operator()(sqlite3* database) const { sqlite3_close(database); }
};
using Connection = std::unique_ptr<sqlite3, ConnectionCloser>;

// One call's connection, and the private copy it reads when it reads one
// (the connection closes first; the copy goes once no call and no reading
// holds it).
struct OpenDatabase {
  std::shared_ptr<PrivateDatabaseCopy> copy;
  Connection connection;
  sqlite3* get() const { return connection.get(); }
};

std::atomic<bool> alwaysCopy{false};

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

// How long a statement waits for a database that another process has locked
// (Messages writing) before it fails as before.
constexpr int kBusyTimeoutMilliseconds = 5000;

// The same file as an immutable database: SQLite reads it without the
// "-shm" and "-wal" files and takes no locks.
QByteArray immutableUri(const QString& path) {
  return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded() + "?immutable=1";
}

// Opens `name` read-only; SQLite's result code, and in `database` the
// connection (which SQLite may hand out even when the open failed).
int openConnection(const QByteArray& name, int extraFlags, Connection& database) {
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
  Connection connection;
  std::optional<QString> needsCopy;
};

// The first step of every call, the probe too. A pipe, a device or a socket is
// not opened (it would block the open or be read without end); SQLite answers
// the rest. Where the WAL index cannot be made beside the database (a
// read-only folder), a database without WAL content is read as an immutable
// file and one with WAL content needs a private copy: read as immutable, it
// would lose the rows that are only in the WAL.
InPlace openInPlace(const QString& path) {
  const QFileInfo file(path);
  if (file.exists() && !file.isFile() && !file.isDir())
    throw WrappedDataError::databaseOpenFailed(QString::fromUtf8(sqlite3_errstr(SQLITE_CANTOPEN)));
  InPlace opened;
  if (openConnection(sqliteFileName(path), 0, opened.connection) != SQLITE_OK || !opened.connection)
    openFailed(opened.connection.get());
  const int probe = probeSchema(opened.connection.get());
  if (probe != SQLITE_CANTOPEN && probe != SQLITE_READONLY && !alwaysCopy.load()) return opened;
  if (PrivateDatabaseCopy::hasWalContent(path)) {
    opened.needsCopy = probe == SQLITE_OK ? QString::fromUtf8(sqlite3_errstr(SQLITE_CANTOPEN))
                                          : QString::fromUtf8(sqlite3_errmsg(opened.connection.get()));
    opened.connection.reset();
  } else if (Connection immutable; openConnection(immutableUri(path), SQLITE_OPEN_URI, immutable) == SQLITE_OK &&
                                   immutable && probeSchema(immutable.get()) == SQLITE_OK) {
    opened.connection = std::move(immutable);
  }
  return opened;
}

}  // namespace

// The private copy of one reading, shared by the reader's calls (and by the
// copies of the reader) until endReading().
struct MessagesDatabaseReader::Reading {
  std::mutex lock;
  std::shared_ptr<PrivateDatabaseCopy> copy;
};

namespace {

// The reading's private copy, made when there is none or the original has
// changed since, opened as usual; a copy that cannot be made fails the call
// with the database's own error and what stopped the copy.
OpenDatabase openPrivateCopy(const QString& path, const QString& databaseError,
                             MessagesDatabaseReader::Reading& reading) {
  OpenDatabase opened;
  {
    std::lock_guard guard(reading.lock);
    if (reading.copy && !reading.copy->isCurrent()) reading.copy.reset();
    if (!reading.copy) {
      auto made = std::make_shared<PrivateDatabaseCopy>(path);
      if (!made->isValid())
        throw WrappedDataError::databaseOpenFailed(
            databaseError + QStringLiteral(" (its folder cannot be written, so it is read from a private copy, and ") +
            made->failure() + QStringLiteral(")"));
      reading.copy = std::move(made);
    }
    opened.copy = reading.copy;
  }
  if (openConnection(sqliteFileName(opened.copy->path()), 0, opened.connection) != SQLITE_OK || !opened.connection)
    openFailed(opened.get());
  return opened;
}

// One connection for one call, in place or from the reading's private copy.
OpenDatabase openDatabase(const QString& path, MessagesDatabaseReader::Reading& reading) {
  InPlace inPlace = openInPlace(path);
  OpenDatabase database;
  if (inPlace.needsCopy) {
    database = openPrivateCopy(path, *inPlace.needsCopy, reading);
  } else {
    database.connection = std::move(inPlace.connection);
  }
  runPragma(database.get(), "PRAGMA query_only = ON");
  runPragma(database.get(), "PRAGMA journal_mode");
  sqlite3_busy_timeout(database.get(), kBusyTimeoutMilliseconds);  // for the statements
  return database;
}

}  // namespace

MessagesDatabaseReader::MessagesDatabaseReader(QString databasePath)
    : databasePath_(std::move(databasePath)), reading_(std::make_shared<Reading>()) {}

void MessagesDatabaseReader::endReading() {
  std::shared_ptr<PrivateDatabaseCopy> released;
  {
    std::lock_guard guard(reading_->lock);
    released.swap(reading_->copy);
  }
}

void MessagesDatabaseReader::setAlwaysReadsCopyForTesting(bool always) { alwaysCopy.store(always); }

namespace {

// A handle is the same on every row of a conversation: keep one shared copy
// instead of decoding a new string per row.
class HandleCache {
 public:
  const QString& get(const char* utf8) {
    const size_t length = std::strlen(utf8);
    if (!valid_ || bytes_.size() != static_cast<qsizetype>(length) ||
        std::memcmp(bytes_.constData(), utf8, length) != 0) {
      bytes_ = QByteArray(utf8, static_cast<qsizetype>(length));
      text_ = UnicodeText::utf8KeepingLeadingFeff(bytes_);
      valid_ = true;
    }
    return text_;
  }

 private:
  bool valid_ = false;
  QByteArray bytes_;
  QString text_;
};

}  // namespace

MessageList MessagesDatabaseReader::fetchMessages(const QString& handle) const {
  const OpenDatabase database = openDatabase(databasePath_, *reading_);
  MessageList messages;
  SQLiteStatement statement(database.get(), kMessagesSQL);
  statement.bind(handle, 1);
  HandleCache handles;
  while (statement.step()) {
    const char* handleText = statement.cStringAt(4);
    if (handleText == nullptr) continue;

    const char* plain = statement.cStringAt(1);
    // A text that starts with U+FEFF keeps it, as the attributed-body road does.
    QString text = plain ? UnicodeText::utf8KeepingLeadingFeff(plain).trimmed() : QString();
    if (text.isEmpty()) {
      const QByteArrayView body = statement.blobAt(5);
      if (body.isEmpty()) continue;
      std::optional<QString> recovered = AttributedBodyDecoder::plainString(body);
      if (!recovered) continue;
      text = std::move(*recovered).trimmed();
      if (text.isEmpty()) continue;
    }

    messages.append(Message{statement.int64At(0), std::move(text), Date::fromMessagesNanoseconds(statement.int64At(2)),
                            statement.intAt(3) == 1, handles.get(handleText), false});
  }
  return messages;
}

qint64 MessagesDatabaseReader::countAttachments(const QString& handle) const {
  const OpenDatabase database = openDatabase(databasePath_, *reading_);
  SQLiteStatement statement(database.get(), kAttachmentCountSQL);
  statement.bind(handle, 1);
  return statement.step() ? statement.int64At(0) : 0;
}

QList<ContactSummary> MessagesDatabaseReader::fetchContactSummaries() const {
  const OpenDatabase database = openDatabase(databasePath_, *reading_);
  QList<ContactSummary> summaries;
  SQLiteStatement statement(database.get(), kContactSummariesSQL);
  while (statement.step()) {
    // A handle is asked for again by its text: one stored as something no
    // text binds to (bytes that are not UTF-8, a NUL inside, not text at all)
    // would be listed with messages that reading then never finds, so such a
    // partner is left out.
    if (!statement.isTextAt(0)) continue;
    const QByteArrayView stored = statement.blobAt(0);
    if (stored.contains('\0')) continue;
    std::optional<QString> handle = UnicodeText::strictUtf8(stored, true);
    if (!handle) continue;
    summaries.append(ContactSummary{*std::move(handle), std::nullopt, statement.int64At(1),
                                    Date::fromMessagesNanoseconds(statement.int64At(2)),
                                    Date::fromMessagesNanoseconds(statement.int64At(3))});
  }
  return summaries;
}

bool MessagesDatabaseReader::canOpen() const {
  try {
    const InPlace inPlace = openInPlace(databasePath_);
    return !inPlace.needsCopy || PrivateDatabaseCopy::isCopyable(databasePath_);
  } catch (const std::exception&) {
    return false;
  }
}

std::optional<MessagesDatabaseReader> MessagesDatabaseReader::launchArgumentOverride(const QStringList& arguments) {
  const qsizetype flag = arguments.indexOf(QStringLiteral("-messagesDB"));
  if (flag < 0 || flag + 1 >= arguments.size()) return std::nullopt;
  return MessagesDatabaseReader(expandingTildeInPath(arguments.at(flag + 1)));
}

}  // namespace murmela
