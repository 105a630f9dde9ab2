#include "data/MessagesDatabaseReader.h"

#include "common/PathExpansion.h"
#include "data/MessagesDatabaseReading.h"

namespace murmela {

MessagesDatabaseReader::MessagesDatabaseReader(QString databasePath, Options options)
    : databasePath_(std::move(databasePath)), options_(std::move(options)) {}

MessageList MessagesDatabaseReader::fetchMessages(const QString& handle) const {
  return MessagesDatabaseReading(*this).fetchMessages(handle);
}

qint64 MessagesDatabaseReader::countAttachments(const QString& handle) const {
  return MessagesDatabaseReading(*this).countAttachments(handle);
}

QList<ContactSummary> MessagesDatabaseReader::fetchContactSummaries() const {
  return MessagesDatabaseReading(*this).fetchContactSummaries();
}

bool MessagesDatabaseReader::canOpen() const { return MessagesDatabaseReading(*this).canOpen(); }

std::optional<MessagesDatabaseReader> MessagesDatabaseReader::launchArgumentOverride(const QStringList& arguments) {
  const qsizetype flag = arguments.indexOf(QStringLiteral("-messagesDB"));
  if (flag < 0 || flag + 1 >= arguments.size()) return std::nullopt;
  return MessagesDatabaseReader(expandingTildeInPath(arguments.at(flag + 1)));
}

}  // namespace murmela
