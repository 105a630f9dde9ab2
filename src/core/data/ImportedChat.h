#pragma once

#include "data/ContactSummary.h"
#include "data/Message.h"

namespace murmela {

// One conversation ready for the analysis: the partner, the messages oldest
// first, and the names used for the two participants.
struct ImportedChat {
  ContactSummary contact;
  MessageList messages;
  QString meName;
  QString otherName;
};

// The chat of a conversation read from the Messages database: the chosen
// partner's handle and name, the fetched count and dates (the summary's own
// dates when nothing was fetched), "You" for the user, and the display name
// (when present and not empty) or else the handle for the partner.
ImportedChat makeImportedChat(const ContactSummary& chosen, MessageList messages);

// The chat of a CSV export: the partner's handle is "csv:" + `otherName`, its
// display name `otherName`, the count and dates those of `messages` (oldest
// first; dates left at their defaults when there are none), and every message
// carries `otherName` as its handle.
ImportedChat makeCsvImportedChat(const QString& meName, const QString& otherName, MessageList messages);

}  // namespace murmela
