#include "data/SQLiteStatement.h"

#include "data/WrappedDataError.h"

namespace murmela {

namespace {

QString messageOf(sqlite3* database) {
  const char* message = sqlite3_errmsg(database);
  return message ? QString::fromUtf8(message) : QStringLiteral("unknown SQLite error");
}

}  // namespace

SQLiteStatement::SQLiteStatement(sqlite3* database, const char* sql) : database_(database) {
  if (sqlite3_prepare_v2(database, sql, -1, &raw_, nullptr) != SQLITE_OK) {
    const QString message = messageOf(database);
    sqlite3_finalize(raw_);
    raw_ = nullptr;
    throw WrappedDataError::databaseQueryFailed(message);
  }
}

SQLiteStatement::~SQLiteStatement() { sqlite3_finalize(raw_); }

void SQLiteStatement::bind(const QString& value, int index) {
  const QByteArray utf8 = value.toUtf8();
  if (sqlite3_bind_text(raw_, index, utf8.constData(), -1, SQLITE_TRANSIENT) != SQLITE_OK) throwQueryFailed();
}

bool SQLiteStatement::step() {
  const int result = sqlite3_step(raw_);
  if (result == SQLITE_ROW) return true;
  if (result == SQLITE_DONE) return false;
  throwQueryFailed();
}

QByteArrayView SQLiteStatement::blobAt(int column) const {
  const void* bytes = sqlite3_column_blob(raw_, column);
  const int size = sqlite3_column_bytes(raw_, column);
  if (bytes == nullptr || size <= 0) return {};
  return QByteArrayView(static_cast<const char*>(bytes), size);
}

void SQLiteStatement::throwQueryFailed() const { throw WrappedDataError::databaseQueryFailed(messageOf(database_)); }

}  // namespace murmela
