#pragma once

#include "json/JSONValue.h"
#include "common/Date.h"

#include <QList>
#include <QString>

#include <optional>

namespace murmela {

// One message as the backend sees it.
struct HostedChatMessage {
  qint64 index = 0;  // position in the conversation, from 1
  QString sender;    // display name (a placeholder in hybrid mode)
  QString timestamp;  // HostedAnalysisTimestamp form
  QString text;
  bool hasPhoto = false;

  // {"index", "sender", "timestamp", "text", "has_photo"}.
  JSONValue toJSONValue() const;
  friend bool operator==(const HostedChatMessage&, const HostedChatMessage&) = default;
};

// The one time-stamp form of the hosted exchange: internet date-time in UTC,
// whole seconds, e.g. "2024-03-05T14:22:10Z". Parsing accepts "Z" or an
// offset with a colon and refuses fractional seconds.
namespace HostedAnalysisTimestamp {
QString format(Date date);
std::optional<Date> parse(const QString& text);
}  // namespace HostedAnalysisTimestamp

}  // namespace murmela
