#pragma once

#include "deck/charts/ArgumentTimeline.h"
#include "deck/charts/LineChart.h"
#include "deck/charts/MessageHeatmap.h"
#include "deck/charts/ResponseLineChart.h"
#include "deck/charts/YearBars.h"

#include <QString>

namespace murmela {

// What a screen reader says for a chart in place of its marks: a short
// account of the values the chart's layout draws, one phrase per value.

// "Messages per year: 2021, 1,204; 2022, 3,310."
QString describeYearBars(const YearBarsLayout& layout);
// "Messages per weekday: Mon, 1,204; Tue, 980." (the weekdays as drawn, each
// with the sum of its drawn cells)
QString describeMessageHeatmap(const MessageHeatmapLayout& layout);
// "Median reply time per year: '24, YOU 12m, MAYA 30m." (the legend's names)
QString describeResponseLineChart(const ResponseLineChartLayout& layout);
// "Mood by month, 2021 to 2025." and the call-outs the chart draws.
QString describeSentimentChart(const LineChartLayout& layout);
// "12 arguments on a time line, 2021 to 2025." with the call-out as drawn.
QString describeArgumentTimeline(const ArgumentTimelineLayout& layout);

}  // namespace murmela
