#pragma once

#include <QString>

#include <optional>

namespace murmela {

// The user's intelligence mode: anonymize on the device first (hybrid, the
// default of a new run) or send the conversation as it is (cloud).
enum class IntelligenceChoice { hybrid, cloud };

QString rawValue(IntelligenceChoice choice);  // "hybrid" / "cloud"
std::optional<IntelligenceChoice> intelligenceChoiceFromRawValue(const QString& raw);

}  // namespace murmela
