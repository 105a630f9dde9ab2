#pragma once

#include "data/Message.h"
#include "data/WrappedReport.h"

#include <QList>

#include <optional>

namespace murmela {

struct ResponseTimeResult {
  QList<YearlyResponseTime> byYear;  // years ascending
  std::optional<ReplyGap> longestReplyGap;
};

// How long each person takes to answer the other: the median gap per local
// calendar year of the answer, and the longest single answered gap. Only a
// change of sender is an answer, and only gaps in (0, 7 days] count.
class ResponseTimeAnalyzer {
 public:
  static constexpr double kLongestCountedGap = 604800.0;  // seconds, 7 days

  ResponseTimeResult analyze(const MessageList& messages) const;
};

// Median of a list: 0 when empty, the middle element of the sorted list for an
// odd count, the mean of the two middle elements for an even count.
double median(QList<double> values);

}  // namespace murmela
