#include "deck/slides/ArgumentMapSlide.h"

#include "deck/Captions.h"
#include "deck/slides/SlideColumn.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>

#include <algorithm>

namespace murmela {
namespace {

using namespace slide_column;

constexpr qreal kTitleTop = 90.0;
constexpr QSizeF kTimelineSize{334.0, 220.0};
constexpr qreal kTimelineTop = 48.0;
constexpr qreal kLegendSideInset = 36.0;
constexpr qreal kLegendTop = 16.0;
constexpr qreal kCaptionSideInset = 36.0;
constexpr qreal kCaptionBottom = 80.0;
constexpr qreal kCaptionMaxHeight = 150.0;
constexpr qreal kCaptionMinimumScale = 0.75;

}  // namespace

StyledText argumentCaption(const WrappedReport& report) {
  StyledText caption(ParagraphStyle{.alignment = TextAlign::center, .minimumScale = kCaptionMinimumScale});
  if (const auto hosted = hostedInsight(report, &ReportInsightCopy::argumentInsight))
    return caption.append(QStringLiteral("\u21B3 ") + *hosted + QLatin1Char(' '),
                          TextStyle{.typeface = Typeface::caveat, .size = 19, .color = MurmelaTheme::ink});
  return caption.append(
      QStringLiteral("\u21B3 approximate \u2014 based on tone analysis."),
      TextStyle{.typeface = Typeface::inter, .size = 9.5, .tracking = 1.6, .color = MurmelaTheme::inkSoft});
}

CavedCounts cavedCounts(const QList<ArgumentEvent>& events) {
  CavedCounts counts;
  for (const ArgumentEvent& event : events) ++(event.endedByMe ? counts.mine : counts.theirs);
  return counts;
}

QList<QRectF> ArgumentMapSlide::Layout::elementFrames() const {
  return {title.frame, timeline.frame, legendRow, caption.frame};
}

ArgumentMapSlide::Layout ArgumentMapSlide::layout() const {
  Layout result;
  result.title =
      slide_column::title(QStringLiteral("Every fight, charted."),
                          QStringLiteral("dot size = how long it lasted. color = who texted last."), kTitleTop);
  const QRectF timeline = centredBelow(result.title.frame.bottom(), kTimelineSize, kTimelineTop);
  result.timeline = layoutArgumentTimeline(
      ArgumentTimeline{report.argumentEvents, report.firstMessageDate, report.lastMessageDate}, timeline);

  const CavedCounts caved = cavedCounts(report.argumentEvents);
  // The counts stay whole when a long name has to give way.
  const QList<LegendSwatch> swatches = {
      {MurmelaTheme::sageDeep, QStringLiteral("YOU CAVED \u00B7 "), QString::number(caved.mine)},
      {MurmelaTheme::rose, report.participantNames.them.toUpper() + QStringLiteral(" CAVED \u00B7 "),
       QString::number(caved.theirs)},
  };
  const qreal legendHeight = layoutLegendSwatch(swatches.first(), QRectF()).frame.height();
  result.legendRow =
      QRectF(kLegendSideInset, timeline.bottom() + kSpacing + kLegendTop, kWidth - 2 * kLegendSideInset, legendHeight);
  result.legend = layoutLegendRow(swatches, result.legendRow, kSpacing, LegendRowArrangement::spread);

  result.caption = textAbove(
      argumentCaption(report), kCaptionSideInset, kHeight - kCaptionBottom,
      std::clamp(kHeight - kCaptionBottom - result.legendRow.bottom() - 2 * kSpacing, 0.0, kCaptionMaxHeight));
  return result;
}

void ArgumentMapSlide::paint(QPainter& painter) const {
  const Layout geometry = layout();
  paintSlideTitle(painter, geometry.title);
  paintArgumentTimeline(painter, geometry.timeline);
  for (const LegendSwatchLayout& swatch : geometry.legend) paintLegendSwatch(painter, swatch);
  geometry.caption.paint(painter);
}

}  // namespace murmela
