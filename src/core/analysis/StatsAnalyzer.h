#pragma once

#include "common/Date.h"
#include "analysis/PreparedConversation.h"
#include "data/Message.h"
#include "data/WrappedReport.h"

#include <QList>
#include <QMap>
#include <QStringView>

namespace murmela {

// The counting statistics of one conversation.
struct StatsResult {
  qint64 totalMessages = 0;
  qint64 totalDays = 0;   // first message's day to last message's day, both counted
  qint64 activeDays = 0;  // distinct local days with a message
  Date firstMessageDate;  // of the first element of the list
  Date lastMessageDate;   // of the last element of the list
  QMap<qint64, qint64> messagesByYear;
  QList<QList<qint64>> messagesByHourByDayOfWeek;  // 7 rows (Sunday first) x 24 hours
  QList<CountedString> topEmojis;                  // at most kTopEmojiLimit
  qint64 totalEmojiCount = 0;
  PersonIntBreakdown messagesPerPerson;
};

// Totals, dates, the activity grid, emojis and messages per person, in one
// pass over the messages. Stateless; calendar values come from the user's
// calendar at the time of the call.
class StatsAnalyzer {
 public:
  static constexpr qsizetype kTopEmojiLimit = 12;

  StatsResult analyze(const MessageList& messages) const;
  StatsResult analyze(const PreparedConversation& conversation) const;
};

}  // namespace murmela
