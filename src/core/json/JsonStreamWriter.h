#pragma once

#include <QByteArray>
#include <QLatin1StringView>
#include <QString>
#include <QStringView>

#include <vector>

namespace murmela {

// Compact JSON written straight to bytes, value by value, without a document
// tree. Its text is the one Json::write gives for the same values (Qt's
// compact form), provided the caller writes every object's members in Qt's key
// order (ascending UTF-16):
//  - strings as UTF-8; '"', '\\', \b \f \n \r \t and the other control
//    characters below U+0020 escaped (\u00XX, lower-case hex), a surrogate
//    that is not half of a pair as \udXXX; with escapeSlashes, "/" as "\/";
//    everything else (U+007F, U+2028, ...) as it is;
//  - a number that is whole and within ±2^53 as an integer, any other in
//    the shortest form that reads back the same ("0.1", "1e+16", "1.5e-07");
//    -0 as 0;
//  - a number that is not finite throws Json::EncodingError naming its path
//    ("$.payload.score", "$.list[2]"), as Json::write does.
// Commas come by themselves; the caller keeps objects and arrays balanced.
class JsonStreamWriter {
 public:
  explicit JsonStreamWriter(qsizetype reserveBytes = 0, bool escapeSlashes = true);

  void beginObject();
  void endObject();
  void beginArray();
  void endArray();
  // The next member's name; the value follows with one of the calls below.
  // The name must stay alive until that value is written.
  void key(QStringView name);
  void key(QLatin1StringView name);

  void string(QStringView value);
  void number(double value);
  void integer(qint64 value);
  void boolean(bool value);
  void null();

  qsizetype size() const { return size_; }
  // The text written so far; the writer is empty afterwards.
  QByteArray take();

 private:
  struct Level {
    bool array = false;
    qsizetype index = -1;    // of the current element, in an array
    QStringView name;        // of the current member, in an object
    QLatin1StringView latinName;
  };

  void separate();
  void open(char bracket, bool array);
  void close(char bracket);
  void writeName(QStringView name);
  void writeEscaped(QStringView text);
  char* room(qsizetype bytes);  // at least `bytes` free after size_
  QString path() const;

  QByteArray bytes_;
  qsizetype size_ = 0;
  bool escapeSlashes_ = true;
  bool needsComma_ = false;
  std::vector<Level> levels_;
};

}  // namespace murmela
