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

ImportedChat makeCsvImportedChat(const QString& meName, const QString& otherName, MessageList messages) {
  for (Message& message : messages) message.handle = otherName;
  ImportedChat chat;
  chat.contact.handle = QStringLiteral("csv:") + otherName;
  chat.contact.displayName = otherName;
  chat.contact.messageCount = messages.size();
  if (!messages.isEmpty()) {
    chat.contact.firstMessage = messages.constFirst().date;
    chat.contact.lastMessage = messages.constLast().date;
  }
  chat.messages = std::move(messages);
  chat.meName = meName;
  chat.otherName = otherName;
  return chat;
}

}  // namespace murmela
