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
// "Messages per weekday and hour, noon to noon: MON, 1,204, most at 10 PM; …"
// (the weekdays as drawn, each with the sum of its drawn cells and its
// loudest hour), the legend's words and the outlined busiest window.
QString describeMessageHeatmap(const MessageHeatmapLayout& layout);
// "Median reply time per year: '24, YOU 12m, MAYA 30m." (the legend's names)
QString describeResponseLineChart(const ResponseLineChartLayout& layout);
// "Mood by month, 2021 to 2025." and the call-outs the chart draws, each
// said as the warmest or the lowest month.
QString describeSentimentChart(const LineChartLayout& layout);
// "12 arguments on a time line, 2021 to 2025." with the ringed biggest one's
// call-out as drawn.
QString describeArgumentTimeline(const ArgumentTimelineLayout& layout);

}  // namespace murmela
