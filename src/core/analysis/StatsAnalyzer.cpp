#include "analysis/StatsAnalyzer.h"

#include "analysis/PreparedConversation.h"
#include "analysis/RankedCounts.h"
#include "common/LocalCalendar.h"
#include "common/UnicodeText.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <array>
#include <limits>

namespace murmela {
namespace {

// The lowest scalar that can make a character an emoji: U+231A WATCH is the
// first with Emoji_Presentation, and the Emoji-only rule starts above U+238C.
// A text whose UTF-16 units all lie below it holds no emoji at all.
constexpr char16_t kFirstEmojiUnit = 0x231A;

bool mayHoldEmoji(QStringView text) {
  for (const QChar unit : text)
    if (unit.unicode() >= kFirstEmojiUnit) return true;
  return false;
}

QList<QList<qint64>> emptyGrid() { return QList<QList<qint64>>(7, QList<qint64>(24, 0)); }

}  // namespace

StatsResult StatsAnalyzer::analyze(const MessageList& messages) const {
  return analyze(PreparedConversation(messages));
}

StatsResult StatsAnalyzer::analyze(const PreparedConversation& conversation) const {
  const MessageList& messages = conversation.messages();
  StatsResult result;
  result.messagesByHourByDayOfWeek = emptyGrid();
  if (messages.isEmpty()) {
    const Date now = Date::now();
    result.firstMessageDate = now;
    result.lastMessageDate = now;
    return result;
  }

  const LocalCalendar& calendar = conversation.calendar();
  result.firstMessageDate = messages.first().date;
  result.lastMessageDate = messages.last().date;

  std::array<std::array<qint64, 24>, 7> grid{};
  QSet<qint64> days;  // Julian day numbers of the local days
  QHash<QString, qint64> emojis;
  qint64 lastDay = std::numeric_limits<qint64>::min();
  int lastYear = 0;
  int lastRow = 0;
  qint64* yearCount = nullptr;

  for (qsizetype at = 0; at < conversation.size(); ++at) {
    const Message& message = messages[at];
    const qint64 julianDay = conversation.julianDay(at);
    if (julianDay != lastDay || !yearCount) {
      // Messages come in date order, so the year and the weekday change rarely.
      const QDate day = QDate::fromJulianDay(julianDay);
      lastDay = julianDay;
      days.insert(julianDay);
      lastYear = day.year();
      lastRow = LocalCalendar::weekdayRow(day);
      yearCount = &result.messagesByYear[lastYear];
    }
    ++*yearCount;
    const int hour = conversation.hour(at);
    if (lastRow >= 0 && lastRow < 7 && hour >= 0 && hour < 24) ++grid[lastRow][hour];

    if (message.isFromMe)
      ++result.messagesPerPerson.me;
    else
      ++result.messagesPerPerson.them;

    if (!mayHoldEmoji(message.text)) continue;
    UnicodeText::forEachGrapheme(message.text, [&](QStringView character) {
      if (!mayHoldEmoji(character) || !UnicodeText::isLikelyEmoji(character)) return;
      ++emojis[UnicodeText::nfc(character.toString())];
      ++result.totalEmojiCount;
    });
  }

  result.totalMessages = messages.size();
  result.totalDays = std::max<qint64>(calendar.daysBetween(result.firstMessageDate, result.lastMessageDate) + 1, 1);
  result.activeDays = days.size();
  for (int row = 0; row < 7; ++row)
    for (int hour = 0; hour < 24; ++hour) result.messagesByHourByDayOfWeek[row][hour] = grid[row][hour];
  for (const RankedCount& entry : rankCounts(emojis, kTopEmojiLimit))
    result.topEmojis.append(CountedString{entry.text, entry.count});
  return result;
}

}  // namespace murmela
