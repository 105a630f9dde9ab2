#include "support/FixtureDatabaseBuilder.h"

#include <QFile>

#include <sqlite3.h>

#include <stdexcept>

namespace murmela::test {

namespace {

// The tables and columns of a Messages database that the reader names, with a
// few of the neighbouring columns and the indexes a real database has.
constexpr const char* kSchema = R"sql(
CREATE TABLE handle (
  ROWID INTEGER PRIMARY KEY AUTOINCREMENT UNIQUE,
  id TEXT NOT NULL,
  country TEXT,
  service TEXT NOT NULL,
  uncanonicalized_id TEXT,
  person_centric_id TEXT,
  UNIQUE (id, service)
);
CREATE TABLE chat (
  ROWID INTEGER PRIMARY KEY AUTOINCREMENT,
  guid TEXT UNIQUE NOT NULL,
  style INTEGER,
  state INTEGER,
  account_id TEXT,
  chat_identifier TEXT,
  service_name TEXT,
  display_name TEXT,
  is_archived INTEGER DEFAULT 0
);
CREATE TABLE message (
  ROWID INTEGER PRIMARY KEY AUTOINCREMENT,
  guid TEXT UNIQUE NOT NULL,
  text TEXT,
  replace INTEGER DEFAULT 0,
  service_center TEXT,
  handle_id INTEGER DEFAULT 0,
  subject TEXT,
  country TEXT,
  attributedBody BLOB,
  version INTEGER DEFAULT 0,
  type INTEGER DEFAULT 0,
  service TEXT,
  account TEXT,
  date INTEGER,
  date_read INTEGER,
  date_delivered INTEGER,
  is_delivered INTEGER DEFAULT 0,
  is_finished INTEGER DEFAULT 0,
  is_from_me INTEGER DEFAULT 0,
  is_read INTEGER DEFAULT 0,
  cache_has_attachments INTEGER DEFAULT 0,
  associated_message_guid TEXT DEFAULT NULL,
  associated_message_type INTEGER DEFAULT 0,
  thread_originator_guid TEXT DEFAULT NULL
);
CREATE TABLE chat_handle_join (
  chat_id INTEGER REFERENCES chat (ROWID) ON DELETE CASCADE,
  handle_id INTEGER REFERENCES handle (ROWID) ON DELETE CASCADE,
  UNIQUE (chat_id, handle_id)
);
CREATE TABLE chat_message_join (
  chat_id INTEGER REFERENCES chat (ROWID) ON DELETE CASCADE,
  message_id INTEGER REFERENCES message (ROWID) ON DELETE CASCADE,
  message_date INTEGER DEFAULT 0,
  PRIMARY KEY (chat_id, message_id)
);
CREATE INDEX chat_message_join_idx_message_id_only ON chat_message_join (message_id);
CREATE INDEX chat_message_join_idx_message_date_id_chat_id ON chat_message_join (chat_id, message_date, message_id);
CREATE INDEX chat_handle_join_idx_handle_id ON chat_handle_join (handle_id);
CREATE INDEX message_idx_handle ON message (handle_id, date);
CREATE INDEX message_idx_date ON message (date);
)sql";

constexpr const char* kAttachmentSchema = R"sql(
CREATE TABLE attachment (
  ROWID INTEGER PRIMARY KEY AUTOINCREMENT,
  guid TEXT UNIQUE NOT NULL,
  created_date INTEGER DEFAULT 0,
  filename TEXT,
  uti TEXT,
  mime_type TEXT,
  transfer_state INTEGER DEFAULT 0,
  is_outgoing INTEGER DEFAULT 0,
  transfer_name TEXT,
  total_bytes INTEGER DEFAULT 0
);
CREATE TABLE message_attachment_join (
  message_id INTEGER REFERENCES message (ROWID) ON DELETE CASCADE,
  attachment_id INTEGER REFERENCES attachment (ROWID) ON DELETE CASCADE,
  UNIQUE (message_id, attachment_id)
);
CREATE INDEX message_attachment_join_idx_message_id ON message_attachment_join (message_id);
)sql";

[[noreturn]] void fail(sqlite3* database, const char* what) {
  throw std::runtime_error(std::string(what) + ": " + (database ? sqlite3_errmsg(database) : "no database"));
}

void bindText(sqlite3_stmt* statement, int index, const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  sqlite3_bind_text(statement, index, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

void bindOptionalText(sqlite3_stmt* statement, int index, const std::optional<QString>& text) {
  if (text)
    bindText(statement, index, *text);
  else
    sqlite3_bind_null(statement, index);
}

// Small statements run once; the bulk inserts keep theirs prepared.
struct OneShot {
  sqlite3_stmt* statement = nullptr;
  ~OneShot() { sqlite3_finalize(statement); }
};

// The bytes of a literal, its embedded zeros included.
template <size_t N>
QByteArray bytes(const char (&literal)[N]) {
  return QByteArray(literal, N - 1);
}

void appendLittleEndian(QByteArray& bytes, quint32 value, int byteCount) {
  for (int i = 0; i < byteCount; ++i) bytes.append(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

FixtureDatabaseBuilder::FixtureDatabaseBuilder(const QString& path, Options options) {
  QFile::remove(path);
  QFile::remove(path + QStringLiteral("-journal"));
  if (sqlite3_open_v2(QFile::encodeName(path).constData(), &database_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                      nullptr) != SQLITE_OK) {
    const std::string message = database_ ? sqlite3_errmsg(database_) : "out of memory";
    sqlite3_close(database_);
    database_ = nullptr;
    throw std::runtime_error("cannot create fixture database: " + message);
  }
  // A fixture needs no durability: no syncs, and the journal kept in memory.
  execute(QStringLiteral("PRAGMA synchronous = OFF; PRAGMA journal_mode = MEMORY"));
  execute(QString::fromUtf8(kSchema));
  if (options.withAttachmentTables) execute(QString::fromUtf8(kAttachmentSchema));
  insertMessage_ = prepare(
      "INSERT INTO message (guid, text, attributedBody, date, date_read, date_delivered, is_from_me, handle_id, "
      "cache_has_attachments, service, associated_message_guid, associated_message_type, is_finished) "
      "VALUES (?1, ?2, ?3, ?4, ?4, ?4, ?5, ?6, ?7, 'iMessage', ?8, ?9, 1)");
  insertChatMessage_ = prepare("INSERT INTO chat_message_join (chat_id, message_id, message_date) VALUES (?1, ?2, ?3)");
}

FixtureDatabaseBuilder::~FixtureDatabaseBuilder() {
  try {
    close();
  } catch (...) {
  }
}

void FixtureDatabaseBuilder::close() {
  sqlite3_finalize(insertMessage_);
  sqlite3_finalize(insertChatMessage_);
  insertMessage_ = insertChatMessage_ = nullptr;
  if (database_ && sqlite3_close(database_) != SQLITE_OK) fail(database_, "close");
  database_ = nullptr;
}

sqlite3_stmt* FixtureDatabaseBuilder::prepare(const char* sql) {
  if (!database_) throw std::runtime_error("fixture database is closed");
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(database_, sql, -1, &statement, nullptr) != SQLITE_OK) fail(database_, sql);
  return statement;
}

qint64 FixtureDatabaseBuilder::insertAndGetRowId(sqlite3_stmt* statement) {
  if (sqlite3_step(statement) != SQLITE_DONE) fail(database_, "insert");
  sqlite3_reset(statement);
  sqlite3_clear_bindings(statement);
  return sqlite3_last_insert_rowid(database_);
}

void FixtureDatabaseBuilder::execute(const QString& sql) {
  if (!database_) throw std::runtime_error("fixture database is closed");
  char* error = nullptr;
  if (sqlite3_exec(database_, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
    const std::string message = error ? error : "unknown error";
    sqlite3_free(error);
    throw std::runtime_error("fixture statement failed: " + message);
  }
}

void FixtureDatabaseBuilder::beginTransaction() { execute(QStringLiteral("BEGIN")); }

void FixtureDatabaseBuilder::commit() { execute(QStringLiteral("COMMIT")); }

qint64 FixtureDatabaseBuilder::addHandle(const QString& id, const QString& service) {
  OneShot insert{prepare("INSERT INTO handle (id, service, uncanonicalized_id) VALUES (?1, ?2, ?1)")};
  bindText(insert.statement, 1, id);
  bindText(insert.statement, 2, service);
  return insertAndGetRowId(insert.statement);
}

qint64 FixtureDatabaseBuilder::addChat(int style, const QList<qint64>& handleIds, const QString& chatIdentifier) {
  OneShot insert{prepare(
      "INSERT INTO chat (guid, style, state, chat_identifier, service_name) VALUES (?1, ?2, 3, ?3, 'iMessage')")};
  bindText(insert.statement, 1, QStringLiteral("iMessage;%1;%2").arg(style == kGroupStyle ? "+" : "-", chatIdentifier));
  sqlite3_bind_int(insert.statement, 2, style);
  bindText(insert.statement, 3, chatIdentifier);
  const qint64 chatId = insertAndGetRowId(insert.statement);

  OneShot join{prepare("INSERT INTO chat_handle_join (chat_id, handle_id) VALUES (?1, ?2)")};
  for (const qint64 handleId : handleIds) {
    sqlite3_bind_int64(join.statement, 1, chatId);
    sqlite3_bind_int64(join.statement, 2, handleId);
    insertAndGetRowId(join.statement);
  }
  return chatId;
}

qint64 FixtureDatabaseBuilder::addOneToOneChat(qint64 handleId) {
  OneShot lookup{prepare("SELECT id FROM handle WHERE ROWID = ?1")};
  sqlite3_bind_int64(lookup.statement, 1, handleId);
  QString identifier = QStringLiteral("handle-%1").arg(handleId);
  if (sqlite3_step(lookup.statement) == SQLITE_ROW)
    identifier = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(lookup.statement, 0)));
  return addChat(kOneToOneStyle, {handleId}, identifier);
}

qint64 FixtureDatabaseBuilder::addGroupChat(const QList<qint64>& handleIds) {
  return addChat(kGroupStyle, handleIds, QStringLiteral("chat%1").arg(++guidCounter_ + 100000000));
}

qint64 FixtureDatabaseBuilder::addMessage(qint64 chatId, const MessageRow& row) {
  sqlite3_stmt* insert = insertMessage_;
  if (!insert) throw std::runtime_error("fixture database is closed");
  bindText(insert, 1, row.guid.value_or(QStringLiteral("FIXTURE-MESSAGE-%1").arg(++guidCounter_)));
  bindOptionalText(insert, 2, row.text);
  if (row.attributedBody)
    sqlite3_bind_blob(insert, 3, row.attributedBody->constData(), static_cast<int>(row.attributedBody->size()),
                      SQLITE_TRANSIENT);
  else
    sqlite3_bind_null(insert, 3);
  sqlite3_bind_int64(insert, 4, row.date);
  sqlite3_bind_int(insert, 5, row.isFromMe);
  sqlite3_bind_int64(insert, 6, row.handleId);
  sqlite3_bind_int(insert, 7, row.hasAttachments ? 1 : 0);
  bindOptionalText(insert, 8, row.associatedMessageGuid);
  sqlite3_bind_int(insert, 9, row.associatedMessageType);
  const qint64 messageId = insertAndGetRowId(insert);

  sqlite3_bind_int64(insertChatMessage_, 1, chatId);
  sqlite3_bind_int64(insertChatMessage_, 2, messageId);
  sqlite3_bind_int64(insertChatMessage_, 3, row.date);
  insertAndGetRowId(insertChatMessage_);
  return messageId;
}

qint64 FixtureDatabaseBuilder::addAttributedBodyMessage(qint64 chatId, const QString& text, qint64 date, bool isFromMe,
                                                        qint64 handleId) {
  MessageRow row;
  row.attributedBody = encodeAttributedBody(text);
  row.date = date;
  row.isFromMe = isFromMe ? 1 : 0;
  row.handleId = handleId;
  return addMessage(chatId, row);
}

QString FixtureDatabaseBuilder::reactionText(Reaction reaction, const QString& quotedText) {
  static const char* const kVerbs[] = {"Loved", "Liked", "Disliked", "Laughed at", "Emphasized", "Questioned"};
  const char* verb = kVerbs[static_cast<int>(reaction)];
  return QStringLiteral("%1 \"%2\"").arg(QLatin1String(verb), quotedText);
}

qint64 FixtureDatabaseBuilder::addReaction(qint64 chatId, Reaction reaction, const QString& quotedText, qint64 date,
                                           bool isFromMe, qint64 handleId) {
  MessageRow row;
  row.text = reactionText(reaction, quotedText);
  row.date = date;
  row.isFromMe = isFromMe ? 1 : 0;
  row.handleId = handleId;
  row.associatedMessageType = 2000 + static_cast<int>(reaction);
  row.associatedMessageGuid = QStringLiteral("p:0/FIXTURE-TARGET");
  return addMessage(chatId, row);
}

qint64 FixtureDatabaseBuilder::addAttachment(qint64 messageId, const QString& fileName, const QString& mimeType) {
  OneShot insert{
      prepare("INSERT INTO attachment (guid, filename, mime_type, transfer_name, transfer_state, total_bytes) "
              "VALUES (?1, ?2, ?3, ?4, 5, 1024)")};
  bindText(insert.statement, 1, QStringLiteral("FIXTURE-ATTACHMENT-%1").arg(++guidCounter_));
  bindText(insert.statement, 2, QStringLiteral("~/Library/Messages/Attachments/00/00/") + fileName);
  bindText(insert.statement, 3, mimeType);
  bindText(insert.statement, 4, fileName);
  const qint64 attachmentId = insertAndGetRowId(insert.statement);
  joinAttachment(messageId, attachmentId);
  return attachmentId;
}

void FixtureDatabaseBuilder::joinAttachment(qint64 messageId, qint64 attachmentId) {
  OneShot join{prepare("INSERT INTO message_attachment_join (message_id, attachment_id) VALUES (?1, ?2)")};
  sqlite3_bind_int64(join.statement, 1, messageId);
  sqlite3_bind_int64(join.statement, 2, attachmentId);
  insertAndGetRowId(join.statement);
  OneShot mark{prepare("UPDATE message SET cache_has_attachments = 1 WHERE ROWID = ?1")};
  sqlite3_bind_int64(mark.statement, 1, messageId);
  insertAndGetRowId(mark.statement);
}

QByteArray FixtureDatabaseBuilder::encodeAttributedBody(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  const auto length = static_cast<quint32>(utf8.size());

  // The start of a serialized attributed string as the Messages app stores it.
  QByteArray body = bytes(
      "\x04\x0bstreamtyped\x81\xe8\x03\x84\x01@\x84\x84\x84\x12NSAttributedString"
      "\x00\x84\x84\x08NSObject\x00\x85\x92\x84\x84\x84\x08NSString\x01\x94\x84\x01");
  body.append('+');
  if (length <= 0x80) {
    body.append(static_cast<char>(length));
  } else if (length <= 0xFFFF) {
    body.append(static_cast<char>(0x81));
    appendLittleEndian(body, length, 2);
  } else {
    body.append(static_cast<char>(0x82));
    appendLittleEndian(body, length, 4);
  }
  body.append(utf8);
  // The attribute run that follows the string.
  body.append(
      bytes("\x86\x84\x02iI\x01\x01\x92\x84\x84\x84\x0cNSDictionary\x00\x94\x84\x01i\x01\x92"
            "\x84\x96\x96\x1d__kIMMessagePartAttributeName\x86\x92\x84\x84\x84\x08NSNumber"
            "\x00\x84\x84\x07NSValue\x00\x94\x84\x01*\x84\x99\x99\x00\x86\x86\x86"));
  return body;
}

}  // namespace murmela::test
