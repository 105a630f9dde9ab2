#pragma once

#include "backend/JSONValue.h"
#include "common/JsonCodec.h"
#include "support/NetworkTestSupport.h"

namespace murmela {

// Lets QCOMPARE print JSON values.
inline char* toString(const JSONValue& value) {
  return qstrdup(Json::write(value.toJson(), Json::Layout::Compact, false).constData());
}

}  // namespace murmela

namespace murmela::test {

inline void prepareHostedTests() { prepareNetworkTests(); }

}  // namespace murmela::test
