#include "privacy/anonymization/PrivacyProgressUpdate.h"

#include "json/JsonCodec.h"

namespace murmela {

std::optional<PrivacyProgressUpdate> PrivacyProgressUpdate::fromLine(QStringView line) {
  const QStringView trimmed = line.trimmed();
  // Cheap refusal of ordinary output before any parsing.
  if (!trimmed.startsWith(QLatin1Char('{'))) return std::nullopt;
  try {
    const Json::ObjectReader reader(Json::parseObject(trimmed.toUtf8(), QStringLiteral("progress")),
                                    QStringLiteral("progress"));
    if (reader.string(QStringLiteral("type")) != kType) return std::nullopt;
    return PrivacyProgressUpdate{reader.integer(QStringLiteral("completed")), reader.integer(QStringLiteral("total"))};
  } catch (const Json::DecodingError&) {
    return std::nullopt;
  }
}

}  // namespace murmela
