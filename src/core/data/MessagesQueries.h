#pragma once

#include "data/ContactSummary.h"
#include "data/Message.h"

#include <QList>
#include <QString>

struct sqlite3;

// The reader's three statements, run on a connection that is open.
namespace murmela::MessagesQueries {

// The conversation with `handle`, oldest first. Reaction messages are left
// out; a message without plain text takes its text from the attributed body,
// and one without either is skipped.
MessageList messages(sqlite3* database, const QString& handle);
// The number of distinct attachments in the one-to-one chats with `handle`.
qint64 attachmentCount(sqlite3* database, const QString& handle);
// Every partner of a one-to-one chat with at least one counted message, most
// messages first, without display names.
QList<ContactSummary> contactSummaries(sqlite3* database);

}  // namespace murmela::MessagesQueries
