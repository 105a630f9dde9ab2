#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace murmela::IntelligenceJson {

// The first balanced JSON object of a free-form reply, as UTF-8: from the first
// "{" to its matching "}", with braces inside strings (and escaped quotes)
// ignored. Nothing when there is no "{" or the object never closes. The
// result is not checked for being valid JSON.
std::optional<QByteArray> extractFirstObject(const QString& text);

}  // namespace murmela::IntelligenceJson
