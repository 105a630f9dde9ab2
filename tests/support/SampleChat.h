#pragma once

#include "common/Date.h"
#include "data/ImportedChat.h"
#include "data/Message.h"

#include <QList>
#include <QString>

#include <cstdint>

namespace murmela::test {

struct SampleChatOptions {
  qsizetype messageCount = 20000;
  std::uint64_t seed = 2024;
  Date start = Date::fromUnix(1581638400.0);  // 2020-02-14T00:00:00Z
  double spanDays = 4 * 365.0;
  QString myName = QStringLiteral("Alex");
  QString otherName = QStringLiteral("Sam");
  QString handle = QStringLiteral("+15551234567");
};

// A realistic two-person conversation for tools, benchmarks and tests: the
// synthetic everyday chat, with a couple's story laid over it (an inside joke
// that keeps coming back, firsts like "miss you" and "i love you", pet names,
// apologies) and a few argument evenings inserted, emojis and photos.
// Deterministic: the same options give the same messages on every machine.
// Dates are whole seconds, each message its own, so every export form keeps
// them and their order exactly.
struct SampleChat {
  QString myName;
  QString otherName;
  QString handle;
  MessageList messages;        // oldest first, ids 1..N; hasPhoto on the messages with a photo
  QList<bool> bodyOnly;        // per message: the Messages database keeps its text only in the attributed body
  qsizetype argumentDays = 0;  // evenings of conflict inserted

  // The chat as the CSV road imports it (contact "csv:" + the other name).
  ImportedChat importedChat() const;
};

SampleChat makeSampleChat(const SampleChatOptions& options);

// The chat as a CSV export: "name,timestamp,message,photo", one row per
// message, the timestamp in ISO-8601 UTC, every name and text quoted, the
// photo column "1" or "0". Throws std::runtime_error when the file cannot be
// written.
void writeSampleChatCsv(const SampleChat& chat, const QString& path);

// The chat as a Messages database with the real table layout: one one-to-one
// chat with the handle, the user's rows with handle 0, the body-only rows with
// a NULL text and an attributed body, one attachment per photo, and rows the
// reader must skip (reactions, a group chat, another contact), and
// `moreContacts` further one-to-one conversations of a few messages each
// (a long contact list). An existing file is replaced. Throws
// std::runtime_error on a database failure.
void writeSampleChatDatabase(const SampleChat& chat, const QString& path, qsizetype moreContacts = 0);

}  // namespace murmela::test
