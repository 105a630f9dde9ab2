#include "analysis/StreakAnalyzer.h"

#include "analysis/PreparedConversation.h"
#include "common/LocalCalendar.h"

#include <algorithm>
#include <vector>

namespace murmela {

StreakResult StreakAnalyzer::analyze(const MessageList& messages) const {
  return analyze(PreparedConversation(messages));
}

StreakResult StreakAnalyzer::analyze(const PreparedConversation& conversation) const {
  const LocalCalendar& calendar = conversation.calendar();
  // Julian day numbers of the local days, each once, ascending.
  std::vector<qint64> days;
  for (qsizetype at = 0; at < conversation.size(); ++at) {
    const qint64 day = conversation.julianDay(at);
    if (days.empty() || days.back() != day) days.push_back(day);
  }
  if (!std::is_sorted(days.begin(), days.end())) std::sort(days.begin(), days.end());
  days.erase(std::unique(days.begin(), days.end()), days.end());

  StreakResult result;
  if (days.empty()) {
    const Date now = Date::now();
    result.longestStreak = {0, now};
    result.longestSilence = {0, now};
    return result;
  }

  qint64 streakDays = 1;
  qint64 streakEnd = days.front();
  qint64 silenceDays = 0;
  qint64 silenceStart = days.front();
  qint64 run = 1;
  for (size_t i = 1; i < days.size(); ++i) {
    const qint64 difference = days[i] - days[i - 1];
    if (difference == 1) {
      ++run;
      if (run > streakDays) {
        streakDays = run;
        streakEnd = days[i];
      }
    } else {
      run = 1;
    }
    if (difference - 1 > silenceDays) {
      silenceDays = difference - 1;
      silenceStart = days[i - 1];
    }
  }
  result.longestStreak = {streakDays, calendar.startOfDay(QDate::fromJulianDay(streakEnd))};
  result.longestSilence = {silenceDays, calendar.startOfDay(QDate::fromJulianDay(silenceStart))};
  return result;
}

}  // namespace murmela
