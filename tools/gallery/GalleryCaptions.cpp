// The caption rule and the formatters, applied to each report's own values,
// on a slide frame: one sheet per demo report and per edge report.
#include "GalleryRegistry.h"
#include "GalleryReports.h"

#include "deck/Captions.h"
#include "deck/SlideFormatters.h"
#include "deck/chrome/SlideFrame.h"
#include "kit/layout/Stack.h"
#include "kit/text/TextLayout.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>

#include <algorithm>

namespace murmela::gallery {
namespace {

constexpr qreal kMargin = 26.0;
const TextStyle kLabel{
    .typeface = Typeface::inter, .size = 8, .tracking = 1.4, .upperCase = true, .color = MurmelaTheme::inkSoft};
constexpr qreal kContentTop = 30.0;
constexpr qreal kContentBottom = 730.0;  // clear of the footer
const TextStyle kValue{.typeface = Typeface::dmSerifDisplay, .size = 13, .lineLimit = 1, .minimumScale = 0.7};
const TextStyle kSentence{.typeface = Typeface::dmSerifDisplay, .size = 11.5, .lineLimit = 2, .minimumScale = 0.8};
const TextStyle kFallback{.typeface = Typeface::caveat, .size = 15, .color = MurmelaTheme::sageDeep, .lineLimit = 1};

struct Row {
  QString label;
  QString value;
  bool fallback = false;  // the slide's own caption applies
  bool sentence = false;  // a hosted sentence
};

QList<Row> rowsFor(const WrappedReport& report) {
  QList<Row> rows;
  rows.append(
      {QStringLiteral("murmelaDate: first \u2014 last"),
       murmelaDate(report.firstMessageDate) + QStringLiteral(" \u2014 ") + murmelaDate(report.lastMessageDate)});
  rows.append({QStringLiteral("grouped counts: messages \u00B7 days"),
               groupedCount(report.totalMessages) + QStringLiteral(" \u00B7 ") + groupedCount(report.totalDays)});
  if (report.sentimentByMonth.isEmpty()) {
    rows.append({QStringLiteral("murmelaMonthYear: sentiment months"), QStringLiteral("no months"), true});
  } else {
    rows.append({QStringLiteral("murmelaMonthYear: first \u2014 last month"),
                 murmelaMonthYear(report.sentimentByMonth.first().month) + QStringLiteral(" \u2014 ") +
                     murmelaMonthYear(report.sentimentByMonth.last().month)});
  }
  QStringList labels;
  for (const ArgumentEvent& event : report.argumentEvents.mid(0, 4)) labels.append(argumentMapLabel(event.date));
  rows.append({QStringLiteral("argumentMapLabel: events"),
               labels.isEmpty() ? QStringLiteral("no events") : labels.join(QStringLiteral(" \u00B7 ")),
               labels.isEmpty()});
  rows.append({QStringLiteral("hourLabel / timeWindowLabel"), hourLabel(21) + QStringLiteral(" \u00B7 ") +
                                                                  timeWindowLabel(21, 2) + QStringLiteral(" \u00B7 ") +
                                                                  timeWindowLabel(23, 2)});
  const double rate = std::max(report.initiationRate.me, report.initiationRate.them);
  rows.append({QStringLiteral("initiationFrequencyPhrase(%1)").arg(rate, 0, 'f', 2), initiationFrequencyPhrase(rate)});
  if (report.responseTimeByYear.isEmpty()) {
    rows.append({QStringLiteral("formatDuration: replies"), QStringLiteral("no years"), true});
  } else {
    const YearlyResponseTime& first = report.responseTimeByYear.first();
    const YearlyResponseTime& last = report.responseTimeByYear.last();
    rows.append({QStringLiteral("formatDuration: you, first \u2014 last year"),
                 formatDuration(first.me) + QStringLiteral(" \u2014 ") + formatDuration(last.me)});
  }
  rows.append({QStringLiteral("formatDuration: longest wait"),
               report.longestReplyGap ? formatDuration(report.longestReplyGap->interval) : QStringLiteral("unknown"),
               !report.longestReplyGap});
  const QList<QPair<QString, InsightField>> hosted = {
      {QStringLiteral("heatmapPeakInsight"), &ReportInsightCopy::heatmapPeakInsight},
      {QStringLiteral("yearShapeInsight"), &ReportInsightCopy::yearShapeInsight},
      {QStringLiteral("wordDebutResponseInsight"), &ReportInsightCopy::wordDebutResponseInsight},
      {QStringLiteral("argumentInsight"), &ReportInsightCopy::argumentInsight},
      {QStringLiteral("positiveSentimentPeakInsight"), &ReportInsightCopy::positiveSentimentPeakInsight},
      {QStringLiteral("responseTimeShiftInsight"), &ReportInsightCopy::responseTimeShiftInsight},
  };
  for (const auto& [name, field] : hosted) {
    const std::optional<QString> sentence = hostedInsight(report, field);
    rows.append({QStringLiteral("insightText: ") + name, sentence.value_or(QStringLiteral("the slide's own caption")),
                 !sentence, sentence.has_value()});
  }
  return rows;
}

void paintSheet(QPainter& painter, const NamedReport& named, int index) {
  const SlideFrame frame{index, 14, std::nullopt};
  frame.paint(painter, [&](QPainter& content) {
    const qreal width = SlideFrame::kSize.width() - 2 * kMargin;
    const TextLayout title = fitText(QStringLiteral("You & ") + named.report.participantNames.them + QLatin1Char(' '),
                                     TextStyle{.typeface = Typeface::caveat,
                                               .size = 30,
                                               .color = MurmelaTheme::sageDeep,
                                               .alignment = TextAlign::center,
                                               .lineLimit = 1,
                                               .minimumScale = 0.6},
                                     QSizeF(width, 60));
    const TextLayout about = layoutText(named.description, kLabel);
    Stack stack = Stack::vertical(3, StackAlign::leading);
    stack.add(title);
    stack.add(about, Insets{.bottom = 4});
    QList<TextLayout> texts;
    for (const Row& row : rowsFor(named.report)) {
      texts.append(layoutText(row.label, kLabel));
      stack.add(texts.last(), Insets{.top = 4});
      const TextStyle& style = row.fallback ? kFallback : row.sentence ? kSentence : kValue;
      texts.append(fitText(row.value, style, QSizeF(width, 40)));
      stack.add(texts.last());
    }
    const QList<QRectF> frames = stack.layout(QRectF(kMargin, kContentTop, width, kContentBottom - kContentTop));
    title.draw(content, QPointF((SlideFrame::kSize.width() - title.width()) / 2, frames[0].top()));
    about.draw(content, QPointF((SlideFrame::kSize.width() - about.width()) / 2, frames[1].top()));
    for (qsizetype i = 0; i < texts.size(); ++i) texts[i].draw(content, frames[i + 2].topLeft());
  });
}

void buildCaptionsPage(GalleryPage& page) {
  int index = 0;
  for (const NamedReport& named : allReports()) {
    page.add(
        QStringLiteral("captions-") + named.name, SlideFrame::kSize,
        [named, index](QPainter& painter) { paintSheet(painter, named, index); },
        QStringLiteral("caption rule and formatters for the ") + named.description);
    index = (index + 1) % 14;
  }
}

}  // namespace

MURMELA_GALLERY_AREA(captions, "Caption rules and formatters", 30, buildCaptionsPage);

}  // namespace murmela::gallery
