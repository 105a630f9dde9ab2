#include "deck/slides/VibeShiftSlide.h"

#include "deck/Captions.h"
#include "deck/SlideFormatters.h"
#include "deck/charts/SentimentAreaChart.h"
#include "deck/slides/SlideColumn.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>

#include <algorithm>

namespace murmela {
namespace {

using namespace slide_column;

constexpr qreal kTitleTop = 90.0;
constexpr QSizeF kChartSize{334.0, 240.0};
constexpr qreal kChartTop = 46.0;
constexpr qreal kCaptionSideInset = 36.0;
constexpr qreal kCaptionBottom = 90.0;
constexpr qreal kCaptionMaxHeight = 170.0;
constexpr qreal kCaptionMinimumScale = 0.75;

TextStyle captionStyle(const QColor& color) {
  return TextStyle{.typeface = Typeface::caveat, .size = 19, .color = color};
}

}  // namespace

std::optional<int> lowSentimentMonth(const QList<MonthlySentiment>& months) {
  if (months.isEmpty()) return std::nullopt;
  // The chart's valley: scores that are not numbers are passed over, and
  // with none left the first month stands.
  return sentimentExtremes(months).valley.value_or(0);
}

StyledText vibeCaption(const WrappedReport& report) {
  StyledText caption(ParagraphStyle{.minimumScale = kCaptionMinimumScale});
  const std::optional<QString> hosted = hostedInsight(report, &ReportInsightCopy::positiveSentimentPeakInsight);
  const std::optional<int> low = lowSentimentMonth(report.sentimentByMonth);
  const QString month = low ? murmelaMonthYear(report.sentimentByMonth[*low].month) : QString();
  if (!hosted) {
    if (!low) return caption.append(QStringLiteral("the vibe stayed mostly steady. "), captionStyle(MurmelaTheme::ink));
    return caption.append(QStringLiteral("something happened in "), captionStyle(MurmelaTheme::ink))
        .append(month, captionStyle(MurmelaTheme::rose))
        .append(QStringLiteral(". "), captionStyle(MurmelaTheme::ink));
  }
  caption.append(QStringLiteral("\u21B3 ") + *hosted + QLatin1Char(' '), captionStyle(MurmelaTheme::rose));
  if (!low) return caption;
  return caption.append(QStringLiteral("\n ... and"), captionStyle(MurmelaTheme::ink))
      .append(QStringLiteral(" something "), captionStyle(MurmelaTheme::sageDeep))
      .append(QStringLiteral("happened in ") + month + QStringLiteral(". "), captionStyle(MurmelaTheme::ink));
}

QList<QRectF> VibeShiftSlide::Layout::elementFrames() const { return {title.frame, chart.frame, caption.frame}; }

VibeShiftSlide::Layout VibeShiftSlide::layout() const {
  Layout result;
  result.title = slide_column::title(QStringLiteral("Sentiment over time."),
                                     QStringLiteral("monthly, smoothed. you can see it, can't you."), kTitleTop);
  const QRectF chart = centredBelow(result.title.frame.bottom(), kChartSize, kChartTop);
  result.chart = layoutSentimentAreaChart(SentimentAreaChart{report.sentimentByMonth}, chart);
  const qreal bottom = kHeight - kCaptionBottom;
  result.caption = textAbove(vibeCaption(report), kCaptionSideInset, bottom,
                             std::clamp(bottom - chart.bottom() - 2 * kSpacing, 0.0, kCaptionMaxHeight));
  return result;
}

void VibeShiftSlide::paint(QPainter& painter) const {
  const Layout geometry = layout();
  paintSlideTitle(painter, geometry.title);
  paintSentimentAreaChart(painter, geometry.chart);
  geometry.caption.paint(painter);
}

}  // namespace murmela
