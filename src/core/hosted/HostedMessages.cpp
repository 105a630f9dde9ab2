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

HostedMessageList truncateHostedMessages(HostedMessageList messages) {
  for (qsizetype i = 0; i < messages.size(); ++i) {
    const QString& text = messages.at(i).text;
    // A cluster has at least one UTF-16 unit: shorter texts cannot reach the threshold.
    if (text.size() < kHostedTruncationThreshold) continue;
    if (UnicodeText::graphemeCount(text) < kHostedTruncationThreshold) continue;
    messages[i].text = UnicodeText::graphemePrefix(text, kHostedTruncationKeep) + kHostedTruncationMarker;
  }
  return messages;
}

qsizetype hostedMessageCost(const HostedChatMessage& message) {
  return UnicodeText::graphemeCount(message.sender) + UnicodeText::graphemeCount(message.timestamp) +
         UnicodeText::graphemeCount(message.text) + kHostedMessageOverhead;
}

QList<HostedChunkBounds> chunkBounds(const HostedMessageList& messages, qsizetype maxCharacters, qsizetype maxMessages,
                                     qsizetype overlapMessages) {
  const qsizetype keep = std::min(maxMessages - 1, overlapMessages);
  QList<HostedChunkBounds> chunks;
  QList<qsizetype> costs;  // of every message, for the overlap's size
  costs.reserve(messages.size());
  HostedChunkBounds current;
  qsizetype currentSize = 0;

  for (qsizetype i = 0; i < messages.size(); ++i) {
    const qsizetype cost = hostedMessageCost(messages.at(i));
    costs.append(cost);
    const qsizetype held = current.end - current.begin;
    if (held > 0 && (currentSize + cost > maxCharacters || held >= maxMessages)) {
      const qsizetype carried = keep < 1 ? 0 : std::min(keep, held);
      chunks.append(current);
      current.begin = current.end - carried;
      currentSize = 0;
      for (qsizetype j = current.begin; j < current.end; ++j) currentSize += costs[j];
    }
    current.end = i + 1;
    currentSize += cost;
  }
  if (current.end > current.begin) chunks.append(current);
  return chunks;
}

QList<HostedMessageList> chunk(const HostedMessageList& messages, qsizetype maxCharacters, qsizetype maxMessages,
                               qsizetype overlapMessages) {
  QList<HostedMessageList> chunks;
  for (const HostedChunkBounds& bounds : chunkBounds(messages, maxCharacters, maxMessages, overlapMessages))
    chunks.append(messages.mid(bounds.begin, bounds.end - bounds.begin));
  return chunks;
}

}  // namespace murmela
