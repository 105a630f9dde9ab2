#include "deck/charts/YearBars.h"

#include "deck/SlideFormatters.h"
#include "kit/layout/Stack.h"
#include "kit/paint/PainterState.h"
#include "kit/paint/Shapes.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace murmela {
namespace {

constexpr double kPeakBand = 72.0;   // above the plot, for the peak label
constexpr double kLabelBand = 24.0;  // below the baseline, for the year labels
constexpr double kLargestBarWidth = 34.0;
constexpr double kSmallestBarWidth = 14.0;
constexpr double kBarShareOfSlot = 0.62;
constexpr double kPeakLabelInset = 74.0;
constexpr double kPeakLabelCentreY = 34.0;
constexpr double kPeakStackSpacing = -6.0;  // the count and the arrow overlap
constexpr double kBarRadius = 3.0;
constexpr double kQuietBarOpacity = 0.75;
// Year labels shrink to this share of their size when the slots are narrow;
// past that only every n-th year is labelled.
constexpr double kLabelMinimumScale = 0.7;
constexpr double kPeakCountMinimumScale = 0.6;

const TextStyle kYearStyle{.typeface = Typeface::inter, .size = 8, .color = MurmelaTheme::inkSoft, .lineLimit = 1};
const TextStyle kPeakCountStyle{.typeface = Typeface::caveat, .size = 32, .color = MurmelaTheme::rose, .lineLimit = 1};
const TextStyle kArrowStyle{
    .typeface = Typeface::inter, .size = 25, .weight = QFont::DemiBold, .color = MurmelaTheme::rose, .lineLimit = 1};

// Every how many years a label is shown: 1 while the labels fit their slots
// at the smallest scale, else enough to give each shown label that room.
int labelStride(const QList<YearBar>& bars, double slot) {
  double widest = 0.0;
  for (const YearBar& bar : bars) widest = std::max(widest, layoutText(bar.label, kYearStyle).width());
  const double needed = widest * kLabelMinimumScale;
  if (needed <= slot) return 1;
  return static_cast<int>(std::ceil(needed / std::max(slot, 0.01)));
}

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
      YearBarsPeakLabel peak;
      peak.index = i;
      peak.count = groupedCount(it.value()) + QLatin1Char(' ');
      peak.centre = {labelX, frame.top() + kPeakLabelCentreY};
      layout.peak = peak;
    }
    layout.bars.append(bar);
  }

  const int stride = labelStride(layout.bars, layout.slot);
  const QSizeF labelBox(std::max(0.0, layout.slot * stride), kUnlimitedWidth);
  for (int k = 0; k < layout.bars.size(); k += stride) {
    YearBar& bar = layout.bars[k];
    bar.labelText =
        PlacedText::centredAt(fitText(bar.label, kYearStyle, labelBox, kLabelMinimumScale), bar.labelCentre);
  }
  if (layout.peak) {
    const QSizeF box(2 * kPeakLabelInset, kUnlimitedWidth);
    const TextLayout count = fitText(layout.peak->count, kPeakCountStyle, box, kPeakCountMinimumScale);
    const TextLayout arrow = layoutText(QStringLiteral("\u2193"), kArrowStyle);
    Stack stack = Stack::vertical(kPeakStackSpacing, StackAlign::center);
    stack.add(count);
    stack.add(arrow);
    const double height = stack.idealLength();
    const QRectF column(layout.peak->centre.x() - box.width() / 2, layout.peak->centre.y() - height / 2, box.width(),
                        height);
    const QList<QRectF> frames = stack.layout(column);
    layout.peak->countText = PlacedText::at(count, frames[0].topLeft());
    layout.peak->arrow = PlacedText::at(arrow, frames[1].topLeft());
  }
  return layout;
}

void paintYearBars(QPainter& painter, const YearBarsLayout& layout) {
  {
    PainterStateScope scope(painter);
    painter.setRenderHint(QPainter::Antialiasing);
    for (const YearBar& bar : layout.bars) {
      if (bar.rect.height() <= 0.0) continue;
      painter.fillPath(roundedRectPath(bar.rect, kBarRadius),
                       bar.peak ? MurmelaTheme::gold : withOpacity(MurmelaTheme::sage, kQuietBarOpacity));
    }
  }
  for (const YearBar& bar : layout.bars)
    if (bar.labelText) bar.labelText->paint(painter);
  if (layout.peak) {
    layout.peak->countText.paint(painter);
    layout.peak->arrow.paint(painter);
  }
}

}  // namespace murmela
