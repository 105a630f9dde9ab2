#pragma once

#include "data/ImportedChat.h"
#include "hosted/HostedAnalysisWorkflow.h"
#include "hosted/HostedChatMessage.h"

#include <QList>

namespace murmela {

using HostedMessageList = QList<HostedChatMessage>;

// Texts of this many characters (grapheme clusters) or more are cut to the
// kept prefix followed by the marker before they are sent.
constexpr qsizetype kHostedTruncationThreshold = 12001;
constexpr qsizetype kHostedTruncationKeep = 12000;
inline const QString kHostedTruncationMarker = QStringLiteral(" [message truncated for analysis]");
// Added to every message's character cost when chunking.
constexpr qsizetype kHostedMessageOverhead = 8;

// The chat's messages as the backend sees them in cloud mode: numbered from 1
// in chat order, the sender named by meName or otherName, the date in the
// hosted time-stamp form, text and photo flag unchanged.
HostedMessageList makeHostedMessages(const ImportedChat& chat, HostedAnalysisWorkflow workflow);

// Every text of 12001 characters or more becomes its first 12000 characters
// followed by " [message truncated for analysis]"; everything else stays.
// Takes the list by value: a list handed over with std::move is changed in place.
HostedMessageList truncateHostedMessages(HostedMessageList messages);

// Splits the messages into chunks for the analysis steps. A message costs the
// characters of its sender, time stamp and text plus 8. A non-empty chunk is
// closed before a message that would take it past maxCharacters, or once it
// holds maxMessages; the next chunk starts with the closed chunk's last
// min(maxMessages - 1, overlapMessages) messages. Limits are only tested
// before adding to a non-empty chunk, so a single message (or the overlap
// with the message after it) may exceed maxCharacters; a message is never
// split. No messages, no chunks.
QList<HostedMessageList> chunk(const HostedMessageList& messages, qsizetype maxCharacters, qsizetype maxMessages,
                               qsizetype overlapMessages);

// The same chunks as positions in `messages` (each chunk is one run of
// consecutive messages, the overlap included): no message is copied.
struct HostedChunkBounds {
  qsizetype begin = 0;  // first message
  qsizetype end = 0;    // one past the last
  friend bool operator==(const HostedChunkBounds&, const HostedChunkBounds&) = default;
};
QList<HostedChunkBounds> chunkBounds(const HostedMessageList& messages, qsizetype maxCharacters, qsizetype maxMessages,
                                     qsizetype overlapMessages);

// The character cost of one message in chunking.
qsizetype hostedMessageCost(const HostedChatMessage& message);

}  // namespace murmela
