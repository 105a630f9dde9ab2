// The deck's cards and charts: each piece where its slide puts it, for the
// demo and edge reports, and for chart data at its extremes.
#include "GalleryRegistry.h"
#include "GalleryReports.h"

#include "common/FixedDecimal.h"
#include "deck/Captions.h"
#include "deck/SlideFormatters.h"
#include "deck/cards/ComparisonBar.h"
#include "deck/cards/EmojiCard.h"
#include "deck/cards/HeatmapInsightCard.h"
#include "deck/cards/PhraseColumn.h"
#include "deck/cards/SignaturePhraseCard.h"
#include "deck/cards/SlideTitle.h"
#include "deck/cards/SplitBar.h"
#include "deck/cards/StatCard.h"
#include "deck/cards/StreakCard.h"
#include "deck/charts/ArgumentTimeline.h"
#include "deck/charts/DonutChart.h"
#include "deck/charts/LegendSwatch.h"
#include "deck/charts/MessageHeatmap.h"
#include "deck/charts/ResponseLineChart.h"
#include "deck/charts/SentimentAreaChart.h"
#include "deck/charts/YearBars.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>

namespace murmela::gallery {
namespace {

// Pieces stand where their slides put them: 28 in from the sides of the
// 390 x 780 canvas unless a slide says otherwise.
constexpr qreal kCanvasWidth = 390.0;
constexpr qreal kCanvasHeight = 780.0;
constexpr qreal kMargin = 28.0;
constexpr qreal kWidth = kCanvasWidth - 2 * kMargin;

void background(QPainter& painter) { painter.fillRect(QRectF(0, 0, kCanvasWidth, kCanvasHeight), MurmelaTheme::cream); }

QString them(const WrappedReport& report) { return report.participantNames.them; }

// Receipts: title, the six tiles and the split bar.
void paintCards(QPainter& painter, const WrappedReport& report) {
  const SlideTitleLayout title = layoutSlideTitle(
      {"The receipts.", QStringLiteral("all the small things, totaled up.")}, QRectF(0, 40, kCanvasWidth, 0));
  paintSlideTitle(painter, title);
  const qreal column = (kWidth - 10) / 2;
  const QList<StatCard> stats = {
      {"Messages", groupedCount(report.totalMessages), false},
      {"Days", groupedCount(report.totalDays), false},
      {"Years", fixedDecimal(report.totalDays / 365.25, 1), false},
      {"Photos", groupedCount(report.photosShared), false},
      {"Emojis", groupedCount(report.totalEmojiCount), false},
  };
  qreal y = title.frame.bottom() + 24;
  qreal rowBottom = y;
  for (int i = 0; i < 6; ++i) {
    const QRectF cell(kMargin + (i % 2) * (column + 10), y, column, 0);
    StatTileLayout tile;
    if (i < stats.size()) {
      tile = layoutStatCard(stats[i], cell);
    } else {
      const SignaturePhraseCard phrase =
          report.signaturePhrase
              ? SignaturePhraseCard{report.signaturePhrase->phrase, groupedCount(report.signaturePhrase->count)}
              : SignaturePhraseCard{QStringLiteral("your phrase"), QStringLiteral("\u2014")};
      tile = layoutSignaturePhraseCard(phrase, cell);
    }
    paintStatTile(painter, tile);
    rowBottom = std::max(rowBottom, tile.frame.rect.bottom());
    if (i % 2 == 1) y = rowBottom + 10;
  }
  const SplitBarLayout split =
      layoutSplitBar({"YOU", them(report).toUpper(), report.messagesPerPerson.me, report.messagesPerPerson.them},
                     QRectF(kMargin, y + 20, kWidth, 0));
  paintSplitBar(painter, split);
}

// Vocabulary and dialect: the emoji grid and the two phrase columns.
void paintEmojiAndPhrases(QPainter& painter, const WrappedReport& report) {
  const qreal column = (kCanvasWidth - 72 - 16) / 3;
  qreal y = 40;
  qreal rowBottom = y;
  for (int i = 0; i < std::min<qsizetype>(report.topEmojis.size(), 9); ++i) {
    const EmojiCardLayout card =
        layoutEmojiCard({i + 1, report.topEmojis[i]}, QRectF(36 + (i % 3) * (column + 8), y, column, 0));
    paintEmojiCard(painter, card);
    rowBottom = std::max(rowBottom, card.frame.rect.bottom());
    if (i % 3 == 2) y = rowBottom + 7;
  }
  const qreal top = std::max(rowBottom, y) + 30;
  const qreal half = (kCanvasWidth - 48 - 16 - 1) / 2;
  paintPhraseColumn(painter, layoutPhraseColumn({"You", report.dialectTermsPerPerson.me, MurmelaTheme::sageDeep},
                                                QRectF(24, top, half, 0)));
  painter.fillRect(QRectF(24 + half + 8, top + 40, 1, 150), withOpacity(MurmelaTheme::ink, 0.18));
  paintPhraseColumn(painter, layoutPhraseColumn({them(report), report.dialectTermsPerPerson.them, MurmelaTheme::rose},
                                                QRectF(24 + half + 17, top, half, 0)));
}

void paintHeatmap(QPainter& painter, const WrappedReport& report) {
  const MessageHeatmapLayout heatmap =
      layoutMessageHeatmap({report.messagesByHourByDayOfWeek}, QRectF(kMargin, 60, kWidth, 0));
  paintMessageHeatmap(painter, heatmap);
  // The card as the heatmap slide fills it: the hosted sentence, else the count.
  const HeatmapPeak peak = heatmapPeak(report.messagesByHourByDayOfWeek);
  const QString note = hostedInsight(report, &ReportInsightCopy::heatmapPeakInsight)
                           .value_or(groupedCount(peak.count) + QStringLiteral(" texts in that window on ") +
                                     heatmapWeekdayName(std::clamp(peak.day, 0, 6)) + QLatin1Char('.'));
  const HeatmapInsightCardLayout card =
      layoutHeatmapInsightCard({timeWindowLabel(peak.hour, 2), QStringLiteral("Peak window"), note, MurmelaTheme::rose},
                               QRectF((kCanvasWidth - 220) / 2, heatmap.frame.bottom() + 60, 220, 0));
  paintHeatmapInsightCard(painter, card);
}

void paintBars(QPainter& painter, const WrappedReport& report) {
  const YearBarsLayout bars = layoutYearBars({report.messagesByYear}, QRectF(kMargin, 40, kWidth, 320));
  paintYearBars(painter, bars);
  const qint64 most = std::max(report.apologyCount.me, report.apologyCount.them);
  qreal y = bars.frame.bottom() + 40;
  for (const ComparisonBar& bar :
       {ComparisonBar{them(report).toUpper(), report.apologyCount.them, most, MurmelaTheme::gold, "working on it."},
        ComparisonBar{"YOU", report.apologyCount.me, most, MurmelaTheme::sage, "champion of accountability."}}) {
    const ComparisonBarLayout layout = layoutComparisonBar(bar, QRectF(36, y, kCanvasWidth - 72, 0));
    paintComparisonBar(painter, layout);
    y = layout.frame.bottom() + 22;
  }
}

void paintDonutAndResponse(QPainter& painter, const WrappedReport& report) {
  const DonutChartLayout donut =
      layoutDonutChart({report.initiationCount.me, report.initiationCount.them}, QRectF(85, 60, 220, 220));
  paintDonutChart(painter, donut);
  const QList<LegendSwatch> legend = {{MurmelaTheme::sageDeep, QStringLiteral("YOU"),
                                       QStringLiteral(" \u00B7 ") + groupedCount(report.initiationCount.me)},
                                      {MurmelaTheme::gold, them(report).toUpper(),
                                       QStringLiteral(" \u00B7 ") + groupedCount(report.initiationCount.them)}};
  for (const LegendSwatchLayout& swatch : layoutLegendRow(legend, QRectF(kMargin, 320, kWidth, 14), 24))
    paintLegendSwatch(painter, swatch);
  paintResponseLineChart(
      painter, layoutResponseLineChart({report.responseTimeByYear, them(report)}, QRectF(kMargin, 380, kWidth, 240)));
}

void paintSentimentAndArguments(QPainter& painter, const WrappedReport& report) {
  paintSentimentAreaChart(painter,
                          layoutSentimentAreaChart({report.sentimentByMonth}, QRectF(kMargin, 40, kWidth, 240)));
  const ArgumentTimelineLayout timeline = layoutArgumentTimeline(
      {report.argumentEvents, report.firstMessageDate, report.lastMessageDate}, QRectF(kMargin, 330, kWidth, 220));
  paintArgumentTimeline(painter, timeline);
  qint64 mine = 0;
  for (const ArgumentEvent& event : report.argumentEvents) mine += event.endedByMe ? 1 : 0;
  const QList<LegendSwatch> legend = {
      {MurmelaTheme::sageDeep, QStringLiteral("YOU"), QStringLiteral(" CAVED \u00B7 ") + QString::number(mine)},
      {MurmelaTheme::rose, them(report).toUpper(),
       QStringLiteral(" CAVED \u00B7 ") + QString::number(report.argumentEvents.size() - mine)}};
  for (const LegendSwatchLayout& swatch :
       layoutLegendRow(legend, QRectF(36, 566, kCanvasWidth - 72, 14), 8, LegendRowArrangement::spread))
    paintLegendSwatch(painter, swatch);
}

void paintStreaks(QPainter& painter, const WrappedReport& report) {
  const StreakCardLayout streak =
      layoutStreakCard({QStringLiteral("\u25C6 Longest Streak"), groupedCount(report.longestStreak.days), QString(),
                        QStringLiteral("consecutive days \u00B7 at least one text"),
                        QStringLiteral("that's a while. uninterrupted."), MurmelaTheme::sageDeep, false},
                       QRectF(32, 120, kCanvasWidth - 64, 0));
  paintStreakCard(painter, streak);
  paintStreakCard(painter,
                  layoutStreakCard({QStringLiteral("\u25C7 Longest Silence"), groupedCount(report.longestSilence.days),
                                    QStringLiteral("days"), murmelaMonthYear(report.longestSilence.startDate),
                                    QStringLiteral("wonder what happened there."), MurmelaTheme::rose, true},
                                   QRectF(32, streak.frame.rect.bottom() + 16, kCanvasWidth - 64, 0)));
}

struct PieceSet {
  const char* name;
  const char* caption;
  void (*paint)(QPainter&, const WrappedReport&);
};
constexpr PieceSet kPieces[] = {
    {"cards", "slide title, stat tiles, signature phrase tile, split bar", paintCards},
    {"emoji-phrases", "emoji tiles (top three taller) and the two phrase columns", paintEmojiAndPhrases},
    {"heatmap", "heatmap noon to noon with the peak outlined, and the tilted insight card", paintHeatmap},
    {"year-bars", "year bars with the peak label, and two comparison bars", paintBars},
    {"donut-response", "donut with its legend, and the response-time chart", paintDonutAndResponse},
    {"sentiment-arguments", "sentiment area chart, argument time line and its legend", paintSentimentAndArguments},
    {"streaks", "streak card (solid) and silence card (dashed)", paintStreaks},
};

// Chart data at its extremes, each a variation of the rich demo report.
WrappedReport onePointReport(const WrappedReport& rich) {
  WrappedReport report = rich;
  report.messagesByYear = {{2025, 14}};
  report.topEmojis = report.topEmojis.mid(0, 1);
  report.dialectTermsPerPerson.me = report.dialectTermsPerPerson.me.mid(0, 1);
  report.dialectTermsPerPerson.them.clear();
  report.responseTimeByYear = report.responseTimeByYear.mid(0, 1);
  report.sentimentByMonth = report.sentimentByMonth.mid(0, 1);
  report.argumentEvents = report.argumentEvents.mid(0, 1);
  report.messagesByHourByDayOfWeek = report.messagesByHourByDayOfWeek.mid(0, 3);
  report.initiationCount = {1, 0};
  return report;
}

WrappedReport longDataReport(const WrappedReport& rich, const QString& name) {
  WrappedReport report = rich;
  report.participantNames.them = name;
  const qint64 huge = 123456789;
  report.totalMessages = huge;
  report.totalDays = 987654;
  report.photosShared = 456789;
  report.totalEmojiCount = 999999;
  report.messagesPerPerson = {huge, 2 * huge};
  report.signaturePhrase =
      SignaturePhrase{QStringLiteral("absolutely unbelievably extraordinary, honestly"), 123456, ""};
  report.topEmojis = {{"face_with_tears_of_joy", 123456},
                      {"\U0001F469\u200D\U0001F469\u200D\U0001F467\u200D\U0001F466", 99999},
                      {"\U0001F1F5\U0001F1F9", 1234567},
                      {":sparkling_heart:", 88},
                      {"\u2764\uFE0F", 5}};
  report.dialectTermsPerPerson.me = {{QStringLiteral("supercalifragilisticexpialidocious"), 123456},
                                     {QStringLiteral("no"), 1}};
  report.dialectTermsPerPerson.them = {{name.toLower(), 999999}};
  report.messagesByYear = {{2019, huge}, {2020, huge / 2}, {2021, 3}};
  report.apologyCount = {123456, 654321};
  report.initiationCount = {654321, 123456};
  report.responseTimeByYear = {{2021, 3.0e7, 4.0e7}, {2022, 60, 90}};
  report.longestStreak.days = 123456;
  report.longestSilence.days = 654321;
  for (ArgumentEvent& event : report.argumentEvents) event.messageCount *= 1000;
  for (auto& row : report.messagesByHourByDayOfWeek)
    for (qint64& count : row) count *= 1000;
  return report;
}

void buildChartsPage(GalleryPage& page) {
  QList<NamedReport> reports = allReports();
  const WrappedReport& rich = report(QStringLiteral("rich"));
  reports.append({QStringLiteral("one-point"),
                  QStringLiteral("one year, month, emoji, phrase and argument; three weekdays"), onePointReport(rich)});
  reports.append({QStringLiteral("long-data"),
                  QStringLiteral("42-character name, long phrases, emoji names, six- to nine-digit counts"),
                  longDataReport(rich, QStringLiteral("Maximiliana Alexandrovna Featherstonehaugh"))});
  reports.append(
      {QStringLiteral("rtl-data"), QStringLiteral("right-to-left name and phrase, with the long data"),
       longDataReport(rich, QStringLiteral("\u05E0\u05D5\u05E2\u05D4 \u05D1\u05E8\u05E7 \u0644\u064A\u0644\u0649"))});
  for (const NamedReport& named : reports) {
    for (const PieceSet& piece : kPieces) {
      page.add(
          QStringLiteral("charts-%1-%2").arg(named.name, QLatin1String(piece.name)),
          QSizeF(kCanvasWidth, kCanvasHeight),
          [report = named.report, paint = piece.paint](QPainter& painter) {
            background(painter);
            paint(painter, report);
          },
          named.description + QStringLiteral(": ") + QLatin1String(piece.caption));
    }
  }
}

}  // namespace

MURMELA_GALLERY_AREA(charts, "Cards and charts", 40, buildChartsPage);

}  // namespace murmela::gallery
