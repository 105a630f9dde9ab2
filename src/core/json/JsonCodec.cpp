#include "json/JsonCodec.h"

#include "common/Iso8601.h"

#include <QJsonDocument>
#include <QJsonParseError>

#include <cmath>
#include <limits>

namespace murmela::Json {
namespace {

void requireFinite(const QJsonValue& value, const QString& path) {
  switch (value.type()) {
    case QJsonValue::Double:
      if (!std::isfinite(value.toDouble())) throw EncodingError(path);
      break;
    case QJsonValue::Array: {
      const QJsonArray array = value.toArray();
      for (qsizetype i = 0; i < array.size(); ++i)
        requireFinite(array.at(i), path + QLatin1Char('[') + QString::number(i) + QLatin1Char(']'));
      break;
    }
    case QJsonValue::Object: {
      const QJsonObject object = value.toObject();
      for (auto it = object.begin(); it != object.end(); ++it)
        requireFinite(it.value(), path + QLatin1Char('.') + it.key());
      break;
    }
    default:
      break;
  }
}

QString describeType(const QJsonValue& value) {
  switch (value.type()) {
    case QJsonValue::Null:
      return QStringLiteral("null");
    case QJsonValue::Bool:
      return QStringLiteral("a boolean");
    case QJsonValue::Double:
      return QStringLiteral("a number");
    case QJsonValue::String:
      return QStringLiteral("a string");
    case QJsonValue::Array:
      return QStringLiteral("an array");
    case QJsonValue::Object:
      return QStringLiteral("an object");
    case QJsonValue::Undefined:
      return QStringLiteral("nothing");
  }
  return QStringLiteral("nothing");
}

[[noreturn]] void wrongType(const QJsonValue& value, const QString& path, const char* expected) {
  throw DecodingError(path, QStringLiteral("expected %1, found %2").arg(QLatin1String(expected), describeType(value)));
}

}  // namespace

QByteArray write(const QJsonValue& value, Layout layout, bool escapeSlashes) {
  requireFinite(value, QStringLiteral("$"));
  const QJsonDocument::JsonFormat format = layout == Layout::Pretty ? QJsonDocument::Indented : QJsonDocument::Compact;
  QByteArray bytes;
  if (value.isObject()) {
    bytes = QJsonDocument(value.toObject()).toJson(format);
  } else if (value.isArray()) {
    bytes = QJsonDocument(value.toArray()).toJson(format);
  } else {
    // A bare value: wrap it in an array and take the element's text back out.
    bytes = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    bytes = bytes.mid(1, bytes.size() - 2);
  }
  if (layout == Layout::Pretty && bytes.endsWith('\n')) bytes.chop(1);
  if (escapeSlashes) bytes.replace("/", "\\/");
  return bytes;
}

QJsonDocument parseDocument(const QByteArray& bytes, QJsonParseError* error) {
  static const QByteArray kByteOrderMark("\xEF\xBB\xBF");
  const qsizetype start = bytes.startsWith(kByteOrderMark) ? kByteOrderMark.size() : 0;
  if (bytes.indexOf(kByteOrderMark, start) < 0) return QJsonDocument::fromJson(bytes, error);
  // Inside a string (and not right after a backslash) the three bytes become
  // the escape, which means the same and survives the parser; anywhere else
  // they stay, for the parser to refuse.
  QByteArray escaped;
  escaped.reserve(bytes.size() + 16);
  bool inString = false;
  bool afterBackslash = false;
  for (qsizetype i = start; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (inString && !afterBackslash && c == '\xEF' && QByteArrayView(bytes).sliced(i).startsWith(kByteOrderMark)) {
      escaped.append("\\ufeff");
      i += kByteOrderMark.size() - 1;
      continue;
    }
    escaped.append(c);
    if (afterBackslash) {
      afterBackslash = false;
    } else if (inString && c == '\\') {
      afterBackslash = true;
    } else if (c == '"') {
      inString = !inString;
    }
  }
  return QJsonDocument::fromJson(escaped, error);
}

qsizetype countValues(const QByteArray& bytes) {
  qsizetype count = 1;
  bool inString = false;
  bool afterBackslash = false;
  for (const char c : bytes) {
    if (inString) {
      if (afterBackslash) {
        afterBackslash = false;
      } else if (c == '\\') {
        afterBackslash = true;
      } else if (c == '"') {
        inString = false;
      }
    } else if (c == '"') {
      inString = true;
    } else if (c == ',' || c == '[' || c == '{' || c == ':') {
      ++count;
    }
  }
  return count;
}

QJsonObject parseObject(const QByteArray& bytes, const QString& path) {
  QJsonParseError error{};
  const QJsonDocument document = parseDocument(bytes, &error);
  if (error.error != QJsonParseError::NoError)
    throw DecodingError(path,
                        QStringLiteral("invalid JSON (%1 at offset %2)").arg(error.errorString()).arg(error.offset));
  if (!document.isObject()) throw DecodingError(path, QStringLiteral("expected an object"));
  return document.object();
}

QString toString(const QJsonValue& value, const QString& path) {
  if (!value.isString()) wrongType(value, path, "a string");
  return value.toString();
}

qint64 toInteger(const QJsonValue& value, const QString& path) {
  if (!value.isDouble()) wrongType(value, path, "an integer");
  constexpr qint64 kSentinel = std::numeric_limits<qint64>::min();
  const qint64 integer = value.toInteger(kSentinel);
  if (integer == kSentinel && value.toDouble() != -9223372036854775808.0)
    throw DecodingError(path, QStringLiteral("expected an integer, found %1").arg(value.toDouble()));
  return integer;
}

double toNumber(const QJsonValue& value, const QString& path) {
  if (!value.isDouble()) wrongType(value, path, "a number");
  return value.toDouble();
}

bool toBool(const QJsonValue& value, const QString& path) {
  if (!value.isBool()) wrongType(value, path, "a boolean");
  return value.toBool();
}

QJsonArray toArray(const QJsonValue& value, const QString& path) {
  if (!value.isArray()) wrongType(value, path, "an array");
  return value.toArray();
}

QJsonObject toObject(const QJsonValue& value, const QString& path) {
  if (!value.isObject()) wrongType(value, path, "an object");
  return value.toObject();
}

Date toDate(const QJsonValue& value, const QString& path, bool allowFraction) {
  const QString text = toString(value, path);
  const std::optional<Date> date = Iso8601::parse(text, allowFraction);
  if (!date) throw DecodingError(path, QStringLiteral("expected an ISO-8601 date, found \"%1\"").arg(text));
  return *date;
}

bool ObjectReader::isAbsent(const QString& key) const {
  const auto it = object_.constFind(key);
  return it == object_.constEnd() || it->isNull();
}

QJsonValue ObjectReader::required(const QString& key) const {
  const auto it = object_.constFind(key);
  if (it == object_.constEnd()) throw DecodingError(pathOf(key), QStringLiteral("missing required member"));
  return *it;
}

}  // namespace murmela::Json
