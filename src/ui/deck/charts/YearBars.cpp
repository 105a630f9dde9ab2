#include "deck/charts/YearBars.h"

#include "common/LocaleFormat.h"

#include <algorithm>

namespace murmela {
namespace {

constexpr double kPeakBand = 72.0;   // above the plot, for the peak label
constexpr double kLabelBand = 24.0;  // below the baseline, for the year labels
constexpr double kLargestBarWidth = 34.0;
constexpr double kSmallestBarWidth = 14.0;
constexpr double kBarShareOfSlot = 0.62;
constexpr double kPeakLabelInset = 74.0;
constexpr double kPeakLabelCentreY = 34.0;

}  // namespace

std::optional<qint64> yearBarsPeakYear(const QMap<qint64, qint64>& values) {
  std::optional<qint64> peak;
  qint64 best = 0;
  for (auto it = values.cbegin(); it != values.cend(); ++it) {
    if (!peak || it.value() > best) {
      peak = it.key();
      best = it.value();
    }
  }
  return peak;
}

QString yearBarLabel(qint64 year) { return QLatin1Char('\'') + QString::number(year).right(2); }

YearBarsLayout layoutYearBars(const YearBars& bars, const QRectF& frame) {
  YearBarsLayout layout;
  layout.frame = frame;
  const qsizetype n = bars.values.size();
  layout.slot = frame.width() / static_cast<double>(std::max<qsizetype>(n, 1));
  layout.barWidth = std::min(kLargestBarWidth, std::max(kSmallestBarWidth, layout.slot * kBarShareOfSlot));
  layout.plotTop = frame.top() + kPeakBand;
  layout.plotHeight = std::max(1.0, frame.height() - kPeakBand - kLabelBand);
  layout.baseline = layout.plotTop + layout.plotHeight;

  qint64 maxCount = 1;
  for (const qint64 count : bars.values) maxCount = std::max(maxCount, count);
  const std::optional<qint64> peakYear = yearBarsPeakYear(bars.values);

  int i = 0;
  for (auto it = bars.values.cbegin(); it != bars.values.cend(); ++it, ++i) {
    const double x = frame.left() + (i + 0.5) * layout.slot;
    const double share = std::clamp(static_cast<double>(it.value()) / static_cast<double>(maxCount), 0.0, 1.0);
    const double h = share * layout.plotHeight;
    YearBar bar;
    bar.year = it.key();
    bar.count = it.value();
    bar.rect = QRectF(x - layout.barWidth / 2, layout.baseline - h, layout.barWidth, h);
    bar.peak = peakYear && *peakYear == it.key();
    bar.label = yearBarLabel(it.key());
    bar.labelCentre = {x, layout.baseline + kLabelBand / 2};
    if (bar.peak) {
      const double labelX = std::min(std::max(x, frame.left() + kPeakLabelInset), frame.right() - kPeakLabelInset);
      layout.peak = YearBarsPeakLabel{
          i, LocaleFormat::groupedInteger(it.value()) + QLatin1Char(' '), {labelX, frame.top() + kPeakLabelCentreY}};
    }
    layout.bars.append(bar);
  }
  return layout;
}

}  // namespace murmela
