#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

namespace murmela {

// The weekday-by-hour counts of a report: row 0 is Sunday, entry h of a row
// is the hour starting at h:00.
using HourMatrix = QList<QList<qint64>>;

inline constexpr int kHeatmapColumns = 24;
inline constexpr int kHeatmapWeekdays = 7;

// The grid runs noon to noon: column 0 is the hour starting at 12 PM, column
// 12 the hour starting at midnight.
constexpr int heatmapColumnHour(int column) { return ((column + 12) % 24 + 24) % 24; }
constexpr int heatmapHourColumn(int hour) { return ((hour + 12) % 24 + 24) % 24; }

// "12a", "6a", "12p" and "6p" over the hours 0, 6, 12 and 18; empty otherwise.
QString heatmapHourMark(int hour);

// "Sun" ... "Sat" for rows 0 to 6; empty for any other row.
QString heatmapWeekdayName(int row);

// The largest count of the whole matrix, at least 1.
qint64 heatmapMaxValue(const HourMatrix& matrix);

// The busiest two consecutive hours of one weekday: the window starting at h
// adds the row's hour h and hour (h + 1) mod 24 of the same row (so a window
// at 23 wraps to that weekday's midnight hour), an hour past the row's end
// counting 0. Only a strictly larger sum replaces the best, so ties keep the
// earliest weekday, then the earliest hour; with no positive window the peak is
// (0, 0) with count 0. Every row of the matrix takes part.
struct HeatmapPeak {
  int day = 0;
  int hour = 0;
  qint64 count = 0;
};
HeatmapPeak heatmapPeak(const HourMatrix& matrix);

}  // namespace murmela
