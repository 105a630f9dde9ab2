#include "json/JSONValue.h"

#include "common/FixedDecimal.h"
#include "json/JsonCodec.h"
#include "json/JsonStreamWriter.h"
#include "common/UnicodeText.h"

#include <QJsonArray>

#include <algorithm>

namespace murmela {

JSONValue JSONValue::string(QString value) {
  JSONValue made;
  made.kind_ = Kind::string;
  made.string_ = std::move(value);
  return made;
}

JSONValue JSONValue::number(double value) {
  JSONValue made;
  made.kind_ = Kind::number;
  made.number_ = value;
  return made;
}

JSONValue JSONValue::boolean(bool value) {
  JSONValue made;
  made.kind_ = Kind::boolean;
  made.bool_ = value;
  return made;
}

JSONValue JSONValue::object(Object value) {
  JSONValue made;
  made.kind_ = Kind::object;
  made.object_ = std::make_shared<const Object>(std::move(value));
  return made;
}

JSONValue JSONValue::array(Array value) {
  JSONValue made;
  made.kind_ = Kind::array;
  made.array_ = std::make_shared<const Array>(std::move(value));
  return made;
}

std::optional<QString> JSONValue::stringValue() const {
  if (kind_ != Kind::string) return std::nullopt;
  return string_;
}

std::optional<double> JSONValue::numberValue() const {
  if (kind_ != Kind::number) return std::nullopt;
  return number_;
}

std::optional<bool> JSONValue::boolValue() const {
  if (kind_ != Kind::boolean) return std::nullopt;
  return bool_;
}

const JSONValue::Object* JSONValue::objectValue() const { return kind_ == Kind::object ? object_.get() : nullptr; }

const JSONValue::Array* JSONValue::arrayValue() const { return kind_ == Kind::array ? array_.get() : nullptr; }

QString JSONValue::compactDescription() const {
  switch (kind_) {
    case Kind::string: return string_;
    case Kind::number: return fixedDecimal(number_, 3);
    case Kind::boolean: return bool_ ? QStringLiteral("true") : QStringLiteral("false");
    case Kind::object: return QStringLiteral("object(%1)").arg(object_->size());
    case Kind::array: return QStringLiteral("array(%1)").arg(array_->size());
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
  switch (kind_) {
    case Kind::string: return string_;
    case Kind::number: return number_;
    case Kind::boolean: return bool_;
    case Kind::object: return toJson(*object_);
    case Kind::array: {
      QJsonArray elements;
      for (const JSONValue& element : *array_) elements.append(element.toJson());
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
  switch (kind_) {
    case Kind::string: writer.string(string_); return;
    case Kind::number: writer.number(number_); return;
    case Kind::boolean: writer.boolean(bool_); return;
    case Kind::object: write(writer, *object_); return;
    case Kind::array:
      writer.beginArray();
      for (const JSONValue& element : *array_) element.write(writer);
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
  if (a.kind_ != b.kind_) return false;
  switch (a.kind_) {
    case JSONValue::Kind::string: return a.string_ == b.string_;
    case JSONValue::Kind::number: return a.number_ == b.number_;
    case JSONValue::Kind::boolean: return a.bool_ == b.bool_;
    case JSONValue::Kind::object: return *a.object_ == *b.object_;
    case JSONValue::Kind::array: return *a.array_ == *b.array_;
    case JSONValue::Kind::null: return true;
  }
  return false;
}

QString sortedKeys(const JSONValue::Object& object) {
  QStringList keys = object.keys();
  std::sort(keys.begin(), keys.end(), [](const QString& a, const QString& b) { return UnicodeText::lessByCodePoint(a, b); });
  return keys.join(QLatin1Char(','));
}

}  // namespace murmela
