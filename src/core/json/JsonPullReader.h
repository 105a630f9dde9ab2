#pragma once

#include "json/JSONValue.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace murmela {

// A pull reader over JSON text, for large texts (an analysis step's body, the
// anonymization's output): values are read one at a time straight from the
// bytes, without a document. It takes on only
// what it reads exactly as Qt's parser (Json::parseObject) would: valid
// UTF-8, no U+FEFF, no control characters inside strings, integers written
// without fraction or exponent where integers are asked for, nesting of at
// most 64 levels. Anything else throws NotFastReadable, and the caller reads
// the body the thorough way, which also words any error.
class JsonPullReader {
 public:
  struct NotFastReadable {};

  explicit JsonPullReader(QByteArrayView text) : at_(text.data()), end_(text.data() + text.size()) {}

  // The next non-space character, without taking it (0 at the end).
  char peek();
  // Takes `c` (after spaces) or throws.
  void expect(char c);
  // Takes `c` when it comes next.
  bool take(char c);
  bool atEnd();

  QString string();
  qint64 integer();  // a whole number written without fraction or exponent
  double number();
  bool boolean();
  JSONValue value(int depth = 0);
  void skipValue(int depth = 0);

  // Walks the members of an object whose "{" is next: `member(key)` reads
  // each value. A key seen twice throws.
  template <typename Member>
  void members(Member&& member) {
    expect('{');
    if (take('}')) return;
    QStringList seen;
    do {
      QString key = string();
      if (seen.contains(key)) throw NotFastReadable();
      seen.append(key);
      expect(':');
      member(key);
    } while (take(','));
    expect('}');
  }

 private:
  void skipSpace();
  // Reads an optional minus and the whole digits (no leading zero); returns
  // where the number begins, and sets `digits` to where its digits begin.
  const char* integerPart(const char*& digits);
  [[noreturn]] static void refuse() { throw NotFastReadable(); }

  const char* at_;
  const char* end_;
};

}  // namespace murmela
