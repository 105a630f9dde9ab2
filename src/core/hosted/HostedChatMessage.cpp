#include "hosted/HostedChatMessage.h"

#include "common/Iso8601.h"

namespace murmela {

JSONValue HostedChatMessage::toJSONValue() const {
  return JSONValue::object({{QStringLiteral("index"), JSONValue::number(static_cast<double>(index))},
                            {QStringLiteral("sender"), JSONValue::string(sender)},
                            {QStringLiteral("timestamp"), JSONValue::string(timestamp)},
                            {QStringLiteral("text"), JSONValue::string(text)},
                            {QStringLiteral("has_photo"), JSONValue::boolean(hasPhoto)}});
}

namespace HostedAnalysisTimestamp {

QString format(Date date) { return Iso8601::format(date); }

std::optional<Date> parse(const QString& text) { return Iso8601::parse(text, false); }

}  // namespace HostedAnalysisTimestamp

}  // namespace murmela
