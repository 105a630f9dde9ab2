#pragma once

#include "json/JSONValue.h"
#include "json/JsonCodec.h"
#include "support/NetworkTestSupport.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <functional>

namespace murmela {

// Lets QCOMPARE print JSON values.
inline char* toString(const JSONValue& value) {
  return qstrdup(Json::write(value.toJson(), Json::Layout::Compact, false).constData());
}

}  // namespace murmela

namespace murmela::test {

inline void prepareHostedTests() { prepareNetworkTests(); }

inline QJsonObject jsonObject(const QByteArray& text) { return QJsonDocument::fromJson(text).object(); }

// The path of the decoding error a record's reader throws, or "ok".
inline QString decodeOutcome(const std::function<void()>& read) {
  try {
    read();
    return "ok";
  } catch (const Json::DecodingError& error) {
    return error.path();
  }
}

}  // namespace murmela::test
