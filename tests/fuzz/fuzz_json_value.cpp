// JSONValue on any JSON document: decoding and writing back gives the same
// document (numbers compared as the doubles JSONValue holds), equality holds
// between the two decodings, and the short description never fails.
#include "FuzzCheck.h"
#include "json/JSONValue.h"
#include "json/JsonCodec.h"

#include <QJsonArray>
#include <QJsonDocument>

using namespace murmela;

namespace {

bool sameJson(const QJsonValue& a, const QJsonValue& b) {
  if (a.type() != b.type()) return false;
  switch (a.type()) {
    case QJsonValue::Double:
      return a.toDouble() == b.toDouble();
    case QJsonValue::Array: {
      const QJsonArray x = a.toArray(), y = b.toArray();
      if (x.size() != y.size()) return false;
      for (qsizetype i = 0; i < x.size(); ++i)
        if (!sameJson(x[i], y[i])) return false;
      return true;
    }
    case QJsonValue::Object: {
      const QJsonObject x = a.toObject(), y = b.toObject();
      if (x.keys() != y.keys()) return false;
      for (auto it = x.begin(); it != x.end(); ++it)
        if (!sameJson(it.value(), y.value(it.key()))) return false;
      return true;
    }
    default:
      return a == b;
  }
}

void describeAll(const JSONValue& value) {
  FUZZ_CHECK(!value.compactDescription().isEmpty() || value.stringValue());
  if (const JSONValue::Array* array = value.arrayValue())
    for (const JSONValue& element : *array) describeAll(element);
  if (const JSONValue::Object* object = value.objectValue())
    for (const JSONValue& member : *object) describeAll(member);
}

}  // namespace

MURMELA_FUZZ_ENVIRONMENT("America/New_York")

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  QJsonParseError error{};
  const QJsonDocument document = Json::parseDocument(fuzz::bytesOf(data, size), &error);
  if (error.error != QJsonParseError::NoError) return 0;
  const QJsonValue original = document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());
  const JSONValue value = JSONValue::fromJson(original);
  FUZZ_CHECK(sameJson(value.toJson(), original));
  const QByteArray written = Json::write(value.toJson(), Json::Layout::Compact);
  QJsonParseError again{};
  const QJsonDocument reread = Json::parseDocument(written, &again);
  FUZZ_CHECK(again.error == QJsonParseError::NoError);
  const JSONValue back =
      JSONValue::fromJson(reread.isArray() ? QJsonValue(reread.array()) : QJsonValue(reread.object()));
  FUZZ_CHECK(back == value);
  describeAll(value);
  return 0;
}
