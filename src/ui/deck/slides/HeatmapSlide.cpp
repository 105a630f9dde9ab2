#include "deck/slides/HeatmapSlide.h"

#include "common/LocaleFormat.h"
#include "deck/Captions.h"
#include "deck/SlideFormatters.h"
#include "deck/slides/SlidePage.h"
#include "deck/slides/SlideText.h"
#include "kit/layout/Stack.h"
#include "theme/MurmelaTheme.h"

#include <algorithm>

namespace murmela {
namespace {

constexpr qreal kTitleTop = 70.0;
constexpr qreal kSideInset = 28.0;
constexpr qreal kHeatmapTop = 54.0;
constexpr qreal kCardWidth = 220.0;
constexpr qreal kCardBottom = 125.0;
constexpr int kWindowHours = 2;

SlideTitle title(const PeakWindowSummary& peak) {
  return {QStringLiteral("The ") + peak.titleWindow + QStringLiteral(" spike."),
          QStringLiteral("like clockwork \u2014 when the thread gets loud,\nthe pattern shows up.")};
}

HeatmapInsightCard card(const WrappedReport& report, const PeakWindowSummary& peak) {
  const QString note = hostedInsight(report, &ReportInsightCopy::heatmapPeakInsight)
                           .value_or(LocaleFormat::groupedInteger(peak.count) +
                                     QStringLiteral(" texts in that window on ") + peak.day + QLatin1Char('.'));
  return {peak.window, QStringLiteral("Peak window"), note, MurmelaTheme::rose};
}

}  // namespace

PeakWindowSummary peakWindowSummary(const WrappedReport& report) {
  const HeatmapPeak peak = heatmapPeak(report.messagesByHourByDayOfWeek);
  return {timeWindowLabel(peak.hour, kWindowHours), hourLabel(peak.hour),
          heatmapWeekdayName(std::clamp(peak.day, 0, kHeatmapWeekdays - 1)), peak.count};
}

HeatmapSlide::Layout HeatmapSlide::layout() const {
  Layout layout;
  layout.peak = peakWindowSummary(report);
  const SlideTitle heading = title(layout.peak);
  const MessageHeatmap heatmap{report.messagesByHourByDayOfWeek};
  const HeatmapInsightCard note = card(report, layout.peak);
  const qreal width = SlidePage::kWidth - 2 * kSideInset;

  Stack stack = Stack::vertical(SlidePage::kStackSpacing);
  stack.add(layoutSlideTitle(heading, QRectF(0, 0, SlidePage::kWidth, 0)).frame.height(), -1,
            Insets{kTitleTop, 0, 0, 0});
  stack.add(layoutMessageHeatmap(heatmap, QRectF(0, 0, width, 0)).frame.height(), -1,
            Insets{kHeatmapTop, kSideInset, 0, kSideInset});
  stack.addSpacer();
  stack.add(layoutHeatmapInsightCard(note, QRectF(0, 0, kCardWidth, 0)).frame.rect.height(), kCardWidth,
            Insets{0, kSideInset, kCardBottom, kSideInset});
  const QList<QRectF> frames = stack.layout(SlidePage::bounds());

  layout.title = layoutSlideTitle(heading, frames[0]);
  layout.heatmap = layoutMessageHeatmap(heatmap, frames[1]);
  layout.card = layoutHeatmapInsightCard(note, frames[3]);
  return layout;
}

QList<QRectF> HeatmapSlide::Layout::elementFrames() const {
  return {title.frame, heatmap.frame, turnedBounds(card.frame.rect, card.rotation)};
}

void HeatmapSlide::paint(QPainter& painter) const {
  const Layout geometry = layout();
  paintSlideTitle(painter, geometry.title);
  paintMessageHeatmap(painter, geometry.heatmap);
  paintHeatmapInsightCard(painter, geometry.card);
}

}  // namespace murmela
