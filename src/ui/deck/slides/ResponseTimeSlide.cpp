#include "deck/slides/ResponseTimeSlide.h"

#include "deck/Captions.h"
#include "deck/SlideFormatters.h"
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
// The longest-wait box: 12 of padding, 32 in from the sides, 110 above the
// bottom, a dashed faint rose outline with 4-point corners.
constexpr qreal kBoxPadding = 12.0;
constexpr qreal kBoxSideInset = 32.0;
constexpr qreal kBoxBottom = 110.0;
constexpr qreal kBoxRadius = 4.0;
constexpr qreal kBoxOutlineOpacity = 0.4;
// A long name wraps the caption; past a few lines it shrinks, then is cut.
constexpr qreal kCaptionMaxHeight = 110.0;
constexpr qreal kCaptionMinimumScale = 0.75;

TextStyle waitStyle(const QColor& color) { return TextStyle{.typeface = Typeface::caveat, .size = 19, .color = color}; }

}  // namespace

QString responseSubtitle(const WrappedReport& report) {
  if (const auto hosted = hostedInsight(report, &ReportInsightCopy::responseTimeShiftInsight)) return *hosted;
  const QList<YearlyResponseTime>& years = report.responseTimeByYear;
  if (years.isEmpty()) return QStringLiteral("how fast you came back.");
  const YearlyResponseTime& first = years.first();
  const YearlyResponseTime& last = years.last();
  return QStringLiteral("You went from ") + formatDuration(first.me) + QStringLiteral(" to ") +
         formatDuration(last.me) + QStringLiteral(".\n") + report.participantNames.them +
         QStringLiteral(" went from ") + formatDuration(first.them) + QStringLiteral(" to ") +
         formatDuration(last.them) + QLatin1Char('.');
}

StyledText longestWaitCaption(const WrappedReport& report) {
  StyledText caption(ParagraphStyle{.minimumScale = kCaptionMinimumScale});
  caption.append(QStringLiteral("\u21B3 longest wait? "), waitStyle(MurmelaTheme::sageDeep));
  if (!report.longestReplyGap) return caption.append(QStringLiteral("unknown. "), waitStyle(MurmelaTheme::ink));
  const ReplyGap& gap = *report.longestReplyGap;
  const QString you = QStringLiteral("you");
  const QString& them = report.participantNames.them;
  // The responder is the one who made the other wait.
  const QString& responder = gap.responderWasMe ? you : them;
  const QString& waiter = gap.responderWasMe ? them : you;
  return caption.append(responder + QStringLiteral(" made ") + waiter + QStringLiteral(" wait ") +
                            formatDuration(gap.interval) + QStringLiteral(", on ") + murmelaDate(gap.replyDate) +
                            QStringLiteral(". "),
                        waitStyle(MurmelaTheme::ink));
}

QList<QRectF> ResponseTimeSlide::Layout::elementFrames() const { return {title.frame, chart.frame, waitBox.rect}; }

ResponseTimeSlide::Layout ResponseTimeSlide::layout() const {
  Layout result;
  result.title = slide_column::title(QStringLiteral("Median minutes to reply."), responseSubtitle(report), kTitleTop);
  const QRectF chart = centredBelow(result.title.frame.bottom(), kChartSize, kChartTop);
  result.chart =
      layoutResponseLineChart(ResponseLineChart{report.responseTimeByYear, report.participantNames.them}, chart);

  const qreal textWidth = kWidth - 2 * (kBoxSideInset + kBoxPadding);
  const qreal room = kHeight - kBoxBottom - 2 * kBoxPadding - (chart.bottom() + 2 * kSpacing);
  const TextLayout caption =
      fitText(longestWaitCaption(report), QSizeF(textWidth, std::clamp(room, 0.0, kCaptionMaxHeight)));
  const QSizeF boxSize(caption.width() + 2 * kBoxPadding, caption.height() + 2 * kBoxPadding);
  result.waitBox.rect =
      QRectF(QPointF((kWidth - boxSize.width()) / 2, kHeight - kBoxBottom - boxSize.height()), boxSize);
  result.waitBox.radius = kBoxRadius;
  result.waitBox.fill = MurmelaTheme::creamDeep;
  result.waitBox.border = withOpacity(MurmelaTheme::rose, kBoxOutlineOpacity);
  result.waitBox.dash = kCardDash;
  result.waitCaption = PlacedText::at(caption, result.waitBox.rect.topLeft() + QPointF(kBoxPadding, kBoxPadding));
  return result;
}

void ResponseTimeSlide::paint(QPainter& painter) const {
  const Layout geometry = layout();
  paintSlideTitle(painter, geometry.title);
  paintResponseLineChart(painter, geometry.chart);
  paintCardBackground(painter, geometry.waitBox);
  geometry.waitCaption.paint(painter);
  paintCardBorder(painter, geometry.waitBox);
}

}  // namespace murmela
