#include "hosted/HostedMessages.h"

#include "common/UnicodeText.h"

#include <algorithm>

namespace murmela {

HostedMessageList makeHostedMessages(const ImportedChat& chat, HostedAnalysisWorkflow /*workflow*/) {
  // Only cloud mode builds its list here; hybrid mode gets it from the
  // anonymization. Both workflows would produce the same records.
  HostedMessageList hosted;
  hosted.reserve(chat.messages.size());
  qint64 index = 0;
  for (const Message& message : chat.messages) {
    hosted.append({++index, message.isFromMe ? chat.meName : chat.otherName,
                   HostedAnalysisTimestamp::format(message.date), message.text, message.hasPhoto});
  }
  return hosted;
}

HostedMessageList truncateHostedMessages(const HostedMessageList& messages) {
  HostedMessageList truncated = messages;
  for (HostedChatMessage& message : truncated) {
    // A cluster has at least one UTF-16 unit: shorter texts cannot reach the threshold.
    if (message.text.size() < kHostedTruncationThreshold) continue;
    if (UnicodeText::graphemeCount(message.text) < kHostedTruncationThreshold) continue;
    message.text = UnicodeText::graphemePrefix(message.text, kHostedTruncationKeep) + kHostedTruncationMarker;
  }
  return truncated;
}

qsizetype hostedMessageCost(const HostedChatMessage& message) {
  return UnicodeText::graphemeCount(message.sender) + UnicodeText::graphemeCount(message.timestamp) +
         UnicodeText::graphemeCount(message.text) + kHostedMessageOverhead;
}

QList<HostedMessageList> chunk(const HostedMessageList& messages, qsizetype maxCharacters, qsizetype maxMessages,
                               qsizetype overlapMessages) {
  const qsizetype keep = std::min(maxMessages - 1, overlapMessages);
  QList<HostedMessageList> chunks;
  HostedMessageList current;
  QList<qsizetype> currentCosts;  // parallel to `current`
  qsizetype currentSize = 0;

  for (const HostedChatMessage& message : messages) {
    const qsizetype cost = hostedMessageCost(message);
    if (!current.isEmpty() && (currentSize + cost > maxCharacters || current.size() >= maxMessages)) {
      const qsizetype carried = keep < 1 ? 0 : std::min(keep, current.size());
      HostedMessageList next = current.mid(current.size() - carried);
      QList<qsizetype> nextCosts = currentCosts.mid(currentCosts.size() - carried);
      chunks.append(std::move(current));
      current = std::move(next);
      currentCosts = std::move(nextCosts);
      currentSize = 0;
      for (const qsizetype carriedCost : currentCosts) currentSize += carriedCost;
    }
    current.append(message);
    currentCosts.append(cost);
    currentSize += cost;
  }
  if (!current.isEmpty()) chunks.append(std::move(current));
  return chunks;
}

}  // namespace murmela
