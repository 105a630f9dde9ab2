#include "SlideRecording.h"
#include "deck/slides/ArgumentMapSlide.h"
#include "deck/slides/DialectSlide.h"
#include "deck/slides/ResponseTimeSlide.h"
#include "deck/slides/StreakSlide.h"
#include "deck/slides/VibeShiftSlide.h"
#include "support/TestRegistry.h"
#include "theme/MurmelaTheme.h"

#include <QTest>

using namespace murmela;
using namespace murmela::test;

namespace {

QString colourName(const QColor& color) {
  const QList<std::pair<QColor, const char*>> names = {{MurmelaTheme::ink, "ink"},
                                                       {MurmelaTheme::inkSoft, "inkSoft"},
                                                       {MurmelaTheme::sageDeep, "sageDeep"},
                                                       {MurmelaTheme::rose, "rose"}};
  for (const auto& [known, name] : names)
    if (known == color) return QString::fromLatin1(name);
  return color.name();
}

// Each run as "text@colour/family size", in order.
QStringList runsOf(const StyledText& text) {
  QStringList runs;
  for (const TextRun& run : text.runs)
    runs.append(QStringLiteral("%1@%2/%3 %4")
                    .arg(run.text, colourName(run.style.color), run.style.font().family())
                    .arg(run.style.size));
  return runs;
}

WrappedReport withDialect(QList<PhraseStat> me, QList<PhraseStat> them) {
  WrappedReport report;
  report.participantNames = {QStringLiteral("You"), QStringLiteral("Maya")};
  report.dialectTermsPerPerson = {std::move(me), std::move(them)};
  return report;
}

ReportInsightCopy hostedCopy(const QString& sentence) {
  ReportInsightCopy copy;
  copy.responseTimeShiftInsight = sentence;
  copy.argumentInsight = sentence;
  copy.positiveSentimentPeakInsight = sentence;
  return copy;
}

Date utc(int year, int month, int day, int hour = 12) {
  return Date::fromQDateTime(QDateTime(QDate(year, month, day), QTime(hour, 0), Qt::UTC));
}

}  // namespace

class SlideCaptionsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void dialectCaptionQuotesEachTopTerm_data() {
    QTest::addColumn<WrappedReport>("report");
    QTest::addColumn<QStringList>("runs");
    const QStringList tail = {QStringLiteral(".\neverything you need to know. @inkSoft/Caveat 17")};
    QTest::newRow("both") << withDialect({{"lol", 9}, {"ok", 3}}, {{"haha", 4}})
                          << QStringList{"you say @ink/Caveat 21", "\u201Clol\u201D@sageDeep/Caveat 21",
                                         " \u00B7 they say @ink/Caveat 21", "\u201Chaha\u201D@rose/Caveat 21"} +
                                 tail;
    QTest::newRow("mine empty") << withDialect({}, {{"haha", 4}})
                                << QStringList{"you say @ink/Caveat 21", "\u201C...\u201D@sageDeep/Caveat 21",
                                               " \u00B7 they say @ink/Caveat 21", "\u201Chaha\u201D@rose/Caveat 21"} +
                                       tail;
    QTest::newRow("both empty") << withDialect({}, {})
                                << QStringList{"you say @ink/Caveat 21", "\u201C...\u201D@sageDeep/Caveat 21",
                                               " \u00B7 they say @ink/Caveat 21", "\u201C...\u201D@rose/Caveat 21"} +
                                       tail;
  }
  void dialectCaptionQuotesEachTopTerm() {
    QFETCH(WrappedReport, report);
    QFETCH(QStringList, runs);
    QCOMPARE(runsOf(dialectCaption(report)), runs);
  }

  void responseSubtitleTakesTheFirstRuleThatApplies_data() {
    QTest::addColumn<std::optional<QString>>("hosted");
    QTest::addColumn<QList<YearlyResponseTime>>("years");
    QTest::addColumn<QString>("subtitle");
    const QList<YearlyResponseTime> years = {{2021, 184, 141}, {2022, 4000, 9000}, {2023, 90, 180000}};
    QTest::newRow("hosted, trimmed") << std::optional<QString>(" \nReplies slowed down.\n ") << years
                                     << "Replies slowed down.";
    QTest::newRow("blank hosted falls back to the years")
        << std::optional<QString>(" \n\t ") << years
        << "You went from 3 minutes to 1 minutes.\nMaya went from 2 minutes to 2 days.";
    QTest::newRow("blank hosted, no years")
        << std::optional<QString>("  ") << QList<YearlyResponseTime>{} << "how fast you came back.";
    QTest::newRow("no copy, no years") << std::optional<QString>() << QList<YearlyResponseTime>{}
                                       << "how fast you came back.";
    QTest::newRow("one year names it twice")
        << std::optional<QString>() << QList<YearlyResponseTime>{{2024, 3600, 7200}}
        << "You went from 1 hours to 1 hours.\nMaya went from 2 hours to 2 hours.";
  }
  void responseSubtitleTakesTheFirstRuleThatApplies() {
    QFETCH(std::optional<QString>, hosted);
    QFETCH(QList<YearlyResponseTime>, years);
    QFETCH(QString, subtitle);
    WrappedReport report = withDialect({}, {});
    if (hosted) report.insightCopy = hostedCopy(*hosted);
    report.responseTimeByYear = years;
    QCOMPARE(responseSubtitle(report), subtitle);
  }

  void longestWaitNamesWhoMadeWhomWait_data() {
    QTest::addColumn<std::optional<ReplyGap>>("gap");
    QTest::addColumn<QStringList>("runs");
    const QString arrow = QStringLiteral("\u21B3 longest wait? @sageDeep/Caveat 19");
    QTest::newRow("no gap") << std::optional<ReplyGap>() << QStringList{arrow, "unknown. @ink/Caveat 19"};
    QTest::newRow("they kept me waiting 50 hours")
        << std::optional<ReplyGap>(ReplyGap{false, 50 * 3600.0, utc(2023, 6, 8), utc(2023, 6, 10, 20)})
        << QStringList{arrow, "Maya made you wait 2 days, on June 10, 2023. @ink/Caveat 19"};
    QTest::newRow("I kept them waiting 17 hours")
        << std::optional<ReplyGap>(ReplyGap{true, 61920, utc(2024, 7, 12), utc(2024, 7, 14, 3)})
        << QStringList{arrow, "you made Maya wait 17 hours, on July 13, 2024. @ink/Caveat 19"};
  }
  void longestWaitNamesWhoMadeWhomWait() {
    QFETCH(std::optional<ReplyGap>, gap);
    QFETCH(QStringList, runs);
    WrappedReport report = withDialect({}, {});
    report.longestReplyGap = gap;
    QCOMPARE(runsOf(longestWaitCaption(report)), runs);
  }

  void argumentCaptionPrefersTheHostedSentence_data() {
    QTest::addColumn<std::optional<QString>>("hosted");
    QTest::addColumn<QStringList>("runs");
    const QString note = QStringLiteral("\u21B3 approximate \u2014 based on tone analysis.@inkSoft/Inter 9.5");
    QTest::newRow("hosted") << std::optional<QString>("\n Four storms. ")
                            << QStringList{"\u21B3 Four storms. @ink/Caveat 19"};
    QTest::newRow("blank hosted") << std::optional<QString>(" \n ") << QStringList{note};
    QTest::newRow("no copy") << std::optional<QString>() << QStringList{note};
  }
  void argumentCaptionPrefersTheHostedSentence() {
    QFETCH(std::optional<QString>, hosted);
    QFETCH(QStringList, runs);
    WrappedReport report = withDialect({}, {});
    if (hosted) report.insightCopy = hostedCopy(*hosted);
    const StyledText caption = argumentCaption(report);
    QCOMPARE(runsOf(caption), runs);
    if (!hosted || hosted->trimmed().isEmpty()) QCOMPARE(caption.runs.first().style.tracking, 1.6);
  }

  void vibeCaptionNamesTheLowMonth_data() {
    QTest::addColumn<std::optional<QString>>("hosted");
    QTest::addColumn<QList<double>>("scores");  // January 2024 onwards
    QTest::addColumn<QStringList>("runs");
    const QList<double> months = {0.3, -0.2, 0.1, -0.2};
    QTest::newRow("no copy, no months") << std::optional<QString>() << QList<double>{}
                                        << QStringList{"the vibe stayed mostly steady. @ink/Caveat 19"};
    QTest::newRow("blank copy, no months") << std::optional<QString>(" \n") << QList<double>{}
                                           << QStringList{"the vibe stayed mostly steady. @ink/Caveat 19"};
    QTest::newRow("months, ties keep the earliest")
        << std::optional<QString>() << months
        << QStringList{"something happened in @ink/Caveat 19", "February 2024@rose/Caveat 19", ". @ink/Caveat 19"};
    QTest::newRow("hosted, no months") << std::optional<QString>(" Warmest in June. ") << QList<double>{}
                                       << QStringList{"\u21B3 Warmest in June. @rose/Caveat 19"};
    QTest::newRow("hosted and months") << std::optional<QString>("Warmest in June.") << months
                                       << QStringList{"\u21B3 Warmest in June. @rose/Caveat 19",
                                                      "\n ... and@ink/Caveat 19", " something @sageDeep/Caveat 19",
                                                      "happened in February 2024. @ink/Caveat 19"};
  }
  void vibeCaptionNamesTheLowMonth() {
    QFETCH(std::optional<QString>, hosted);
    QFETCH(QList<double>, scores);
    QFETCH(QStringList, runs);
    WrappedReport report = withDialect({}, {});
    if (hosted) report.insightCopy = hostedCopy(*hosted);
    for (int i = 0; i < scores.size(); ++i) report.sentimentByMonth.append({utc(2024, i + 1, 1), scores[i]});
    QCOMPARE(runsOf(vibeCaption(report)), runs);
  }

  void approximateYearsSwitchAfter364Days_data() {
    QTest::addColumn<qint64>("days");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << qint64(0) << "0 days";
    QTest::newRow("one") << qint64(1) << "1 days";
    QTest::newRow("364") << qint64(364) << "364 days";
    QTest::newRow("365") << qint64(365) << "1.0 years";
    QTest::newRow("730") << qint64(730) << "2.0 years";
    QTest::newRow("1234") << qint64(1234) << "3.4 years";
    QTest::newRow("six digits") << qint64(123456) << "338.0 years";
  }
  void approximateYearsSwitchAfter364Days() {
    QFETCH(qint64, days);
    QFETCH(QString, text);
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German));  // the decimal separator stays a full stop
    QCOMPARE(formatApproxYears(days), text);
    QLocale::setDefault(previous);
  }
};

MURMELA_TEST(SlideCaptionsTest)
#include "SlideCaptionsTest.moc"
