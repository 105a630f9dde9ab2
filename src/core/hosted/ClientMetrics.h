#pragma once

#include "json/JSONValue.h"
#include "data/Message.h"
#include "data/WrappedReport.h"

#include <QString>

namespace murmela {

// Figures computed on the device from the local report, sent with the
// insights step: "responseTimeByYear" and "heatmapPeak" always;
// "longestReplyGap", "peakYear", "firstDistinctiveTerm" and
// "positiveSentimentPeak" when the report has them. The peak year is the
// earliest of equally busy years; the sentiment peak the earliest of equal
// months.
JSONValue clientMetrics(const WrappedReport& report, const MessageList& sourceMessages);

// The busiest two-hour window of the report's weekday-by-hour heatmap (the
// earlier window wins a tie, day first, then hour; hour 23 pairs with hour 0
// of the same day), with the 1-based indices of the source messages sent in
// that window in the user's calendar: {"weekdayIndex", "weekdayName",
// "startHour", "durationHours", "windowLabel", "titleLabel", "messageCount",
// "messageIndices"}.
JSONValue heatmapPeakMetric(const WrappedReport& report, const MessageList& sourceMessages);

// "12 — 2 AM", "10 AM — 12 PM", "10 PM — 12 AM": the suffix is written once
// when both ends share it. Hours are taken mod 24.
QString hostedTimeWindowLabel(int startHour, int duration);

// "12 AM", "9 AM", "12 PM", "9 PM". The hour is taken mod 24.
QString hostedHourLabel(int hour);

}  // namespace murmela
