#pragma once

#include "hosted/HostedMessages.h"
#include "hosted/HostedWireRecords.h"

#include <QMap>
#include <QString>

namespace murmela {

// The result of anonymizing one conversation on the device: the placeholders
// standing for the two participants, the anonymized messages in the order the
// anonymization returned them, and the map from each placeholder back to the
// name it replaced.
struct PrivacyAnonymizationContext {
  HostedParticipants participants;
  HostedMessageList messages;
  QMap<QString, QString> reverseNameMap;
};

}  // namespace murmela
