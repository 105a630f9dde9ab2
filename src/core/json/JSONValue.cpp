#include "json/JSONValue.h"

#include "common/FixedDecimal.h"
#include "json/JsonCodec.h"
#include "json/JsonStreamWriter.h"
#include "common/UnicodeText.h"

#include <QJsonArray>

#include <algorithm>

namespace murmela {

static_assert(sizeof(JSONValue) <= 32);

JSONValue JSONValue::string(QString value) {
  JSONValue made;
  made.value_ = std::move(value);
  return made;
}

JSONValue JSONValue::number(double value) {
  JSONValue made;
  made.value_ = value;
  return made;
}

JSONValue JSONValue::boolean(bool value) {
  JSONValue made;
  made.value_ = value;
  return made;
}

JSONValue JSONValue::object(Object value) {
  JSONValue made;
  made.value_ = std::make_shared<const Object>(std::move(value));
  return made;
}

JSONValue JSONValue::array(Array value) {
  JSONValue made;
  made.value_ = std::make_shared<const Array>(std::move(value));
  return made;
}

std::optional<QString> JSONValue::stringValue() const {
  if (const auto* text = std::get_if<QString>(&value_)) return *text;
  return std::nullopt;
}

std::optional<double> JSONValue::numberValue() const {
  if (const auto* number = std::get_if<double>(&value_)) return *number;
  return std::nullopt;
}

std::optional<bool> JSONValue::boolValue() const {
  if (const auto* flag = std::get_if<bool>(&value_)) return *flag;
  return std::nullopt;
}

const JSONValue::Object* JSONValue::objectValue() const {
  const auto* object = std::get_if<std::shared_ptr<const Object>>(&value_);
  return object ? object->get() : nullptr;
}

const JSONValue::Array* JSONValue::arrayValue() const {
  const auto* array = std::get_if<std::shared_ptr<const Array>>(&value_);
  return array ? array->get() : nullptr;
}

QString JSONValue::compactDescription() const {
  switch (kind()) {
    case Kind::string: return std::get<QString>(value_);
    case Kind::number: return fixedDecimal(std::get<double>(value_), 3);
    case Kind::boolean: return std::get<bool>(value_) ? QStringLiteral("true") : QStringLiteral("false");
    case Kind::object: return QStringLiteral("object(%1)").arg(objectValue()->size());
    case Kind::array: return QStringLiteral("array(%1)").arg(arrayValue()->size());
    case Kind::null: return QStringLiteral("null");
  }
  return QStringLiteral("null");
}

JSONValue JSONValue::fromJson(const QJsonValue& value, const QString& path) {
  switch (value.type()) {
    case QJsonValue::Null: return null();
    case QJsonValue::Bool: return boolean(value.toBool());
    case QJsonValue::Double: return number(value.toDouble());
    case QJsonValue::String: return string(value.toString());
    case QJsonValue::Array: {
      const QJsonArray source = value.toArray();
      Array elements;
      elements.reserve(source.size());
      for (qsizetype i = 0; i < source.size(); ++i)
        elements.append(fromJson(source.at(i), path + QLatin1Char('[') + QString::number(i) + QLatin1Char(']')));
      return array(std::move(elements));
    }
    case QJsonValue::Object: return object(objectFromJson(value.toObject()));
    case QJsonValue::Undefined: break;
  }
  throw Json::DecodingError(path, QStringLiteral("missing JSON value"));
}

JSONValue::Object JSONValue::objectFromJson(const QJsonObject& object) {
  Object members;
  for (auto it = object.begin(); it != object.end(); ++it) members.insert(it.key(), fromJson(it.value(), it.key()));
  return members;
}

QJsonValue JSONValue::toJson() const {
  switch (kind()) {
    case Kind::string: return std::get<QString>(value_);
    case Kind::number: return std::get<double>(value_);
    case Kind::boolean: return std::get<bool>(value_);
    case Kind::object: return toJson(*objectValue());
    case Kind::array: {
      QJsonArray elements;
      for (const JSONValue& element : *arrayValue()) elements.append(element.toJson());
      return elements;
    }
    case Kind::null: return QJsonValue(QJsonValue::Null);
  }
  return QJsonValue(QJsonValue::Null);
}

QJsonObject JSONValue::toJson(const Object& object) {
  QJsonObject members;
  for (auto it = object.begin(); it != object.end(); ++it) members.insert(it.key(), it.value().toJson());
  return members;
}

void JSONValue::write(JsonStreamWriter& writer) const {
  switch (kind()) {
    case Kind::string: writer.string(std::get<QString>(value_)); return;
    case Kind::number: writer.number(std::get<double>(value_)); return;
    case Kind::boolean: writer.boolean(std::get<bool>(value_)); return;
    case Kind::object: write(writer, *objectValue()); return;
    case Kind::array:
      writer.beginArray();
      for (const JSONValue& element : *arrayValue()) element.write(writer);
      writer.endArray();
      return;
    case Kind::null: writer.null(); return;
  }
}

void JSONValue::write(JsonStreamWriter& writer, const Object& object) {
  // The map's order (ascending UTF-16) is the order Qt writes an object in.
  writer.beginObject();
  for (auto it = object.begin(); it != object.end(); ++it) {
    writer.key(it.key());
    it.value().write(writer);
  }
  writer.endObject();
}

bool operator==(const JSONValue& a, const JSONValue& b) {
  if (a.kind() != b.kind()) return false;
  switch (a.kind()) {
    case JSONValue::Kind::object: return *a.objectValue() == *b.objectValue();
    case JSONValue::Kind::array: return *a.arrayValue() == *b.arrayValue();
    default: return a.value_ == b.value_;  // the text, the number (NaN unequal), the flag; null
  }
}

QString sortedKeys(const JSONValue::Object& object) {
  QStringList keys = object.keys();
  std::sort(keys.begin(), keys.end(), [](const QString& a, const QString& b) { return UnicodeText::lessByCodePoint(a, b); });
  return keys.join(QLatin1Char(','));
}

}  // namespace murmela
