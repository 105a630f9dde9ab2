#include "analysis/ResponseTimeAnalyzer.h"

#include "common/LocalCalendar.h"

#include <algorithm>
#include <map>

namespace murmela {

double median(QList<double> values) {
  const qsizetype n = values.size();
  if (n == 0) return 0.0;
  // Selection instead of a full sort: the same elements, in linear time.
  const auto middle = values.begin() + n / 2;
  std::nth_element(values.begin(), middle, values.end());
  if (n % 2 == 1) return *middle;
  const double lower = *std::max_element(values.begin(), middle);
  return (lower + *middle) / 2.0;
}

ResponseTimeResult ResponseTimeAnalyzer::analyze(const MessageList& messages) const {
  ResponseTimeResult result;
  const LocalCalendar calendar;
  std::map<int, QList<double>> byMe;
  std::map<int, QList<double>> byThem;

  for (qsizetype i = 1; i < messages.size(); ++i) {
    const Message& previous = messages[i - 1];
    const Message& current = messages[i];
    if (previous.isFromMe == current.isFromMe) continue;
    const double gap = current.date.secondsSince(previous.date);
    if (!(gap > 0.0) || gap > kLongestCountedGap) continue;
    const int year = calendar.year(current.date);
    (current.isFromMe ? byMe : byThem)[year].append(gap);
    if (!result.longestReplyGap || gap > result.longestReplyGap->interval)
      result.longestReplyGap = ReplyGap{current.isFromMe, gap, previous.date, current.date};
  }

  std::map<int, YearlyResponseTime> years;
  for (const auto& [year, gaps] : byMe) years[year].me = median(gaps);
  for (const auto& [year, gaps] : byThem) years[year].them = median(gaps);
  for (auto& [year, entry] : years) {
    entry.year = year;
    result.byYear.append(entry);
  }
  return result;
}

}  // namespace murmela
