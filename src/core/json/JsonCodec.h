#pragma once

#include "common/Date.h"
#include "common/MurmelaError.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include <optional>

namespace murmela::Json {

enum class Layout { Pretty, Compact };

// Writing refuses a number that is not finite (Qt would silently write null).
class EncodingError : public MurmelaError {
 public:
  explicit EncodingError(QString path) : path_(std::move(path)) {}
  QString typeName() const override { return QStringLiteral("EncodingError"); }
  QString description() const override {
    return QStringLiteral("Invalid floating-point value at ") + path_ + QStringLiteral(": JSON cannot hold it.");
  }
  int code() const override { return 1; }
  const QString& path() const { return path_; }

 private:
  QString path_;
};

// Reading stops at the first member that is missing or of the wrong form, and
// names it by its path ("report.signaturePhrase.flavorLine").
class DecodingError : public MurmelaError {
 public:
  DecodingError(QString path, QString problem) : path_(std::move(path)), problem_(std::move(problem)) {}
  QString typeName() const override { return QStringLiteral("DecodingError"); }
  QString description() const override { return problem_ + QStringLiteral(" at ") + path_; }
  int code() const override { return 2; }
  const QString& path() const { return path_; }
  const QString& problem() const { return problem_; }

 private:
  QString path_;
  QString problem_;
};

// Serialises with sorted keys. Pretty output is indented one member per line.
// With escapeSlashes, "/" is written as "\/" (only strings can hold one).
QByteArray write(const QJsonValue& value, Layout layout, bool escapeSlashes = true);

// Parses a document whose top level must be an object.
QJsonObject parseObject(const QByteArray& bytes, const QString& path);
// How many values a JSON text holds at most, counted without parsing it: one,
// plus one per "[", "{", "," and ":" outside strings, so that an object member
// counts as two, its name and its value (a name costs a string once parsed,
// as a value does). What parsing costs in memory follows the count more than
// the length (a value takes some 70 bytes once parsed, a member some 200, and
// "0," is two bytes of text).
qsizetype countValues(const QByteArray& bytes);
// QJsonDocument::fromJson, except that a U+FEFF at the start of a string (a
// member name or a value) is kept: Qt drops it there, as if it were the byte
// order mark of the document. One at the start of the document still is one.
QJsonDocument parseDocument(const QByteArray& bytes, QJsonParseError* error);

// Value-level conversions; each throws DecodingError naming `path`.
QString toString(const QJsonValue& value, const QString& path);
qint64 toInteger(const QJsonValue& value, const QString& path);  // integral numbers within int64
double toNumber(const QJsonValue& value, const QString& path);
bool toBool(const QJsonValue& value, const QString& path);
QJsonArray toArray(const QJsonValue& value, const QString& path);
QJsonObject toObject(const QJsonValue& value, const QString& path);
// A strict ISO-8601 date string, whole seconds unless allowFraction.
Date toDate(const QJsonValue& value, const QString& path, bool allowFraction = false);

// A strict view on one object: required members throw when missing or of the
// wrong form; optional ones are absent when missing or null.
class ObjectReader {
 public:
  ObjectReader(QJsonObject object, QString path) : object_(std::move(object)), path_(std::move(path)) {}

  const QJsonObject& object() const { return object_; }
  const QString& path() const { return path_; }
  QString pathOf(const QString& key) const { return path_ + QLatin1Char('.') + key; }

  bool isAbsent(const QString& key) const;
  QJsonValue required(const QString& key) const;

  QString string(const QString& key) const { return toString(required(key), pathOf(key)); }
  qint64 integer(const QString& key) const { return toInteger(required(key), pathOf(key)); }
  double number(const QString& key) const { return toNumber(required(key), pathOf(key)); }
  bool boolean(const QString& key) const { return toBool(required(key), pathOf(key)); }
  QJsonArray array(const QString& key) const { return toArray(required(key), pathOf(key)); }
  Date date(const QString& key, bool allowFraction = false) const {
    return toDate(required(key), pathOf(key), allowFraction);
  }
  ObjectReader object(const QString& key) const {
    return ObjectReader(toObject(required(key), pathOf(key)), pathOf(key));
  }
  std::optional<ObjectReader> optionalObject(const QString& key) const {
    if (isAbsent(key)) return std::nullopt;
    return object(key);
  }
  std::optional<QString> optionalString(const QString& key) const {
    if (isAbsent(key)) return std::nullopt;
    return string(key);
  }

 private:
  QJsonObject object_;
  QString path_;
};

// Maps every element of an array through `decode(value, path)`.
template <typename Decode>
auto mapArray(const QJsonArray& array, const QString& path, Decode&& decode) {
  using Element = decltype(decode(QJsonValue(), QString()));
  QList<Element> out;
  out.reserve(array.size());
  for (qsizetype i = 0; i < array.size(); ++i)
    out.append(decode(array.at(i), path + QLatin1Char('[') + QString::number(i) + QLatin1Char(']')));
  return out;
}

}  // namespace murmela::Json
