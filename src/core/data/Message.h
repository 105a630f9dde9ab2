#pragma once

#include "common/Date.h"

#include <QList>
#include <QString>

namespace murmela {

// One message of the conversation, as every analyzer reads it.
struct Message {
  qint64 id = 0;        // database row, or the CSV row's running number
  QString text;         // trimmed; from the attributed body where the plain text is missing
  Date date;
  bool isFromMe = false;
  QString handle;       // the other participant's handle, also on the user's own messages
  bool hasPhoto = false;  // set only by the CSV importer
};

using MessageList = QList<Message>;

}  // namespace murmela
