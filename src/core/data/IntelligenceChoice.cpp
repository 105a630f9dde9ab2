#include "data/IntelligenceChoice.h"

namespace murmela {

QString rawValue(IntelligenceChoice choice) {
  return choice == IntelligenceChoice::hybrid ? QStringLiteral("hybrid") : QStringLiteral("cloud");
}

std::optional<IntelligenceChoice> intelligenceChoiceFromRawValue(const QString& raw) {
  if (raw == QLatin1String("hybrid")) return IntelligenceChoice::hybrid;
  if (raw == QLatin1String("cloud")) return IntelligenceChoice::cloud;
  return std::nullopt;
}

}  // namespace murmela
