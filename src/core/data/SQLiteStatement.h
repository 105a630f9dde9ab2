#pragma once

#include <QByteArrayView>
#include <QString>

#include <sqlite3.h>

namespace murmela {

// One prepared statement of the Messages database reader, finalized when the
// object goes away. The connection is not owned: every statement must be
// released before its connection is closed.
class SQLiteStatement {
 public:
  // Prepares the whole text (up to its terminating zero); throws
  // WrappedDataError::databaseQueryFailed with SQLite's message on failure.
  SQLiteStatement(sqlite3* database, const char* sql);
  ~SQLiteStatement();

  SQLiteStatement(const SQLiteStatement&) = delete;
  SQLiteStatement& operator=(const SQLiteStatement&) = delete;

  // Binds `value` as UTF-8 text at the one-based `index`, copied by SQLite at
  // once; throws databaseQueryFailed with SQLite's message on failure.
  void bind(const QString& value, int index);

  // Steps once: true for a row, false at the end. Any other result (a
  // corrupt page, an I/O error, a busy database) throws databaseQueryFailed
  // with SQLite's message, so a damaged database never passes as a short one.
  bool step();

  // Column reads of the current row.
  qint64 int64At(int column) const { return sqlite3_column_int64(raw_, column); }
  int intAt(int column) const { return sqlite3_column_int(raw_, column); }
  // The column's text as a C string: up to its first NUL, absent for NULL.
  const char* cStringAt(int column) const { return reinterpret_cast<const char*>(sqlite3_column_text(raw_, column)); }
  bool isTextAt(int column) const { return sqlite3_column_type(raw_, column) == SQLITE_TEXT; }
  // The column's bytes; empty for NULL and for a zero-length blob.
  QByteArrayView blobAt(int column) const;

 private:
  [[noreturn]] void throwQueryFailed() const;

  sqlite3_stmt* raw_ = nullptr;
  sqlite3* database_ = nullptr;
};

}  // namespace murmela
