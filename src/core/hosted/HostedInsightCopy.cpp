#include "hosted/HostedInsightCopy.h"

#include "json/JsonCodec.h"
#include "data/ReportJson.h"

namespace murmela {

std::optional<ReportInsightCopy> reportInsightCopy(const JSONValue::Object& json) {
  // The same six required strings as the report's own JSON form.
  try {
    return ReportJson::insightCopyFromJson(Json::ObjectReader(JSONValue::toJson(json), QStringLiteral("insights")));
  } catch (const Json::DecodingError&) {
    return std::nullopt;
  }
}

}  // namespace murmela
