#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <variant>

namespace murmela {

class JsonStreamWriter;

// A free-form JSON value: the payloads and results of analysis steps travel in
// it. Every JSON number is held as a double. Values are immutable and cheap to
// copy (objects and arrays are shared).
class JSONValue {
 public:
  enum class Kind { string, number, boolean, object, array, null };
  using Object = QMap<QString, JSONValue>;
  using Array = QList<JSONValue>;

  JSONValue() = default;  // null
  static JSONValue string(QString value);
  static JSONValue number(double value);
  static JSONValue boolean(bool value);
  static JSONValue object(Object value);
  static JSONValue array(Array value);
  static JSONValue null() { return {}; }

  Kind kind() const { return static_cast<Kind>(value_.index()); }
  bool isNull() const { return kind() == Kind::null; }
  // The payload when the value is of that kind, else nothing.
  std::optional<QString> stringValue() const;
  std::optional<double> numberValue() const;
  std::optional<bool> boolValue() const;
  const Object* objectValue() const;  // null when not an object
  const Array* arrayValue() const;    // null when not an array

  // One short word for log lines: the string itself, a number with three
  // decimals, "true"/"false", "object(3)", "array(0)", "null".
  QString compactDescription() const;

  // Decoding tries null, bool, number, string, array and object in this order;
  // only a missing value (QJsonValue::Undefined) fails, with a
  // Json::DecodingError naming `path`.
  static JSONValue fromJson(const QJsonValue& value, const QString& path = QStringLiteral("$"));
  static Object objectFromJson(const QJsonObject& object);
  QJsonValue toJson() const;
  static QJsonObject toJson(const Object& object);
  // The same JSON text as toJson() written by Json::write, without the tree.
  void write(JsonStreamWriter& writer) const;
  static void write(JsonStreamWriter& writer, const Object& object);

  friend bool operator==(const JSONValue& a, const JSONValue& b);

 private:
  // One alternative per kind, in the order of Kind; null is the monostate.
  // 32 bytes a value: a parsed answer costs memory per value.
  using Storage = std::variant<QString, double, bool, std::shared_ptr<const Object>, std::shared_ptr<const Array>,
                               std::monostate>;
  Storage value_{std::monostate{}};
};

// The keys of an object, sorted ascending and joined with ",".
QString sortedKeys(const JSONValue::Object& object);

}  // namespace murmela
