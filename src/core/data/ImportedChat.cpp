#include "data/ImportedChat.h"

namespace murmela {

ImportedChat makeImportedChat(const ContactSummary& chosen, MessageList messages) {
  const bool fetched = !messages.isEmpty();
  ImportedChat chat;
  chat.contact.handle = chosen.handle;
  chat.contact.displayName = chosen.displayName;
  chat.contact.messageCount = messages.size();
  chat.contact.firstMessage = fetched ? messages.constFirst().date : chosen.firstMessage;
  chat.contact.lastMessage = fetched ? messages.constLast().date : chosen.lastMessage;
  chat.messages = std::move(messages);
  chat.meName = QStringLiteral("You");
  chat.otherName = chosen.displayName && !chosen.displayName->isEmpty() ? *chosen.displayName : chosen.handle;
  return chat;
}

}  // namespace murmela
